#include "controls/dialogplus.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QTextEdit>

#include "platform/qt/qtdialogwindow.h"
#include "support/fontspec.h"
#include "support/help.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/strings.h"
#include "support/textfile.h"
#include "support/textutil.h"
#include "support/uiutil.h"

namespace zeph {
namespace {

constexpr char kIdProperty[] = "zephControlId";

// The edits' texts are read whole: a number cut to a fixed length could be a different
// number.
QString EditText(const QLineEdit& edit) { return edit.text(); }

class CQtDialogRunner final : public IDialogRunner {
 public:
  int RunModal(QDialog& dialog) override { return dialog.exec(); }
};

IDialogRunner* g_dialogRunner = nullptr;

// A top-level widget as CentreWindow sees it.
class CPlacedWidget final : public IPlacedWindow {
 public:
  explicit CPlacedWidget(QWidget& window) : m_window(window) {}
  DcRect GetWindowRect() const override {
    const QRect r = m_window.frameGeometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  }
  DcSize GetScreenSize() const override {
    const QScreen* screen = m_window.screen();
    if (screen == nullptr) return {g_screenWidth, g_screenHeight};
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
  }
  void MoveWindow(int left, int top, int width, int height, bool repaint) override {
    m_window.move(left, top);
    const QRect frame = m_window.frameGeometry();
    m_window.resize(std::max(0, width - (frame.width() - m_window.width())),
                    std::max(0, height - (frame.height() - m_window.height())));
    if (repaint) m_window.update();
  }

 private:
  QWidget& m_window;
};

}  // namespace

void SetControlId(QWidget* control, int id) {
  if (control != nullptr) control->setProperty(kIdProperty, id);
}

int ControlIdOf(const QWidget* control) {
  if (control == nullptr) return 0;
  const QVariant id = control->property(kIdProperty);
  return id.isValid() ? id.toInt() : 0;
}

QWidget* FindControl(const QWidget& parent, int id) {
  if (id == 0) return nullptr;
  const auto children = parent.findChildren<QWidget*>();
  for (QWidget* child : children) {
    if (ControlIdOf(child) == id) return child;
  }
  return nullptr;
}

QString GetControlText(const QWidget& control) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) return edit->text();
  if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&control)) {
    return plain->toPlainText();
  }
  if (const auto* text = qobject_cast<const QTextEdit*>(&control)) return text->toPlainText();
  if (const auto* label = qobject_cast<const QLabel*>(&control)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) return button->text();
  if (const auto* combo = qobject_cast<const QComboBox*>(&control)) return combo->currentText();
  if (const auto* group = qobject_cast<const QGroupBox*>(&control)) return group->title();
  return control.windowTitle();
}

bool SetControlTextOf(QWidget& control, const QString& text) {
  if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
    edit->setText(text);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(&control)) {
    plain->setPlainText(text);
  } else if (auto* rich = qobject_cast<QTextEdit*>(&control)) {
    rich->setPlainText(text);
  } else if (auto* label = qobject_cast<QLabel*>(&control)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
    button->setText(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
    if (!combo->isEditable()) return false;
    combo->setEditText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(&control)) {
    group->setTitle(text);
  } else {
    control.setWindowTitle(text);
  }
  return true;
}

void ScaleToDialogFont(QWidget& window) {
  CQtDialogWindow dialogWindow(window);
  ScaleDialogToFont(dialogWindow, GetDialogFont());
  FitToLayout(window);
}

void FitToLayout(QWidget& window) {
  // The scaling grows a window by the fonts' proportion, as a template's size would grow; a
  // layout already gives its controls their new sizes, and the rest of that growth would be
  // an empty strip along the window's edges. The window takes its layout's size, its centre
  // kept, and keeps to it as a dialog does: a text changed later resizes it with its layout,
  // and the window manager gives it no resize border.
  if (!window.isWindow() || window.layout() == nullptr) return;
  window.layout()->setSizeConstraint(QLayout::SetFixedSize);
  window.layout()->activate();
  const QSize size =
      window.sizeHint().expandedTo(window.minimumSizeHint()).boundedTo(window.maximumSize());
  // A window nobody has placed yet is placed by Qt as it opens, over its parent.
  if (!window.testAttribute(Qt::WA_Moved)) {
    window.resize(size);
    return;
  }
  QRect placed(QPoint(0, 0), size);
  placed.moveCenter(window.geometry().center());
  window.setGeometry(placed);
}

