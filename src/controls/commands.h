#pragma once
// The program's commands in one table, from which the menus, the toolbar and the keyboard
// shortcuts are made as QActions. Each command names its handler and, optionally, the handler
// that enables or checks it; UpdateActions asks those before a menu opens, after a command ran
// and, once KeepActionsCurrent is called, before every shortcut key and after every input, so
// that the menus, the toolbar and the shortcuts agree at every moment. Keys that act on their
// release (shown in the menu text, never a Qt shortcut) are run by RunReleaseKey.
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <span>
#include <vector>

class QAction;
class QKeyEvent;
class QMenu;
class QToolBar;
class QWidget;

namespace zeph {

// What an update handler sets for its command.
class CCmdUI {
 public:
  explicit CCmdUI(int id) : m_id(id) {}
  int GetId() const { return m_id; }
  void Enable(bool enable = true) { m_enabled = enable; }
  // 0 unchecked, 1 checked.
  void SetCheck(int check = 1) { m_check = check; }
  void SetText(const QString& text) { m_text = text; }
  bool IsEnabled() const { return m_enabled; }
  int GetCheck() const { return m_check; }
  const QString& GetText() const { return m_text; }

 private:
  int m_id;
  bool m_enabled = true;
  int m_check = -1;  // -1: the handler said nothing
  QString m_text;
};

struct CommandEntry {
  int id = 0;
  QString text;           // menu text with its '&' and, after a tab, the key shown
  QKeySequence shortcut;  // empty for none
  std::function<void()> run;
  std::function<void(CCmdUI&)> update;  // empty: always enabled
  int releaseKey = 0;                   // a Qt key that runs the command when released (0: none)
  bool checkable = false;
  QString iconName;  // an own icon (controls/resources.h), for the toolbar
  QString statusTip;
};

class CCommandTable : public QObject {
  Q_OBJECT

 public:
  explicit CCommandTable(QObject* parent = nullptr);
  ~CCommandTable() override;

  void Add(CommandEntry entry);
  const CommandEntry* Find(int id) const;
  // The command's action, made on first use; null for an unknown id. Actions belong to the
  // table; add them to the window whose shortcuts they are (AddShortcutsTo).
  QAction* Action(int id);
  // Adds every action to window, so that their shortcuts work while it is active.
  void AddShortcutsTo(QWidget& window);
  // A menu of ids; 0 stands for a separator. The actions are updated as the menu opens.
  void FillMenu(QMenu& menu, std::span<const int> ids);
  void FillToolBar(QToolBar& bar, std::span<const int> ids);
  // Asks every update handler and sets the actions' enabled, checked and text states.
  void UpdateActions();
  // Asks them once the events waiting now have been handled (requests add up to one update):
  // for a change that came from elsewhere than a command, such as a drawing's undo steps.
  void RequestUpdate();
  // From now on the actions are updated before Qt looks for a shortcut of a key, and after
  // each mouse button, key or wheel event (which may have changed what the handlers read).
  void KeepActionsCurrent();
  // Runs a command when its update handler leaves it enabled; false otherwise.
  bool Run(int id);
  // A key release: runs the command whose release key it is, unless the release belongs to
  // an auto-repeat. True when a command ran.
  bool RunReleaseKey(int qtKey, bool autoRepeat);
  bool HandleKeyRelease(const QKeyEvent& event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool UpdateOne(const CommandEntry& entry, QAction* action);

  std::vector<CommandEntry> m_entries;
  std::map<int, QAction*> m_actions;
  bool m_watching = false;
  bool m_updateRequested = false;
};

// An application-wide filter that gives the program a look at a key before Qt's shortcuts
// run (a window that holds the mouse capture lets it go there).
class CShortcutWatcher : public QObject {
  Q_OBJECT

 public:
  using Hook = std::function<void(const QKeyEvent&)>;
  // Installs itself on the application.
  explicit CShortcutWatcher(Hook beforeShortcuts, QObject* parent = nullptr);
  ~CShortcutWatcher() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Hook m_hook;
};

}  // namespace zeph
