#include "controls/table.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <new>

#include "controls/controls.h"
#include "controls/dialogplus.h"
#include "controls/textmetrics.h"
#include "support/fontspec.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/textutil.h"
#include "support/uiutil.h"

namespace zeph {
namespace {

// The table's own wrap break. User text never holds it, so taking the wraps out again never
// takes a character of the text with them.
constexpr char16_t kWrapMarker = 0xFFFF;
constexpr int kCellMargin = 5;  // left and right of each column
constexpr int kBodyMargin = 4;  // above and below the header and the body

bool IsCellBreak(QChar c) { return c.unicode() == kTableLineBreak || c.unicode() == kWrapMarker; }

bool IsLoneMarker(const QString& text) {
  return text.size() == 1 && text[0].unicode() == kTableMarker;
}

QString WithoutWraps(const QString& text) {
  QString out = text;
  out.remove(QChar(kWrapMarker));
  return out;
}

// Line k of a cell: the text between breaks, without its first blank after the first line.
QString LineOfCell(const QString& text, int k) {
  int start = 0;
  for (int line = 0; line < k; ++line) {
    int i = start;
    while (i < text.size() && !IsCellBreak(text[i])) ++i;
    if (i >= text.size()) return QString();
    start = i + 1;
  }
  int end = start;
  while (end < text.size() && !IsCellBreak(text[end])) ++end;
  QString line = text.mid(start, end - start);
  if (k > 0 && line.startsWith(u' ')) line.remove(0, 1);
  return line;
}

ColourRef FromQColor(const QColor& c) { return MakeColour(c.red(), c.green(), c.blue()); }

}  // namespace

CTableWnd::CTableWnd(QWidget* parent) : CScrollingWnd(parent) { SetWantsDoubleClicks(true); }

int CTableWnd::Id() const { return ControlIdOf(this); }

const DcFont& CTableWnd::FontInUse() const { return m_font ? *m_font : GetDialogFont(); }

QString& CTableWnd::Cell(int row, int column) {
  return m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columnCount) +
                 static_cast<std::size_t>(column)];
}

const QString& CTableWnd::Cell(int row, int column) const {
  return m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columnCount) +
                 static_cast<std::size_t>(column)];
}

int CTableWnd::GetDisplayedRow(int position) const {
  if (position < 0 || position >= m_rowCount) return -1;
  return m_displayOrder[static_cast<std::size_t>(position)];
}

QString CTableWnd::GetCellText(int row, int column) const {
  if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columnCount) return QString();
  return WithoutWraps(Cell(row, column));
}

int CTableWnd::GetRowLineCount(int row) const {
  if (row < 0 || row >= m_rowCount) return 0;
  return m_rowLines[static_cast<std::size_t>(row)];
}

int CTableWnd::GetColumnWidth(int column) const {
  if (column < 0 || column >= m_columnCount) return 0;
  return m_columns[static_cast<std::size_t>(column)].width;
}

// ---- Filling ----

int CTableWnd::SetSize(int columns, int rows) {
  LogScope trace(20053);
  const int capacity = std::max(rows, 10);
  const int columnCount = std::max(columns, 0);
  try {
    if ((m_columnCount != 0 && columnCount != m_columnCount) || capacity > m_rowCapacity) {
      std::vector<Column> newColumns(static_cast<std::size_t>(columnCount));
      std::vector<QString> newCells(static_cast<std::size_t>(capacity) *
                                    static_cast<std::size_t>(columnCount));
      std::vector<std::int32_t> newLines(static_cast<std::size_t>(capacity), 1);
      std::vector<ColourRef> newColours(static_cast<std::size_t>(capacity), g_colourTable[9]);
      std::vector<std::int32_t> newOrder(static_cast<std::size_t>(capacity));
      m_columns.swap(newColumns);
      m_cells.swap(newCells);
      m_rowLines.swap(newLines);
      m_rowColours.swap(newColours);
      m_displayOrder.swap(newOrder);
      m_rowCapacity = capacity;
    } else {
      m_columns.assign(static_cast<std::size_t>(columnCount), Column());
      for (QString& cell : m_cells) cell.clear();
    }
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogMemory, 1);
  }
  m_columnCount = columnCount;
  m_rowCount = 0;
  m_totalLines = 0;
  m_currentRow = -1;
  m_previousRow = -1;
  std::fill(m_rowLines.begin(), m_rowLines.end(), 1);
  std::fill(m_rowColours.begin(), m_rowColours.end(), g_colourTable[9]);
  for (std::size_t i = 0; i < m_displayOrder.size(); ++i) {
    m_displayOrder[i] = static_cast<std::int32_t>(i);
  }
  m_columnsValid = 0;
  m_selected = -1;
  m_typeAhead.clear();
  m_sortColumn = -1;
  const QPalette palette = QApplication::palette(this);
  m_highlightText = FromQColor(palette.color(QPalette::Active, QPalette::HighlightedText));
  m_highlightBack = FromQColor(palette.color(QPalette::Active, QPalette::Highlight));
  UpdateScrollRange();
  Invalidate();
  return trace.Return(1);
}

