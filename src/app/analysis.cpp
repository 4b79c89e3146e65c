#include "app/analysis.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <memory>
#include <new>

#include "controls/table.h"
#include "items/drawitem.h"
#include "support/log.h"
#include "support/strings.h"
#include "support/uiutil.h"

namespace zeph {
namespace {

constexpr int kLogAddItem = 2701;
constexpr int kLogCountPolygons = 2702;
constexpr int kLogAnalyseInit = 2302;

// The groups' arrays grow from 0 to 100, to 1000, then by doubling.
std::size_t NextGroupCapacity(std::size_t capacity) {
  if (capacity == 0) return 100;
  if (capacity == 100) return 1000;
  return capacity * 2;
}

template <typename T>
bool Grow(std::vector<T>& values, std::size_t capacity, int glitch) {
  try {
    values.reserve(capacity);
  } catch (const std::bad_alloc&) {
    ReportGlitch(kLogAddItem, glitch);
    return false;
  }
  return true;
}

// The distance from start to end; 0 for the kinds that have no ends (circles, ellipses,
// fills, texts), which so never make a group regular.
double ItemLength(const CDrawItem* item) {
  switch (item->GetType()) {
    case kItemLine:
    case kItemArc:
    case kItemEllipseArc:
    case kItemBezier:
    case kItemDimension:
      break;
    default:
      return 0;
  }
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  item->GetStart(x1, y1);
  item->GetEnd(x2, y2);
  return std::hypot(static_cast<double>(x2) - x1, static_cast<double>(y2) - y1);
}

QString PolygonWord(int sides) {
  switch (sides) {
    case 3: return QStringLiteral(" triangle");
    case 4: return QStringLiteral(" square");
    case 5: return QStringLiteral(" pentagon");
    case 6: return QStringLiteral(" hexagon");
    case 7: return QStringLiteral(" heptagon");
    case 8: return QStringLiteral(" octagon");
    case 10: return QStringLiteral(" decagon");
    case 12: return QStringLiteral(" dodecagon");
    default: return QStringLiteral(" %1-sided polygon").arg(sides);
  }
}

void AddPart(QString& text, long long count, const QString& word) {
  if (count == 0) return;
  if (!text.isEmpty()) text += QStringLiteral(", ");
  text += QString::number(count) + word;
  if (count > 1) text += u's';
}

}  // namespace

void CElementStatistics::AddItem(const CDrawItem* item) {
  if (item == nullptr) return;
  const int group = item->GetGroupNumber();
  if (group == 0) {
    switch (item->GetType()) {
      case kItemLine: ++m_lines; break;
      case kItemArc:
      case kItemEllipseArc: ++m_arcs; break;
      case kItemCircle: ++m_circles; break;
      case kItemFill: ++m_fills; break;
      case kItemDimension: ++m_dimensions; break;
      case kItemEllipse: ++m_ellipses; break;
      case kItemText: ++m_texts; break;
      case kItemBezier: ++m_curves; break;
      default:
        SetGlitchValue(item->GetType());
        ReportGlitch(kLogAddItem, 1);
        break;
    }
    return;
  }
  const double length = ItemLength(item);
  for (int i = 0; i < m_groupCount; ++i) {
    if (m_groupNumbers[static_cast<std::size_t>(i)] != group) continue;
    ++m_sides[static_cast<std::size_t>(i)];
    double& side = m_sideLengths[static_cast<std::size_t>(i)];
    if (side > 0 && std::fabs(length - side) > 1.0) side = -1.0;
    return;
  }
  if (m_groupNumbers.size() == m_groupNumbers.capacity()) {
    const std::size_t capacity = NextGroupCapacity(m_groupNumbers.capacity());
    if (!Grow(m_groupNumbers, capacity, 8990) || !Grow(m_sides, capacity, 8991) ||
        !Grow(m_sideLengths, capacity, 8992)) {
      return;
    }
  }
  m_groupNumbers.push_back(group);
  m_sides.push_back(1);
  m_sideLengths.push_back(length);
  ++m_groupCount;
  m_polygonsCounted = false;
}

void CElementStatistics::CountPolygons() {
  LogScope trace(kLogCountPolygons);
  m_polygonKinds = 0;
  m_rectangles = 0;
  m_polygonSides.fill(0);
  m_polygonCounts.fill(0);
  for (int i = 0; i < m_groupCount; ++i) {
    const int sides = m_sides[static_cast<std::size_t>(i)];
    if (m_sideLengths[static_cast<std::size_t>(i)] <= 0) {
      if (sides == 4) ++m_rectangles;
      continue;
    }
    int kind = 0;
    while (kind < m_polygonKinds && m_polygonSides[static_cast<std::size_t>(kind)] != sides) ++kind;
    if (kind == m_polygonKinds) {
      if (m_polygonKinds >= kPolygonKindLimit) continue;  // an eleventh kind is not reported
      m_polygonSides[static_cast<std::size_t>(kind)] = static_cast<std::int16_t>(sides);
      ++m_polygonKinds;
    }
    ++m_polygonCounts[static_cast<std::size_t>(kind)];
  }
  m_polygonsCounted = true;
  trace.Exit();
}

QString CElementStatistics::Describe() {
  QString text;
  AddPart(text, m_lines, QStringLiteral(" line"));
  AddPart(text, m_arcs, QStringLiteral(" arc"));
  AddPart(text, m_circles, QStringLiteral(" circle"));
  AddPart(text, m_ellipses, QStringLiteral(" ellipse"));
  AddPart(text, m_curves, QStringLiteral(" curve"));
  AddPart(text, m_fills, QStringLiteral(" fill"));
  AddPart(text, m_texts, QStringLiteral(" text"));
  AddPart(text, m_dimensions, QStringLiteral(" dimension"));
  if (!m_polygonsCounted) CountPolygons();
  for (int kind = 0; kind < m_polygonKinds; ++kind) {
    AddPart(text, m_polygonCounts[static_cast<std::size_t>(kind)],
            PolygonWord(m_polygonSides[static_cast<std::size_t>(kind)]));
  }
  AddPart(text, m_rectangles, QStringLiteral(" rectangle"));
  return text;
}

// ---- CAnalyseElementsDialog ----

CAnalyseElementsDialog::CAnalyseElementsDialog(QWidget* parent)
    : CDialogPlus(kIddAnalyseElements, parent) {
  setWindowTitle(QStringLiteral("Analysis of objects in the drawing"));
  auto* caption = new QLabel(QStringLiteral("&Elements"), this);
  m_table = new CTableWnd(this);
  SetControlId(m_table, kIdcElementTable);
  m_table->setMinimumSize(480, 260);
  caption->setBuddy(m_table);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  ConnectCommand(close, kIdOk);
  close->setDefault(true);
  auto* help = new QPushButton(QStringLiteral("&Help"), this);
  ConnectCommand(help, kIdHelp);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption);
  layout->addWidget(m_table, 1);
  layout->addLayout(buttons);
}