void CentreWidget(QWidget& window, double fraction) {
  CPlacedWidget placed(window);
  CentreWindow(placed, fraction);
}

// ---- Data exchange ----

QLineEdit* CDataExchange::PrepareEditCtrl(int id) {
  auto* edit = qobject_cast<QLineEdit*>(FindControl(m_dialog, id));
  if (edit == nullptr) {
    SetGlitchValue(id);
    ReportGlitch(20016, 1);
    return nullptr;
  }
  m_lastEdit = edit;
  return edit;
}

void CDataExchange::Fail() {
  m_failed = true;
  if (m_lastEdit != nullptr) {
    m_lastEdit->setFocus(Qt::OtherFocusReason);
    m_lastEdit->selectAll();
  }
}

namespace {

void FailWith(CDataExchange& dx, int message) {
  ShowWarning(message);
  dx.Fail();
}

}  // namespace

void DDX_Number(CDataExchange& dx, int id, double& value) {
  if (dx.Failed()) return;
  QLineEdit* edit = dx.PrepareEditCtrl(id);
  if (edit == nullptr) return;
  if (dx.IsSaving()) {
    double read = 0;
    if (TextToDouble(EditText(*edit), read) == 0) return FailWith(dx, kIdsPleaseTypeNumber);
    value = read;
  } else {
    QString text;
    FormatDouble(value, text, 21);
    edit->setText(text);
  }
}

void DDX_NumberOrBlank(CDataExchange& dx, int id, double& value) {
  if (dx.Failed()) return;
  QLineEdit* edit = dx.PrepareEditCtrl(id);
  if (edit == nullptr) return;
  if (dx.IsSaving()) {
    QString text = EditText(*edit);
    TrimText(text);
    if (text.isEmpty()) {
      value = -1;
      return;
    }
    double read = 0;
    if (TextToDouble(text, read) == 0) return FailWith(dx, kIdsPleaseTypeNumber);
    value = read;
  } else if (value >= 0) {
    QString text;
    FormatDouble(value, text, 21);
    edit->setText(text);
  } else {
    edit->clear();
  }
}

void DDX_Short(CDataExchange& dx, int id, std::int16_t& value) {
  if (dx.Failed()) return;
  QLineEdit* edit = dx.PrepareEditCtrl(id);
  if (edit == nullptr) return;
  if (dx.IsSaving()) {
    std::int16_t read = 0;
    if (TextToShort(EditText(*edit), read) == 0) return FailWith(dx, kIdsPleaseTypeSmallWhole);
    value = read;
  } else {
    edit->setText(QString::number(value));
  }
}

void DDX_ShortOrBlank(CDataExchange& dx, int id, std::int16_t& value) {
  if (dx.Failed()) return;
  QLineEdit* edit = dx.PrepareEditCtrl(id);
  if (edit == nullptr) return;
  if (dx.IsSaving()) {
    QString text = EditText(*edit);
    TrimText(text);
    if (text.isEmpty()) {
      value = 0;
      return;
    }
    std::int16_t read = 0;
    if (TextToShort(text, read) == 0) return FailWith(dx, kIdsPleaseTypeSmallWhole);
    value = read;
  } else if (value > 0) {
    edit->setText(QString::number(value));
  } else {
    edit->clear();
  }
}

void DDV_Number(CDataExchange& dx, const QString& text) {
  if (dx.Failed() || !dx.IsSaving()) return;
  if (IsNumberText(text, kCommaRefuse) == 0) FailWith(dx, kIdsPleaseTypeNumber);
}

void DDV_NonZeroNumber(CDataExchange& dx, const QString& text) {
  if (dx.Failed() || !dx.IsSaving()) return;
  double value = 0;
  if (StringToDouble(text, value) == 0) return FailWith(dx, kIdsPleaseTypeNumber);
  if (value == 0) FailWith(dx, kIdsPleaseTypeNonZero);
}