void CTableWnd::SetColumn(int column, const QString& title, std::int32_t weight, std::int32_t wrap,
                          std::int32_t alignment) {
  if (column < 0 || column >= m_columnCount) return;
  Column& c = m_columns[static_cast<std::size_t>(column)];
  c.title = title;
  c.weight = weight;
  c.wrap = static_cast<std::uint8_t>(wrap != 0 ? 1 : 0);
  c.alignment = alignment;
  // The widths (and wraps) follow at once once the table has a size.
  if (m_clientWidth > 0) {
    ComputeColumnWidths();
  } else {
    m_columnsValid = 0;
  }
  Invalidate();
}

bool CTableWnd::GrowRows() {
  LogScope trace(20054);
  if (m_rowCapacity < 10) {
    ReportGlitch(20054, 1);
    m_rowCapacity = 10;
  }
  if (m_columnCount < 1) {
    ReportGlitch(20054, 2);
    m_columnCount = 1;
    m_columns.resize(1);
  }
  const int capacity = m_rowCapacity * 2;
  try {
    std::vector<QString> cells(static_cast<std::size_t>(capacity) *
                               static_cast<std::size_t>(m_columnCount));
    const std::size_t kept = std::min(cells.size(), m_cells.size());
    std::move(m_cells.begin(), m_cells.begin() + static_cast<std::ptrdiff_t>(kept), cells.begin());
    std::vector<std::int32_t> lines(static_cast<std::size_t>(capacity), 1);
    std::vector<ColourRef> colours(static_cast<std::size_t>(capacity), g_colourTable[9]);
    std::vector<std::int32_t> order(static_cast<std::size_t>(capacity));
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::int32_t>(i);
    std::copy(m_rowLines.begin(),
              m_rowLines.begin() + std::min<std::ptrdiff_t>(capacity, std::ssize(m_rowLines)),
              lines.begin());
    std::copy(m_rowColours.begin(),
              m_rowColours.begin() + std::min<std::ptrdiff_t>(capacity, std::ssize(m_rowColours)),
              colours.begin());
    std::copy(
        m_displayOrder.begin(),
        m_displayOrder.begin() + std::min<std::ptrdiff_t>(capacity, std::ssize(m_displayOrder)),
        order.begin());
    m_cells.swap(cells);
    m_rowLines.swap(lines);
    m_rowColours.swap(colours);
    m_displayOrder.swap(order);
  } catch (const std::bad_alloc&) {
    return trace.Return(false, kLogMemory, 1);
  }
  m_rowCapacity = capacity;
  return trace.Return(true);
}

int CTableWnd::AddRow() {
  if (m_rowCount >= m_rowCapacity || m_columnCount < 1) {
    if (!GrowRows()) return -1;
  }
  const int row = m_rowCount;
  for (int c = 0; c < m_columnCount; ++c) Cell(row, c).clear();
  m_displayOrder[static_cast<std::size_t>(row)] = row;
  m_rowLines[static_cast<std::size_t>(row)] = 1;
  m_rowColours[static_cast<std::size_t>(row)] = g_colourTable[9];
  ++m_rowCount;
  m_previousRow = m_currentRow;
  m_currentRow = row;
  ++m_totalLines;
  UpdateScrollRange();
  Invalidate();
  return row;
}

