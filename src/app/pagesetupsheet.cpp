#include "app/pagesetupsheet.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/sheetexchange.h"
#include "controls/viewcontrols.h"
#include "document/document.h"
#include "document/printsettings.h"
#include "platform/presenter.h"
#include "support/log.h"
#include "support/printer.h"
#include "support/screen.h"

namespace zeph {

namespace {

constexpr int kTopicPrintFooters = 74;
constexpr int kTopicPrintLayout = 75;
constexpr int kTopicPrintMargins = 76;

constexpr std::int32_t kSpinIds[] = {1570, 1571, 1572, 1574, 1573, 1575};
constexpr std::int32_t kSpinEditIds[] = {kIdcLeftMargin,   kIdcRightMargin,  kIdcTopMargin,
                                         kIdcFooterMargin, kIdcBottomMargin, kIdcOverlapMargin};

// A group of radio buttons with consecutive ids, laid out in a row.
QGroupBox* RadioGroup(QWidget& page, const QString& title, int firstId,
                      std::initializer_list<const char*> captions) {
  auto* group = new QGroupBox(title, &page);
  auto* row = new QHBoxLayout(group);
  int id = firstId;
  for (const char* caption : captions) {
    auto* button = new QRadioButton(QString::fromLatin1(caption), group);
    SetControlId(button, id++);
    row->addWidget(button);
  }
  row->addStretch(1);
  return group;
}

}  // namespace

// ---- Layout ----

CPrintLayoutPage::CPrintLayoutPage() : CPropertyPagePlus(4248, 0) {
  setWindowTitle(QStringLiteral("Layout"));
}
int CPrintLayoutPage::GetHelpTopic() const { return kTopicPrintLayout; }

bool CPrintLayoutPage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      RadioGroup(*this, QStringLiteral("Orientation"), kIdcPortrait, {"Portrait", "Landscape"}));
  layout->addWidget(RadioGroup(*this, QStringLiteral("Horizontal position"), kIdcPageLeft,
                               {"Left", "Centre", "Right"}));
  layout->addWidget(RadioGroup(*this, QStringLiteral("Vertical position"), kIdcPageTop,
                               {"Top", "Centre", "Bottom"}));
  layout->addStretch(1);
  CPropertyPagePlus::OnInitDialog();
  return UpdateData(false);
}

void CPrintLayoutPage::DoDataExchange(CDataExchange& dx) {
  DDX_Radio(dx, *this, kIdcPortrait, 2, m_landscape);
  DDX_Radio(dx, *this, kIdcPageLeft, 3, m_horizontal);
  DDX_Radio(dx, *this, kIdcPageTop, 3, m_vertical);
}

// ---- Margins ----

CPrintMarginsPage::CPrintMarginsPage() : CPropertyPageSpin(713, 0) {
  setWindowTitle(QStringLiteral("Margins"));
}
int CPrintMarginsPage::GetHelpTopic() const { return kTopicPrintMargins; }

bool CPrintMarginsPage::OnInitDialog() {
  auto* layout = new QFormLayout(this);
  const struct {
    int edit;
    int spin;
    const char* label;
  } rows[] = {
      {kIdcLeftMargin, 1570, "L&eft margin"},     {kIdcRightMargin, 1571, "&Right margin"},
      {kIdcTopMargin, 1572, "&Top margin"},       {kIdcFooterMargin, 1574, "&Footer margin"},
      {kIdcBottomMargin, 1573, "&Bottom margin"}, {kIdcOverlapMargin, 1575, "&Multi-page overlap"}};
  for (const auto& row : rows) {
    auto* line = new QHBoxLayout;
    auto* edit = new QLineEdit(this);
    SetControlId(edit, row.edit);
    edit->setMaximumWidth(80);
    auto* spin = new CUpDownButton(this);
    ConnectSpin(spin, row.spin);
    auto* unit = new QLabel(QStringLiteral("cm"), this);
    line->addWidget(edit);
    line->addWidget(spin);
    line->addWidget(unit);
    line->addStretch(1);
    auto* label = new QLabel(QString::fromLatin1(row.label), this);
    label->setBuddy(edit);
    layout->addRow(label, line);
    if (row.edit == kIdcOverlapMargin && m_showOverlap == 0) {
      // The overlap is shown only where multi-page printing is offered.
      for (QWidget* widget : std::initializer_list<QWidget*>{edit, spin, unit, label}) {
        widget->hide();
      }
    }
  }
  CPropertyPageSpin::OnInitDialog();
  return UpdateData(false);
}

