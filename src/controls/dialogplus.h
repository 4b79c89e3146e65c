#pragma once
// The base of every modal dialog of the program, and the data exchange between a dialog's
// members and its edit boxes with the program's number syntax and warnings.
//
// A dialog is a QDialog with Qt layouts built in code. Controls the program's logic refers to
// carry their id (SetControlId), so that the guarded operations (EnableControl, ...) and the
// data exchange find them; a wrong id is reported as a glitch, never a crash. Every dialog
// names its help topic, shown by F1 and by its Help button. Modal runs go through the dialog
// runner, so that tests answer dialogs without a display.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

#include "platform/presenter.h"

class QAbstractButton;
class QLineEdit;

namespace zeph {

// Command and control ids the bases answer, besides kIdOk and kIdCancel of the presenter.
inline constexpr int kIdHelp = 57670;
inline constexpr int kIdHelpCurrentTool = 32773;  // Help > Current tool

// The id of a control (0 when it has none), and finding a control by id among the
// descendants of a dialog or page.
void SetControlId(QWidget* control, int id);
int ControlIdOf(const QWidget* control);
QWidget* FindControl(const QWidget& parent, int id);

// One run of the data exchange: values into the controls (loading) or back (saving).
class CDataExchange {
 public:
  CDataExchange(QWidget& dialog, bool saveAndValidate)
      : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}

  bool IsSaving() const { return m_saveAndValidate; }
  // The edit box of id, remembered as the one to focus when the exchange fails; null when the
  // dialog has no such edit.
  QLineEdit* PrepareEditCtrl(int id);
  // Ends the exchange: the focus goes to the last prepared edit, its text selected. Later
  // exchange calls of this run do nothing.
  void Fail();
  bool Failed() const { return m_failed; }

 private:
  QWidget& m_dialog;
  bool m_saveAndValidate;
  bool m_failed = false;
  QLineEdit* m_lastEdit = nullptr;
};

// The exchange functions. When saving they check the text, show the warning and fail the
// exchange on bad text, leaving the member as it was.
void DDX_Number(CDataExchange& dx, int id, double& value);
// An empty (or blank) box is -1; a negative value shows an empty box.
void DDX_NumberOrBlank(CDataExchange& dx, int id, double& value);
void DDX_Short(CDataExchange& dx, int id, std::int16_t& value);
// An empty box is 0; a value of 0 or less shows an empty box.
void DDX_ShortOrBlank(CDataExchange& dx, int id, std::int16_t& value);
// Checks when saving; nothing when loading.
void DDV_Number(CDataExchange& dx, const QString& text);
void DDV_NonZeroNumber(CDataExchange& dx, const QString& text);
void DDV_NotNegative(CDataExchange& dx, double value);

// Runs dialogs and sheets modally: Qt's exec, or a script in tests.
class IDialogRunner {
 public:
  virtual ~IDialogRunner() = default;
  // Runs the initialised dialog until it ends; answers its result (kIdOk, kIdCancel, ...).
  virtual int RunModal(QDialog& dialog) = 0;
};
IDialogRunner& GetDialogRunner();
// Installs a runner (not owned); null restores Qt's.
void SetDialogRunner(IDialogRunner* runner);

// A runner that hands each dialog to a function, for tests: the function plays the user
// (fills controls, calls OnCommand(kIdOk) ...) and the dialog's result is answered.
class CScriptedDialogRunner final : public IDialogRunner {
 public:
  using Script = std::function<void(QDialog&)>;
  explicit CScriptedDialogRunner(Script script) : m_script(std::move(script)) {}
  int RunModal(QDialog& dialog) override;
  int runs() const { return m_runs; }

 private:
  Script m_script;
  int m_runs = 0;
};

class CDialogPlus : public QDialog {
  Q_OBJECT

 public:
  CDialogPlus(int templateId, QWidget* parent);

  std::int32_t GetTemplateId() const { return m_templateId; }
  // The dialog's help topic (an index of the help-topic table).
  virtual int GetHelpTopic() const = 0;

  // Initialises the dialog once, then runs it modally; answers how it ended.
  int DoModal();
  // The framework's part: loads the members into the controls. Derived dialogs call it
  // first, then ScaleAndCentre, then fill their own controls; true.
  virtual bool OnInitDialog();
  // The program's dialog font and a place at half the free screen height.
  void ScaleAndCentre();
  // Members into controls (save false) or back (save true); false when a check failed.
  bool UpdateData(bool save);
  virtual void DoDataExchange(CDataExchange& dx);
  // OK: saves and checks, and ends the dialog with kIdOk unless a check failed.
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialog(int result);
  // A command of a button or menu: Help, OK and Cancel here; true when handled.
  virtual bool OnCommand(int id);
  void OnHelpCommand();
  // The help key: always the dialog's own topic; true.
  bool OnHelpInfo();

  // ---- Guarded operations on child controls ----
  QWidget* GetDlgItem(int id) const { return FindControl(*this, id); }
  void EnableControl(int id, int enable);
  // 0 or 1 (2 for a box in its third state); -1 when there is no such control.
  int GetButtonCheck(int id);
  void SetControlText(int id, const QString& text);
  // show 0 hides, anything else shows.
  void ShowControl(int id, int show);
  // Gives button the id and makes its click the command id.
  void ConnectCommand(QAbstractButton* button, int id);

  // Esc and the close box cancel, Enter on a default button confirms: both go through the
  // program's handlers.
  void accept() override;
  void reject() override;

 private:
  std::int32_t m_templateId;
  bool m_initialised = false;
};

// ---- Shared by dialogs and property pages ----
// The text of a control as the program reads it; empty when it has none.
QString GetControlText(const QWidget& control);
// Sets a control's text; false when the control takes no text.
bool SetControlTextOf(QWidget& control, const QString& text);
// Grows a dialog or page to the program's dialog font; a window then fits its layout.
void ScaleToDialogFont(QWidget& window);
// A top-level window with a layout takes the size its layout asks for, its centre kept, and
// keeps to its layout's size from then on.
void FitToLayout(QWidget& window);
// Places a top-level window at fraction of the free screen height, centred across.
void CentreWidget(QWidget& window, double fraction);

}  // namespace zeph