void CTableWnd::SetCellText(int column, const QString& text) {
  if (column < 0 || column >= m_columnCount || m_currentRow < 0 || m_currentRow >= m_rowCount) {
    return;
  }
  // Only the row just added moves to its place: moving the last row for any other current
  // row would put this text into another row's cells.
  const int last = m_rowCount - 1;
  if (column == m_sortColumn && m_currentRow == last) {
    int target = -1;
    if (!IsLoneMarker(text)) {
      for (int r = 0; r < last; ++r) {
        const QString& key = Cell(r, column);
        if (IsLoneMarker(key)) continue;
        const bool before = CompareNoCase(text, WithoutWraps(key)) < 0;
        if (before != (m_sortDescending != 0)) {
          target = r;
          break;
        }
      }
    } else if (m_previousRow >= 0) {
      target = std::min(m_previousRow + 1, last);
    }
    if (target >= 0 && target < last) {
      std::vector<QString> moved(static_cast<std::size_t>(m_columnCount));
      for (int c = 0; c < m_columnCount; ++c) moved[static_cast<std::size_t>(c)] = Cell(last, c);
      const std::int32_t lines = m_rowLines[static_cast<std::size_t>(last)];
      const ColourRef colour = m_rowColours[static_cast<std::size_t>(last)];
      for (int r = last; r > target; --r) {
        for (int c = 0; c < m_columnCount; ++c) Cell(r, c) = std::move(Cell(r - 1, c));
        m_rowLines[static_cast<std::size_t>(r)] = m_rowLines[static_cast<std::size_t>(r - 1)];
        m_rowColours[static_cast<std::size_t>(r)] = m_rowColours[static_cast<std::size_t>(r - 1)];
      }
      for (int c = 0; c < m_columnCount; ++c) {
        Cell(target, c) = std::move(moved[static_cast<std::size_t>(c)]);
      }
      m_rowLines[static_cast<std::size_t>(target)] = lines;
      m_rowColours[static_cast<std::size_t>(target)] = colour;
      m_previousRow = m_currentRow;
      m_currentRow = target;
    }
  }
  Cell(m_currentRow, column) = text;
  if (m_columns[static_cast<std::size_t>(column)].wrap != 0 && m_columnsValid != 0) {
    CControlDC dc;
    dc->SelectFont(FontInUse());
    if (WrapCell(dc.get(), m_currentRow, column)) UpdateScrollRange();
  }
  Invalidate();
}

void CTableWnd::RemoveAllRows() {
  for (QString& cell : m_cells) cell.clear();
  std::fill(m_rowLines.begin(), m_rowLines.end(), 1);
  m_rowCount = 0;
  m_totalLines = 0;
  m_currentRow = -1;
  m_previousRow = -1;
  m_selected = -1;
  UpdateScrollRange();
  Invalidate();
}

void CTableWnd::HideHeader() {
  m_header = 0;
  UpdateScrollRange();
  Invalidate();
}

void CTableWnd::SetRowColour(int row, ColourRef colour) {
  if (row < 0 || row >= m_rowCount) return;
  m_rowColours[static_cast<std::size_t>(row)] = colour;
  Invalidate();
}

void CTableWnd::SetSortKey(std::int16_t column, std::int32_t kind, std::int32_t descending) {
  m_sortColumn = column;
  m_sortKind = kind;
  m_sortDescending = descending;
}

void CTableWnd::SetFont(const DcFont* font, bool redraw) {
  if (font != nullptr) {
    m_font = *font;
  } else {
    m_font.reset();
  }
  m_lineHeight = 0;
  m_columnsValid = 0;  // the wraps follow the font
  if (redraw) Invalidate();
}

// ---- Widths, wraps and the scroll range ----

void CTableWnd::MeasureLineHeight() {
  if (m_lineHeight != 0) return;
  CControlDC dc;
  dc->SelectFont(FontInUse());
  m_lineHeight = std::max(1, ::GetLineHeight(dc.get()));
}

int CTableWnd::HeaderHeight() const { return m_header != 0 ? m_lineHeight + 2 * kBodyMargin : 0; }

int CTableWnd::GetBodyTop() const { return HeaderHeight() + kBodyMargin; }

int CTableWnd::AvailableHeight() const {
  return GetClientArea().bottom - 2 * kBodyMargin - HeaderHeight();
}