void CPrintMarginsPage::DoDataExchange(CDataExchange& dx) {
  DDX_Number(dx, kIdcLeftMargin, m_left);
  DDV_NotNegative(dx, m_left);
  DDX_Number(dx, kIdcRightMargin, m_right);
  DDV_NotNegative(dx, m_right);
  DDX_Number(dx, kIdcTopMargin, m_top);
  DDV_NotNegative(dx, m_top);
  DDX_Number(dx, kIdcFooterMargin, m_footer);
  DDV_NotNegative(dx, m_footer);
  DDX_Number(dx, kIdcBottomMargin, m_bottom);
  DDV_NotNegative(dx, m_bottom);
  DDX_Number(dx, kIdcOverlapMargin, m_overlap);
  DDV_NotNegative(dx, m_overlap);
}

int CPrintMarginsPage::GetSpinEditPairs(const std::int32_t** upDownIds,
                                        const std::int32_t** editIds) {
  *upDownIds = kSpinIds;
  *editIds = kSpinEditIds;
  return static_cast<int>(std::size(kSpinIds));
}

int CPrintMarginsPage::GetMinimum(int, double& out) {
  out = 0.0;
  return 1;
}

// ---- Footer ----

CPrintFooterPage::CPrintFooterPage() : CPropertyPagePlus(712, 0) {
  setWindowTitle(QStringLiteral("Footer"));
}
int CPrintFooterPage::GetHelpTopic() const { return kTopicPrintFooters; }

QString CPrintFooterPage::GetFontDescription() const {
  QString text;
  m_font.GetDescription(text);
  return text;
}

bool CPrintFooterPage::OnInitDialog() {
  auto* layout = new QVBoxLayout(this);
  auto* include = new QGroupBox(QStringLiteral("Include"), this);
  auto* column = new QVBoxLayout(include);
  const struct {
    int id;
    const char* caption;
  } boxes[] = {{kIdcPrintScale, "Print the &scale"},
               {kIdcPrintName, "Print your &name(s)"},
               {kIdcPrintFilename, "Print the filena&me"},
               {kIdcPrintDate, "Print the &date"},
               {kIdcPrintTime, "Print the &time"}};
  for (const auto& box : boxes) {
    auto* check = new QCheckBox(QString::fromLatin1(box.caption), include);
    SetControlId(check, box.id);
    column->addWidget(check);
  }
  layout->addWidget(include);
  layout->addWidget(
      RadioGroup(*this, QStringLiteral("Position"), kIdcFooterLeft, {"Left", "Centre", "Right"}));
  auto* fontRow = new QHBoxLayout;
  auto* font = new QPushButton(QStringLiteral("&Font ..."), this);
  SetControlId(font, kIdcFooterFont);
  connect(font, &QPushButton::clicked, this, &CPrintFooterPage::OnFont);
  m_fontLabel = new QLabel(GetFontDescription(), this);
  SetControlId(m_fontLabel, kIdcFontDescription);
  fontRow->addWidget(font);
  fontRow->addWidget(m_fontLabel, 1);
  layout->addLayout(fontRow);
  layout->addStretch(1);
  CPropertyPagePlus::OnInitDialog();
  return UpdateData(false);
}

void CPrintFooterPage::DoDataExchange(CDataExchange& dx) {
  DDX_Check(dx, *this, kIdcPrintScale, m_printScale);
  DDX_Check(dx, *this, kIdcPrintName, m_printName);
  DDX_Check(dx, *this, kIdcPrintFilename, m_printFilename);
  DDX_Check(dx, *this, kIdcPrintDate, m_printDate);
  DDX_Check(dx, *this, kIdcPrintTime, m_printTime);
  DDX_Radio(dx, *this, kIdcFooterLeft, 3, m_alignment);
}

void CPrintFooterPage::OnFont() {
  LogScope trace(26141);
  DcFont start;
  if (m_font.GetLogFont(start, nullptr, 100, 0) == 0) {
    trace.Exit(kLogFailed, 1);
    return;
  }
  QFontDialog dialog(QtFontOf(start, this), this);
  dialog.setOption(QFontDialog::DontUseNativeDialog, true);
  if (GetDialogRunner().RunModal(dialog) != kIdOk) return trace.Exit();
  const QFont chosen = dialog.selectedFont();
  DcFont font = start;
  font.face = chosen.family();
  // The dialog speaks points; the font spec reads a pixel height at the screen's resolution.
  const double points = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : 10.0;
  font.height = std::max(1, static_cast<int>(std::lround(points * g_screenDpiY / 72.0)));
  font.bold = chosen.bold();
  font.italic = chosen.italic();
  m_font.SetFromLogFont(font, nullptr);
  if (m_fontLabel != nullptr) m_fontLabel->setText(GetFontDescription());
  trace.Exit();
}

