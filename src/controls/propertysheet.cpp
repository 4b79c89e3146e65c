#include "controls/propertysheet.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <new>

#include "support/help.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/strings.h"
#include "support/sysinfo.h"
#include "support/textfile.h"
#include "support/uiutil.h"

namespace zeph {

inline constexpr int kPageBackgroundEntry = 38;

// ---- CPropertyPagePlus ----

CPropertyPagePlus::CPropertyPagePlus(int templateId, int captionId) : m_templateId(templateId) {
  if (captionId != 0) SetTabCaption(captionId);
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  help->setContext(Qt::WidgetWithChildrenShortcut);
  connect(help, &QShortcut::activated, this, [this]() { OnHelpInfo(); });
}

void CPropertyPagePlus::SetTabCaption(int stringId) {
  const QString text = LoadProgramString(stringId);
  if (text.isEmpty()) return;
  m_caption = text;
  setWindowTitle(text);
}

void CPropertyPagePlus::CreateBackgroundBrush(ColourRef colour) {
  if (g_osClass != 2) return;
  const ColourRef fill =
      colour == static_cast<ColourRef>(-1) ? UiColour(kPageBackgroundEntry) : colour;
  m_brush = fill;
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(RedOf(fill), GreenOf(fill), BlueOf(fill)));
  setPalette(palette);
  setAutoFillBackground(true);
  m_brushMade = 1;
}

bool CPropertyPagePlus::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CPropertyPagePlus::InitialiseOnce() {
  if (m_initialised) return;
  m_initialised = true;
  OnInitDialog();
}

bool CPropertyPagePlus::OnKillActive() { return UpdateData(true); }
void CPropertyPagePlus::OnOK() {}
void CPropertyPagePlus::DoDataExchange(CDataExchange&) {}

bool CPropertyPagePlus::UpdateData(bool save) {
  CDataExchange dx(*this, save);
  DoDataExchange(dx);
  return !dx.Failed();
}

void CPropertyPagePlus::ShowPageHelp() { ShowHelpTopic(GetHelpTopic(), 0); }
void CPropertyPagePlus::OnHelpCommand() { ShowPageHelp(); }

bool CPropertyPagePlus::OnHelpInfo() {
  ShowPageHelp();
  return true;
}

void CPropertyPagePlus::EnableControl(int id, int enable) {
  QWidget* control = GetDlgItem(id);
  if (control == nullptr) {
    SetGlitchValue(id);
    ReportGlitch(27101, 1);
    return;
  }
  control->setEnabled(enable != 0);
}

// ---- CUpDownButton ----

CUpDownButton::CUpDownButton(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QToolButton* button : {m_up, m_down}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, 11);  // together about as high as an edit box
    layout->addWidget(button);
  }
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  m_up->setArrowType(Qt::UpArrow);
  m_down->setArrowType(Qt::DownArrow);
  connect(m_up, &QToolButton::clicked, this, [this]() { emit deltaPos(-1); });
  connect(m_down, &QToolButton::clicked, this, [this]() { emit deltaPos(1); });
}

// ---- CPropertyPageSpin ----

int CPropertyPageSpin::GetMaximum(int, double&) { return 0; }
int CPropertyPageSpin::GetMinimum(int, double&) { return 0; }

void CPropertyPageSpin::ConnectSpin(CUpDownButton* upDown, int id) {
  if (upDown == nullptr) return;
  SetControlId(upDown, id);
  connect(upDown, &CUpDownButton::deltaPos, this,
          [this, id](int delta) { OnSpinDeltaPos(id, delta); });
}