void CTableWnd::ComputeColumnWidths() {
  m_columnsValid = 0;
  const int available = GetClientArea().right - 2 * kCellMargin * m_columnCount;
  std::int64_t sum = 0;
  for (const Column& c : m_columns) sum += c.weight;
  if (sum == 0 || static_cast<double>(available) / static_cast<double>(sum) <= 0) {
    for (Column& c : m_columns) c.width = 0;
    return;
  }
  for (Column& c : m_columns) {
    c.width = std::max<std::int32_t>(
        0, RoundToShort(static_cast<double>(c.weight) * available / static_cast<double>(sum)));
  }
  m_columnsValid = 1;
  m_totalLines = m_rowCount;
  for (int r = 0; r < m_rowCount; ++r) m_rowLines[static_cast<std::size_t>(r)] = 1;
  CControlDC dc;
  dc->SelectFont(FontInUse());
  for (int col = 0; col < m_columnCount; ++col) {
    if (m_columns[static_cast<std::size_t>(col)].wrap == 0) continue;
    for (int r = 0; r < m_rowCount; ++r) WrapCell(dc.get(), r, col);
  }
  UpdateScrollRange();
}

bool CTableWnd::WrapCell(CDrawContext& dc, int row, int column) {
  QString& text = Cell(row, column);
  text.remove(QChar(kWrapMarker));
  if (m_columnsValid == 0) return false;
  const int width = m_columns[static_cast<std::size_t>(column)].width;
  int pos = 0;
  while (pos < text.size()) {
    const QStringView rest = QStringView(text).sliced(pos);
    int n = FitTextToWidth(dc, rest, width, 0, -1, 1);
    if (n == 0) n = 1;
    const qsizetype lineBreak = rest.first(n).indexOf(QChar(kTableLineBreak));
    if (lineBreak >= 0) {
      pos += static_cast<int>(lineBreak) + 1;
      continue;
    }
    if (n >= rest.size()) break;
    if (rest[n] == u' ') {
      while (n + 1 < rest.size() && rest[n + 1] == u' ') ++n;
      if (n + 1 >= rest.size()) break;  // only blanks follow
    } else {
      // The cut falls inside a word: break at the blank before it, or cut the word.
      const qsizetype blank = rest.first(n).lastIndexOf(u' ');
      if (blank > 0) n = static_cast<int>(blank);
    }
    text.insert(pos + n, QChar(kWrapMarker));
    pos += n + 1;
  }
  int lines = 1;
  for (const QChar c : text) {
    if (IsCellBreak(c)) ++lines;
  }
  std::int32_t& rowLines = m_rowLines[static_cast<std::size_t>(row)];
  if (lines <= rowLines) return false;
  m_totalLines += lines - rowLines;
  rowLines = lines;
  return true;
}

void CTableWnd::CountPage() {
  MeasureLineHeight();
  m_linesPerPage = std::max(0, AvailableHeight() / m_lineHeight);
}

void CTableWnd::UpdateScrollRange() {
  MeasureLineHeight();
  const int available = AvailableHeight();
  // The last page begins at a row: count whole rows back from the end.
  int fitting = 0;
  for (int pos = m_rowCount - 1; pos >= 0; --pos) {
    const int lines = m_rowLines[static_cast<std::size_t>(GetDisplayedRow(pos))];
    if ((fitting + lines) * m_lineHeight > available) break;
    fitting += lines;
  }
  const int maximum = std::max(0, m_totalLines - fitting);
  CountPage();
  if (maximum != m_scrollMax) {
    const bool barWasShown = IsScrollBarShown();
    m_ready = 0;
    m_scrollMax = maximum;
    m_firstVisible = 0;
    SetScrollRange(maximum, std::max(1, m_linesPerPage));
    SetScrollPos(0);
    m_ready = 1;
    Invalidate();
    // The bar came or went: the columns share another width.
    if (barWasShown != IsScrollBarShown() && m_rangeDepth == 0) {
      ++m_rangeDepth;
      ComputeColumnWidths();
      --m_rangeDepth;
    }
  }
  BringSelectionIntoView();
}

int CTableWnd::FirstLineOf(int position) const {
  int line = 0;
  for (int pos = 0; pos < position && pos < m_rowCount; ++pos) {
    line += m_rowLines[static_cast<std::size_t>(GetDisplayedRow(pos))];
  }
  return line;
}