// ---- The sheet ----

CPageSetupSheet::CPageSetupSheet(QWidget* parent, const CPrintSettings& settings)
    : CPropertySheetPlus(QStringLiteral("Printer page setup"), parent, 0),
      m_layout(new CPrintLayoutPage),
      m_margins(new CPrintMarginsPage),
      m_footer(new CPrintFooterPage) {
  for (CPropertyPagePlus* page :
       std::initializer_list<CPropertyPagePlus*>{m_layout, m_margins, m_footer}) {
    AddPage(page);
    GetTabControl()->setTabText(GetPageCount() - 1, page->windowTitle());
  }
  m_layout->m_landscape = settings.GetLandscape() != 0 ? 1 : 0;
  m_layout->m_horizontal = settings.GetPageHorizontal();
  m_layout->m_vertical = settings.GetPageVertical();
  m_margins->m_left = settings.GetLeftMargin();
  m_margins->m_right = settings.GetRightMargin();
  m_margins->m_top = settings.GetTopMargin();
  m_margins->m_footer = settings.GetFooterMargin();
  m_margins->m_bottom = settings.GetBottomMargin();
  m_margins->m_overlap = settings.GetMultiPageMargin();
  m_margins->m_showOverlap = 1;
  m_footer->m_printScale = settings.GetPrintScale();
  m_footer->m_printName = settings.GetPrintName();
  m_footer->m_printFilename = settings.GetPrintFilename();
  m_footer->m_printDate = settings.GetPrintDate();
  m_footer->m_printTime = settings.GetPrintTime();
  m_footer->m_alignment = settings.GetFooterAlignment();
  m_footer->m_font = settings.GetFooterFont();
}

int CPageSetupSheet::WriteSettings(CPrintSettings& settings) const {
  int changed = 0;
  // A radio group left without a choice keeps the value in force.
  if (m_layout->m_horizontal >= 0) {
    changed |= settings.SetPageHorizontal(static_cast<std::int16_t>(m_layout->m_horizontal));
  }
  if (m_layout->m_vertical >= 0) {
    changed |= settings.SetPageVertical(static_cast<std::int16_t>(m_layout->m_vertical));
  }
  if (m_layout->m_landscape >= 0) changed |= settings.SetLandscape(m_layout->m_landscape);
  changed |= settings.SetLeftMargin(m_margins->m_left);
  changed |= settings.SetRightMargin(m_margins->m_right);
  changed |= settings.SetTopMargin(m_margins->m_top);
  changed |= settings.SetFooterMargin(m_margins->m_footer);
  changed |= settings.SetBottomMargin(m_margins->m_bottom);
  changed |= settings.SetMultiPageMargin(m_margins->m_overlap);
  changed |= settings.SetPrintScale(m_footer->m_printScale);
  changed |= settings.SetPrintName(m_footer->m_printName);
  changed |= settings.SetPrintFilename(m_footer->m_printFilename);
  changed |= settings.SetPrintDate(m_footer->m_printDate);
  changed |= settings.SetPrintTime(m_footer->m_printTime);
  changed |= settings.SetFooterFont(m_footer->m_font);
  if (m_footer->m_alignment >= 0) {
    changed |= settings.SetFooterAlignment(static_cast<std::int16_t>(m_footer->m_alignment));
  }
  return changed != 0 ? 1 : 0;
}

int ShowPageSetupSheet(QWidget* parent, CZephDoc* document, int noDrawingShownYet) {
  LogScope trace(26142);
  if (document == nullptr) return trace.Return(static_cast<int>(kIdCancel), kLogInvalid);
  CPrintSettings& settings = document->GetPrintSettings();
  CPageSetupSheet sheet(parent, settings);
  const int result = sheet.DoModal();
  if (result != kIdOk) return trace.Return(result);
  const int changed = sheet.WriteSettings(settings);
  ComputePrintableArea();
  if (changed != 0) {
    document->MarkChanged();
    if (noDrawingShownYet != 0) settings.StoreToOptions();
  }
  return trace.Return(result);
}

}  // namespace zeph