int CPropertyPageSpin::OnSpinDeltaPos(int upDownId, int delta) {
  const std::int32_t* upDowns = nullptr;
  const std::int32_t* edits = nullptr;
  const int count = GetSpinEditPairs(&upDowns, &edits);
  if (upDowns == nullptr || edits == nullptr) return 0;
  std::int16_t index = 0;
  while (index < count && upDowns[index] != upDownId) ++index;
  if (index >= count) return 0;
  const int editId = edits[index];
  auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(editId));
  if (edit == nullptr) return 0;
  const QString typed = edit->text();
  double v = 0;
  if (StringToDouble(typed, v) == 0) return 0;
  QString roundedText = typed;
  RoundNumberString(roundedText, 1, 0);
  double r = 0;
  if (StringToDouble(roundedText, r) == 0) return 0;
  double limit = 0;
  if (delta < 0) {
    if (v >= r) {
      r += 0.1;
      if (GetMaximum(editId, limit) != 0) r = std::min(r, limit);
    }
  } else if (delta > 0) {
    if (v <= r) {
      r -= 0.1;
      if (GetMinimum(editId, limit) != 0) r = std::max(r, limit);
    }
  }
  QString text;
  FormatDoubleFixed(r, text);
  edit->setText(text);
  return 0;
}

// ---- CPropertySheetPlus ----

CPropertySheetPlus::CPropertySheetPlus(const QString& caption, QWidget* parent, int firstPage)
    : QDialog(parent),
      m_tabs(new QTabWidget(this)),
      m_buttons(new QDialogButtonBox(
          QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this)),
      m_firstPage(firstPage) {
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  // Every tab stays in sight: the sheet is as wide as its tabs, never scrolls them.
  m_tabs->setUsesScrollButtons(false);
  layout->addWidget(m_tabs);
  layout->addWidget(m_buttons);
  SetControlId(m_buttons->button(QDialogButtonBox::Ok), kIdOk);
  SetControlId(m_buttons->button(QDialogButtonBox::Cancel), kIdCancel);
  SetControlId(m_buttons->button(QDialogButtonBox::Help), kIdHelp);
  connect(m_buttons, &QDialogButtonBox::accepted, this, &CPropertySheetPlus::accept);
  connect(m_buttons, &QDialogButtonBox::rejected, this, &CPropertySheetPlus::reject);
  connect(m_buttons, &QDialogButtonBox::helpRequested, this, [this]() { OnHelpInfo(); });
  connect(m_tabs, &QTabWidget::currentChanged, this, &CPropertySheetPlus::OnTabChanged);
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  help->setContext(Qt::WidgetWithChildrenShortcut);
  connect(help, &QShortcut::activated, this, [this]() { OnHelpInfo(); });
}

CPropertySheetPlus::~CPropertySheetPlus() = default;

void CPropertySheetPlus::AddPage(CPropertyPagePlus* page) {
  if (page == nullptr) return;
  m_switching = true;
  m_tabs->addTab(page, page->GetTabCaption());
  m_switching = false;
}

int CPropertySheetPlus::GetPageCount() const { return m_tabs->count(); }

CPropertyPagePlus* CPropertySheetPlus::GetPage(int index) const {
  return qobject_cast<CPropertyPagePlus*>(m_tabs->widget(index));
}

CPropertyPagePlus* CPropertySheetPlus::GetActivePage() const {
  return qobject_cast<CPropertyPagePlus*>(m_tabs->currentWidget());
}

int CPropertySheetPlus::GetActiveIndex() const { return m_tabs->currentIndex(); }

bool CPropertySheetPlus::SetActivePage(int index) {
  if (index < 0 || index >= m_tabs->count()) return false;
  m_tabs->setCurrentIndex(index);
  return m_tabs->currentIndex() == index;
}

bool CPropertySheetPlus::IsPageScaled(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < m_fontApplied.size() &&
         m_fontApplied[static_cast<std::size_t>(index)] != 0;
}

int CPropertySheetPlus::DoModal() {
  if (!OnInitDialog()) return kIdCancel;
  return GetDialogRunner().RunModal(*this);
}