void CTableWnd::BringSelectionIntoView() {
  CountPage();
  if (m_selected < 0 || m_selected >= m_rowCount) return;
  const int l = FirstLineOf(m_selected);
  const int p = m_linesPerPage;
  int f = m_firstVisible;
  if (l < f) {
    f = l > 0 ? l - 1 : 0;
  } else if (l >= f + p) {
    f = l - p + 1;
    if (f < m_totalLines - p) ++f;
  }
  f = std::clamp(f, 0, std::max(0, m_scrollMax));
  if (f != m_firstVisible) {
    m_firstVisible = f;
    Invalidate();
    SetScrollPos(f);
  }
  CountPage();
}

// ---- Selection ----

void CTableWnd::SelectRow(int position) {
  if (position >= m_rowCount) return;
  if (position < 0 || m_scrollOnly != 0) {
    if (m_selected >= 0) Invalidate();
    m_selected = -1;
    return;
  }
  CountPage();
  const int l = FirstLineOf(position);
  const int c = m_rowLines[static_cast<std::size_t>(GetDisplayedRow(position))];
  int f = m_firstVisible;
  if (l < f) f = l;  // the row starts above the first visible line
  if (l + c > f + m_linesPerPage) f = c >= m_linesPerPage ? l : l - (m_linesPerPage - c);
  f = std::clamp(f, 0, std::max(0, m_scrollMax));
  if (f != m_firstVisible) {
    m_firstVisible = f;
    CountPage();
    SetScrollPos(f);
  }
  m_selected = position;
  Invalidate();
}

int CTableWnd::RowAtPoint(int y) const {
  if (m_scrollOnly != 0 || m_lineHeight <= 0) return -1;
  const int offset = y - GetBodyTop();
  if (offset < 0) return -1;
  const int line = offset / m_lineHeight + m_firstVisible;
  int first = 0;
  for (int pos = 0; pos < m_rowCount; ++pos) {
    first += m_rowLines[static_cast<std::size_t>(GetDisplayedRow(pos))];
    if (line < first) return pos;
  }
  return -1;  // below the last row
}

int CTableWnd::Search(const QString& text) const {
  if (m_rowCount <= 0 || m_columnCount <= 0) return -1;
  int start = m_selected > 0 ? m_selected : 0;
  if (text == m_typeAhead) ++start;
  for (int i = 0; i < m_rowCount; ++i) {
    const int pos = (start + i) % m_rowCount;
    if (StartsWithNoCase(WithoutWraps(Cell(GetDisplayedRow(pos), 0)), text) != 0) return pos;
  }
  return -1;
}

// ---- Keys and mouse ----

void CTableWnd::ScrollTo(int firstLine) {
  if (firstLine == m_firstVisible) return;
  m_firstVisible = firstLine;
  CountPage();
  SetScrollPos(firstLine);
  Invalidate();
  UpdateWindow();
}

void CTableWnd::OnKeyDown(int key, int, unsigned) {
  if (key == kVkShift || key == kVkControl) SetModifierKey(key, true);
  switch (key) {
    case kVkPrior:
    case kVkNext:
    case kVkEnd:
    case kVkHome:
    case kVkUp:
    case kVkDown:
      break;
    default:
      return;
  }
  m_typeAhead.clear();
  const int p = std::max(1, m_linesPerPage);
  if (m_scrollOnly != 0) {
    const int f = m_firstVisible;
    const int m = std::max(0, m_scrollMax);
    int target = f;
    switch (key) {
      case kVkPrior:
        target = std::max(f - p + 1, 0);
        break;
      case kVkNext:
        target = std::min(f + p - 1, m);
        break;
      case kVkEnd:
        target = m;
        break;
      case kVkHome:
        target = 0;
        break;
      case kVkUp:
        if (f > 0) target = f - 1;
        break;
      default:
        if (f < m) target = f + 1;
        break;
    }
    ScrollTo(target);
    return;
  }
  const int n = m_rowCount;
  const int s = m_selected;
  int target = s;
  if (s < 0) {
    target = key == kVkNext ? std::min(n, p) - 1 : key == kVkEnd ? n - 1 : 0;
  } else {
    switch (key) {
      case kVkPrior:
        target = std::max(s - p + 1, 0);
        break;
      case kVkNext:
        target = std::min(s + p - 1, n - 1);
        break;
      case kVkEnd:
        target = n - 1;
        break;
      case kVkHome:
        target = 0;
        break;
      case kVkUp:
        if (s > 0) target = s - 1;
        break;
      default:
        if (s + 1 < n) target = s + 1;
        break;
    }
  }
  if (target != s && target >= 0 && target < n) {
    SelectRow(target);
    UpdateWindow();
    emit selectionChanged(Id(), 0);
  }
}