bool CAnalyseElementsDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  LogScope trace(kLogAnalyseInit);
  if (m_document == nullptr) {
    ReportGlitch(kLogAnalyseInit, 1);
    return trace.Return(true, kLogInvalid, 1);
  }
  m_table->SetSize(3, 10);
  m_table->SetScrollOnly(1);
  m_table->SetColumn(0, QStringLiteral("Number"), 1, 0, 0);
  m_table->SetColumn(1, QStringLiteral("Element name"), 3, 1, 0);
  m_table->SetColumn(2, QStringLiteral("Contains"), 5, 1, 0);
  const int count = m_document->RebuildObjectList();
  if (count <= 0) return trace.Return(true);
  std::vector<CElementStatistics> records;
  std::vector<IElementStatistics*> pointers;
  try {
    records.resize(static_cast<std::size_t>(count));
    for (CElementStatistics& record : records) pointers.push_back(&record);
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory();
    return trace.Return(true, kLogMemory, 2);
  }
  m_document->CountObjectContents(pointers);
  for (int i = 0; i < count; ++i) {
    if (m_table->AddRow() != i) {
      LogAction(kLogAnalyseInit, 3, kLogMemory);
      ShowOutOfMemory();
      break;
    }
    m_table->SetCellText(0, QString::number(m_document->GetObjectNumberAt(i)));
    m_table->SetCellText(1, m_document->GetObjectNameAt(i, -1));
    m_table->SetCellText(2, records[static_cast<std::size_t>(i)].Describe());
  }
  return trace.Return(true);
}

}  // namespace zeph
