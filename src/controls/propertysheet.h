#pragma once
// The bases of the option sheets: a sheet is a QDialog with a QTabWidget and OK, Cancel and
// Help (no Apply); every page names its help topic and takes its tab caption from the string
// table. A page is built (OnInitDialog) when it is first shown and gets the program's dialog
// font then. Pages whose up-down buttons step decimal values in their edit boxes derive from
// CPropertyPageSpin.
#include <QDialog>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "controls/dialogplus.h"
#include "platform/drawcontext.h"

class QDialogButtonBox;
class QTabWidget;
class QToolButton;

namespace zeph {

class CPropertySheetPlus;

class CPropertyPagePlus : public QWidget {
  Q_OBJECT

 public:
  // captionId: the string of the tab's title (0 for none).
  CPropertyPagePlus(int templateId, int captionId);

  std::int32_t GetTemplateId() const { return m_templateId; }
  virtual int GetHelpTopic() const = 0;
  // The tab title from the string table; a missing string changes nothing.
  void SetTabCaption(int stringId);
  const QString& GetTabCaption() const { return m_caption; }
  // The page's own background (colour -1: colour-table entry 38) on the newest system class.
  void CreateBackgroundBrush(ColourRef colour);
  std::int32_t HasBackgroundBrush() const { return m_brushMade; }
  std::optional<ColourRef> GetBackgroundBrush() const { return m_brush; }

  // Builds the page and loads its members into the controls; derived pages call the base
  // first. Run once, when the page is first shown.
  virtual bool OnInitDialog();
  bool IsInitialised() const { return m_initialised; }
  void InitialiseOnce();
  // Whether the page has been shown: only pages a person has seen are checked and told at OK.
  bool WasShown() const { return m_shown; }
  void MarkShown() { m_shown = true; }
  // Leaving the page: saves and checks; false keeps the page.
  virtual bool OnKillActive();
  // The sheet was confirmed (after every built page passed OnKillActive).
  virtual void OnOK();
  virtual void DoDataExchange(CDataExchange& dx);
  bool UpdateData(bool save);

  void OnHelpCommand();
  bool OnHelpInfo();
  void ShowPageHelp();
  QWidget* GetDlgItem(int id) const { return FindControl(*this, id); }
  void EnableControl(int id, int enable);

 private:
  std::int32_t m_templateId;
  QString m_caption;
  std::int32_t m_brushMade = 0;
  std::optional<ColourRef> m_brush;
  bool m_initialised = false;
  bool m_shown = false;
};

// A small up-down control: the up arrow steps with delta -1, the down arrow with +1.
class CUpDownButton : public QWidget {
  Q_OBJECT

 public:
  explicit CUpDownButton(QWidget* parent = nullptr);
  QToolButton* UpButton() const { return m_up; }
  QToolButton* DownButton() const { return m_down; }

 signals:
  void deltaPos(int delta);

 private:
  QToolButton* m_up;
  QToolButton* m_down;
};

class CPropertyPageSpin : public CPropertyPagePlus {
  Q_OBJECT

 public:
  CPropertyPageSpin(int templateId, int captionId) : CPropertyPagePlus(templateId, captionId) {}

  // Non-zero when the edit has an upper (lower) limit, written to out. None in the base.
  virtual int GetMaximum(int editId, double& out);
  virtual int GetMinimum(int editId, double& out);
  // The pairs: up-down ids and their edit ids, entry by entry.
  virtual int GetSpinEditPairs(const std::int32_t** upDownIds, const std::int32_t** editIds) = 0;
  // An up-down control of id was clicked with delta: its edit steps by 0.1 on the tenths
  // grid. Always answers 0.
  int OnSpinDeltaPos(int upDownId, int delta);
  // Gives the up-down control its id and routes its clicks to OnSpinDeltaPos.
  void ConnectSpin(CUpDownButton* upDown, int id);
};

class CPropertySheetPlus : public QDialog {
  Q_OBJECT

 public:
  CPropertySheetPlus(const QString& caption, QWidget* parent, int firstPage);
  ~CPropertySheetPlus() override;

  // The sheet takes the page.
  void AddPage(CPropertyPagePlus* page);
  int GetPageCount() const;
  CPropertyPagePlus* GetPage(int index) const;
  CPropertyPagePlus* GetActivePage() const;
  int GetActiveIndex() const;
  bool SetActivePage(int index);
  QTabWidget* GetTabControl() const { return m_tabs; }
  // Whether the dialog font has been applied to a page.
  bool IsPageScaled(int index) const;

  // Initialises the sheet and runs it through the dialog runner.
  int DoModal();
  virtual bool OnInitDialog();
  // Posted to itself when a page became active.
  void OnFitActivePage();
  bool OnHelpInfo();
  // OK: every built page is checked, then told; false when a page refused.
  virtual bool OnOK();

  void accept() override;
  void reject() override;

 private:
  void OnTabChanged(int index);

  QTabWidget* m_tabs;
  QDialogButtonBox* m_buttons;
  std::uint32_t m_pageCount = 0;
  std::vector<std::uint8_t> m_fontApplied;
  double m_fraction = 0.5;
  int m_firstPage;
  int m_currentIndex = -1;
  bool m_switching = false;
};

}  // namespace zeph