void CTableWnd::OnKeyUp(int key, int, unsigned) {
  if (key == kVkShift || key == kVkControl) SetModifierKey(key, false);
}

void CTableWnd::OnChar(int character, int, unsigned) {
  if (character == kCharBackspace) {
    if (!m_typeAhead.isEmpty()) {
      m_typeAhead.chop(1);
      Invalidate();  // the caret moves back
    }
    return;
  }
  if (character < 32 || character > 0xFFFF) return;
  const QChar c(static_cast<char16_t>(character));
  QString searched = m_typeAhead + c;
  int found = Search(searched);
  if (found < 0 && !m_typeAhead.isEmpty() && c == m_typeAhead.back()) {
    // Repeating a letter steps through the rows that begin with it.
    searched = m_typeAhead;
    found = Search(searched);
  }
  if (found < 0) return;
  m_typeAhead = searched;
  if (found == m_selected) {
    Invalidate();
  } else {
    SelectRow(found);
  }
  UpdateWindow();
  emit selectionChanged(Id(), 1);
}

void CTableWnd::OnLButtonDown(unsigned, QPoint point) {
  m_typeAhead.clear();
  m_mouseDown = 1;
  setFocus(Qt::MouseFocusReason);
  if (m_captured == 0) {
    SetCapture();
    m_captured = 1;
  }
  MeasureLineHeight();
  SelectRow(RowAtPoint(point.y()));
  UpdateWindow();
}

void CTableWnd::OnMouseMove(unsigned, QPoint point) {
  if (m_mouseDown == 0) return;
  SelectRow(RowAtPoint(point.y()));
  UpdateWindow();
}

void CTableWnd::OnLButtonUp(unsigned, QPoint point) {
  if (m_mouseDown == 0) return;
  ReleaseCapture();
  m_captured = 0;
  SelectRow(RowAtPoint(point.y()));
  m_mouseDown = 0;
  UpdateWindow();
  emit selectionChanged(Id(), 0);
}

void CTableWnd::OnLButtonDblClk(unsigned, QPoint) {
  ReleaseCapture();
  m_captured = 0;
  emit itemDoubleClicked(Id());
}

void CTableWnd::OnVScroll(unsigned code, unsigned thumb) {
  int position = m_firstVisible;
  if (ApplyScrollCode(position, std::max(0, m_scrollMax), m_linesPerPage, code, thumb, -1, 1) !=
      0) {
    ScrollTo(position);
  }
}

void CTableWnd::OnSize(int cx, int cy) {
  if (cx <= 0 || cy <= 0 || (cx == m_clientWidth && cy == m_clientHeight)) return;
  m_clientWidth = cx;
  m_clientHeight = cy;
  if (m_ready == 0) return;
  ComputeColumnWidths();
  UpdateScrollRange();
}

// ---- Focus ----

DcRect CTableWnd::FocusRect() const {
  const DcRect client = GetClientArea();
  return {2, HeaderHeight() + 2, client.right - 2, client.bottom - 2};
}

void CTableWnd::ToggleFocusMark() {
  MeasureLineHeight();
  CClientDC dc(*this);
  DrawFocusRect(dc.get(), FocusRect());
}

void CTableWnd::OnSetFocus() {
  m_typeAhead.clear();
  if (m_hasFocus == 0) ToggleFocusMark();
  m_hasFocus = 1;
}

void CTableWnd::OnKillFocus() {
  if (m_hasFocus != 0) ToggleFocusMark();
  m_hasFocus = 0;
}

// ---- Painting ----