bool CPropertySheetPlus::OnInitDialog() {
  LogScope trace(27104);
  if (m_fraction != 0.5) CentreWidget(*this, m_fraction);
  m_pageCount = static_cast<std::uint32_t>(m_tabs->count());
  try {
    m_fontApplied.assign(m_pageCount, 0);
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory();
    done(kIdCancel);
    return trace.Return(false, kLogMemory);
  }
  m_switching = true;
  if (m_firstPage > 0 && m_firstPage < m_tabs->count()) m_tabs->setCurrentIndex(m_firstPage);
  m_switching = false;
  m_currentIndex = m_tabs->currentIndex();
  CPropertyPagePlus* page = GetActivePage();
  if (page == nullptr) {
    ReportGlitch(27104, 1);
    return trace.Return(true);
  }
  page->InitialiseOnce();
  page->MarkShown();
  // A sheet keeps one size from page to page and shows each page whole: it is sized for its
  // largest page, so every page has its controls from the start.
  for (int i = 0; i < m_tabs->count(); ++i) {
    if (CPropertyPagePlus* other = GetPage(i)) other->InitialiseOnce();
  }
  adjustSize();
  ScaleToDialogFont(*this);
  ScaleToDialogFont(*page);
  FitToLayout(*this);
  const int index = m_tabs->currentIndex();
  if (index >= 0 && static_cast<std::uint32_t>(index) < m_pageCount) {
    m_fontApplied[static_cast<std::size_t>(index)] = 1;
  }
  // The tab control places the page: nothing to move.
  return trace.Return(true);
}

void CPropertySheetPlus::OnTabChanged(int index) {
  if (m_switching) return;
  // Leaving a page runs its checks; a page that refuses stays.
  if (CPropertyPagePlus* old = GetPage(m_currentIndex);
      old != nullptr && old->WasShown() && m_currentIndex != index && !old->OnKillActive()) {
    m_switching = true;
    m_tabs->setCurrentIndex(m_currentIndex);
    m_switching = false;
    return;
  }
  m_currentIndex = index;
  if (CPropertyPagePlus* page = GetPage(index)) {
    page->InitialiseOnce();
    page->MarkShown();
  }
  QMetaObject::invokeMethod(this, &CPropertySheetPlus::OnFitActivePage, Qt::QueuedConnection);
}

void CPropertySheetPlus::OnFitActivePage() {
  CPropertyPagePlus* page = GetActivePage();
  if (page == nullptr) {
    ReportGlitch(27105, 1);
    return;
  }
  const int index = m_tabs->currentIndex();
  if (index >= 0 && static_cast<std::uint32_t>(index) < m_pageCount &&
      m_fontApplied[static_cast<std::size_t>(index)] == 0) {
    ScaleToDialogFont(*page);
    m_fontApplied[static_cast<std::size_t>(index)] = 1;
  }
  page->update();
}

bool CPropertySheetPlus::OnHelpInfo() {
  CPropertyPagePlus* page = GetActivePage();
  if (page == nullptr) return false;
  page->ShowPageHelp();
  return true;
}

bool CPropertySheetPlus::OnOK() {
  CPropertyPagePlus* active = GetActivePage();
  if (active != nullptr && active->WasShown() && !active->OnKillActive()) return false;
  for (int i = 0; i < m_tabs->count(); ++i) {
    CPropertyPagePlus* page = GetPage(i);
    if (page == nullptr || page == active || !page->WasShown()) continue;
    if (!page->OnKillActive()) {
      m_switching = true;  // the page already had its say
      SetActivePage(i);
      m_switching = false;
      m_currentIndex = i;
      return false;
    }
  }
  for (int i = 0; i < m_tabs->count(); ++i) {
    CPropertyPagePlus* page = GetPage(i);
    if (page != nullptr && page->WasShown()) page->OnOK();
  }
  return true;
}

void CPropertySheetPlus::accept() {
  if (OnOK()) QDialog::done(kIdOk);
}

void CPropertySheetPlus::reject() { QDialog::done(kIdCancel); }

}  // namespace zeph