void DDV_NotNegative(CDataExchange& dx, double value) {
  if (dx.Failed() || !dx.IsSaving()) return;
  if (value < 0) FailWith(dx, kIdsPleaseTypePositive);
}

// ---- Dialog runner ----

IDialogRunner& GetDialogRunner() {
  static CQtDialogRunner qtRunner;
  return g_dialogRunner != nullptr ? *g_dialogRunner : qtRunner;
}

void SetDialogRunner(IDialogRunner* runner) { g_dialogRunner = runner; }

int CScriptedDialogRunner::RunModal(QDialog& dialog) {
  ++m_runs;
  dialog.setResult(0);
  if (m_script) m_script(dialog);
  return dialog.result();
}

// ---- CDialogPlus ----

CDialogPlus::CDialogPlus(int templateId, QWidget* parent)
    : QDialog(parent), m_templateId(templateId) {
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  help->setContext(Qt::WidgetWithChildrenShortcut);
  connect(help, &QShortcut::activated, this, [this]() { OnHelpInfo(); });
}

int CDialogPlus::DoModal() {
  if (!m_initialised) {
    m_initialised = true;
    OnInitDialog();
    // The texts the initialisation filled in may need more or less room than the layout had.
    FitToLayout(*this);
  }
  return GetDialogRunner().RunModal(*this);
}

bool CDialogPlus::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialogPlus::ScaleAndCentre() {
  adjustSize();
  ScaleToDialogFont(*this);
  CentreWidget(*this, 0.5);
}

bool CDialogPlus::UpdateData(bool save) {
  CDataExchange dx(*this, save);
  DoDataExchange(dx);
  return !dx.Failed();
}

void CDialogPlus::DoDataExchange(CDataExchange&) {}

void CDialogPlus::OnOK() {
  if (!UpdateData(true)) return;  // the dialog stays open on the offending edit
  EndDialog(kIdOk);
}

void CDialogPlus::OnCancel() { EndDialog(kIdCancel); }

void CDialogPlus::EndDialog(int result) { QDialog::done(result); }

void CDialogPlus::accept() { OnOK(); }
void CDialogPlus::reject() { OnCancel(); }

bool CDialogPlus::OnCommand(int id) {
  switch (id) {
    case kIdHelp:
    case kIdHelpCurrentTool:
      OnHelpCommand();
      return true;
    case kIdOk:
      OnOK();
      return true;
    case kIdCancel:
      OnCancel();
      return true;
    default:
      return false;
  }
}

void CDialogPlus::OnHelpCommand() { ShowHelpTopic(GetHelpTopic(), 0); }

bool CDialogPlus::OnHelpInfo() {
  OnHelpCommand();
  return true;
}

void CDialogPlus::EnableControl(int id, int enable) {
  QWidget* control = GetDlgItem(id);
  if (control == nullptr) {
    SetGlitchValue(id);
    ReportGlitch(20010, 1);
    return;
  }
  control->setEnabled(enable != 0);
}

int CDialogPlus::GetButtonCheck(int id) {
  QWidget* control = GetDlgItem(id);
  if (control == nullptr) {
    SetGlitchValue(id);
    ReportGlitch(20011, 1);
    return -1;
  }
  if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
    switch (box->checkState()) {
      case Qt::Checked:
        return 1;
      case Qt::PartiallyChecked:
        return 2;
      default:
        return 0;
    }
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
    return button->isChecked() ? 1 : 0;
  }
  return 0;
}

void CDialogPlus::SetControlText(int id, const QString& text) {
  QWidget* control = GetDlgItem(id);
  if (control == nullptr) {
    SetGlitchValue(id);
    SetGlitchMessage(text);
    ReportGlitch(20014, 1);
    return;
  }
  SetControlTextOf(*control, text);
}

void CDialogPlus::ShowControl(int id, int show) {
  QWidget* control = GetDlgItem(id);
  if (control == nullptr) {
    SetGlitchValue(id);
    ReportGlitch(20015, 1);
    return;
  }
  control->setVisible(show != 0);
}

void CDialogPlus::ConnectCommand(QAbstractButton* button, int id) {
  if (button == nullptr) return;
  SetControlId(button, id);
  connect(button, &QAbstractButton::clicked, this, [this, id]() { OnCommand(id); });
}

}  // namespace zeph