void CTableWnd::DrawRowLine(CDrawContext& dc, int position, int line, int y, bool highlighted) {
  const int row = GetDisplayedRow(position);
  const bool oneLine = m_rowLines[static_cast<std::size_t>(row)] == 1;
  const ColourRef text =
      highlighted ? m_highlightText : m_rowColours[static_cast<std::size_t>(row)];
  const ColourRef back = highlighted ? m_highlightBack : g_backgroundColour;
  const int right = GetClientArea().right - 1;
  SetTextColour(dc, text);
  SetOpaqueBkColour(dc, back);
  int x = kCellMargin;
  for (int col = 0; col < m_columnCount; ++col) {
    const Column& column = m_columns[static_cast<std::size_t>(col)];
    if (column.width <= 0) continue;
    const bool last = col == m_columnCount - 1;
    const int boxRight = last ? right - kCellMargin : x + column.width - 1;
    FillBox(dc, x - kCellMargin + (col > 0 ? 1 : 0), y, boxRight + kCellMargin - (last ? 0 : 1),
            y + m_lineHeight - 1, back);
    const QString& cell = Cell(row, col);
    if (!cell.isEmpty() && !IsLoneMarker(cell)) {
      const QString shown = oneLine ? WithoutWraps(cell) : LineOfCell(cell, line);
      if (!shown.isEmpty()) DrawTextInBox(dc, x, y, shown, boxRight, column.alignment);
    }
    x += column.width + 2 * kCellMargin;
  }
  if (highlighted && line == 0 && !m_typeAhead.isEmpty() && m_columnCount > 0 &&
      m_columns[0].width > 0) {
    const int caretX = kCellMargin + GetTextWidth(dc, m_typeAhead, -1, 0);
    DrawVerticalLineUi(dc, caretX, y, y + m_lineHeight - 1, 14);
  }
}

void CTableWnd::OnPaint(CDrawContext& target) {
  if (m_columnsValid == 0) ComputeColumnWidths();
  CControlDC dc(target);
  const DcFont previousFont = dc->SelectFont(FontInUse());
  m_lineHeight = std::max(1, ::GetLineHeight(dc.get()));
  const DcRect client = GetClientArea();
  const int right = client.right - 1;
  const int bottom = client.bottom - 1;
  if (m_border != 0) {
    DrawBoxOutlineUi(dc.get(), 0, 0, right, bottom, kUiBlack, 1);
    // Everything else stays inside the outline (and inside what is being painted).
    const DcRect box = dc->GetClipBox();
    dc->SetClipRect({std::max(box.left, 1), std::max(box.top, 1), std::min(box.right, right),
                     std::min(box.bottom, bottom)});
  }
  // Column rules, also without the header.
  int x = kCellMargin;
  for (int col = 0; col < m_columnCount; ++col) {
    const Column& column = m_columns[static_cast<std::size_t>(col)];
    if (column.width <= 0) continue;
    if (col > 0) DrawVerticalLineUi(dc.get(), x - kCellMargin, 0, bottom, kUiBlack);
    x += column.width + 2 * kCellMargin;
  }
  if (m_header != 0) {
    SetTextColourUi(dc.get(), kUiBlack);
    SetOpaqueBkColourUi(dc.get(), kUiWhite);
    x = kCellMargin;
    for (int col = 0; col < m_columnCount; ++col) {
      const Column& column = m_columns[static_cast<std::size_t>(col)];
      if (column.width <= 0) continue;
      const int boxRight = col == m_columnCount - 1 ? right - kCellMargin : x + column.width - 1;
      DrawTextInBox(dc.get(), x, kBodyMargin, column.title, boxRight, column.alignment);
      x += column.width + 2 * kCellMargin;
    }
    DrawHorizontalLineUi(dc.get(), 0, right, HeaderHeight(), kUiBlack);
  }
  if (m_selected >= m_rowCount) m_selected = -1;
  const int lines = std::min(m_linesPerPage + 1, m_totalLines - m_firstVisible);
  int y = GetBodyTop();
  int position = 0;
  int rowFirst = 0;  // the first line of the row at position
  for (int i = 0; i < lines; ++i) {
    const int line = m_firstVisible + i;
    while (position < m_rowCount &&
           line >= rowFirst + m_rowLines[static_cast<std::size_t>(GetDisplayedRow(position))]) {
      rowFirst += m_rowLines[static_cast<std::size_t>(GetDisplayedRow(position))];
      ++position;
    }
    if (position >= m_rowCount) break;
    DrawRowLine(dc.get(), position, line - rowFirst, y, position == m_selected);
    y += m_lineHeight;
  }
  dc->SelectFont(previousFont);
  if (m_hasFocus != 0) DrawFocusRect(dc.get(), FocusRect());
}

CTableList::CTableList(QWidget* parent) : CTableWnd(parent) {}

}  // namespace zeph
