#include "controls/commands.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <QWidget>

#include "controls/resources.h"

namespace zeph {
namespace {

// Qt offers each key press once to the window's widgets as ShortcutOverride before the
// shortcuts run; the event reaches an application's filter once per widget on its way (the
// focus widget, then its parents), so only the widget it is meant for counts.
bool IsOfferedToFocus(QObject* watched) {
  const auto* widget = qobject_cast<QWidget*>(watched);
  QWidget* focus = QApplication::focusWidget();
  return widget != nullptr && (widget == focus || (focus == nullptr && widget->isWindow()));
}

}  // namespace

CCommandTable::CCommandTable(QObject* parent) : QObject(parent) {}

void CCommandTable::Add(CommandEntry entry) { m_entries.push_back(std::move(entry)); }

const CommandEntry* CCommandTable::Find(int id) const {
  for (const CommandEntry& entry : m_entries) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

QAction* CCommandTable::Action(int id) {
  if (const auto found = m_actions.find(id); found != m_actions.end()) return found->second;
  const CommandEntry* entry = Find(id);
  if (entry == nullptr) return nullptr;
  auto* action = new QAction(entry->text, this);
  if (!entry->shortcut.isEmpty()) action->setShortcut(entry->shortcut);
  action->setCheckable(entry->checkable);
  if (!entry->iconName.isEmpty()) action->setIcon(LoadOwnIcon(entry->iconName));
  if (!entry->statusTip.isEmpty()) action->setStatusTip(entry->statusTip);
  connect(action, &QAction::triggered, this, [this, id]() { Run(id); });
  m_actions.emplace(id, action);
  return action;
}

void CCommandTable::AddShortcutsTo(QWidget& window) {
  for (const CommandEntry& entry : m_entries) {
    if (entry.shortcut.isEmpty()) continue;
    QAction* action = Action(entry.id);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
  }
}

void CCommandTable::FillMenu(QMenu& menu, std::span<const int> ids) {
  for (const int id : ids) {
    if (id == 0) {
      menu.addSeparator();
    } else if (QAction* action = Action(id)) {
      menu.addAction(action);
    }
  }
  connect(&menu, &QMenu::aboutToShow, this, &CCommandTable::UpdateActions);
}

void CCommandTable::FillToolBar(QToolBar& bar, std::span<const int> ids) {
  for (const int id : ids) {
    if (id == 0) {
      bar.addSeparator();
    } else if (QAction* action = Action(id)) {
      bar.addAction(action);
    }
  }
}

bool CCommandTable::UpdateOne(const CommandEntry& entry, QAction* action) {
  CCmdUI ui(entry.id);
  if (entry.update) entry.update(ui);
  if (action != nullptr) {
    action->setEnabled(ui.IsEnabled());
    if (ui.GetCheck() >= 0) {
      action->setCheckable(true);
      action->setChecked(ui.GetCheck() != 0);
    }
    if (!ui.GetText().isEmpty()) action->setText(ui.GetText());
  }
  return ui.IsEnabled();
}

void CCommandTable::UpdateActions() {
  m_updateRequested = false;
  for (const CommandEntry& entry : m_entries) {
    const auto found = m_actions.find(entry.id);
    if (found != m_actions.end()) UpdateOne(entry, found->second);
  }
}

void CCommandTable::RequestUpdate() {
  if (m_updateRequested) return;
  m_updateRequested = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (m_updateRequested) UpdateActions();
      },
      Qt::QueuedConnection);
}

void CCommandTable::KeepActionsCurrent() {
  if (m_watching || QCoreApplication::instance() == nullptr) return;
  m_watching = true;
  QCoreApplication::instance()->installEventFilter(this);
}

CCommandTable::~CCommandTable() {
  if (m_watching && QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeEventFilter(this);
  }
}

bool CCommandTable::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride: {
      // Qt looks for a shortcut only among enabled actions: the states are made current first.
      if (IsOfferedToFocus(watched)) UpdateActions();
      break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
      if (watched->isWidgetType()) RequestUpdate();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

bool CCommandTable::Run(int id) {
  const CommandEntry* entry = Find(id);
  if (entry == nullptr || !entry->run) return false;
  const auto found = m_actions.find(id);
  if (!UpdateOne(*entry, found != m_actions.end() ? found->second : nullptr)) return false;
  const QPointer<CCommandTable> self(this);
  entry->run();
  // What the command changed shows at once on the toolbar, and the next shortcut finds it.
  if (self) UpdateActions();
  return true;
}

bool CCommandTable::RunReleaseKey(int qtKey, bool autoRepeat) {
  if (autoRepeat || qtKey == 0) return false;
  for (const CommandEntry& entry : m_entries) {
    if (entry.releaseKey == qtKey) return Run(entry.id);
  }
  return false;
}

bool CCommandTable::HandleKeyRelease(const QKeyEvent& event) {
  if (event.type() != QEvent::KeyRelease) return false;
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  return RunReleaseKey(event.key(), event.isAutoRepeat());
}

CShortcutWatcher::CShortcutWatcher(Hook beforeShortcuts, QObject* parent)
    : QObject(parent), m_hook(std::move(beforeShortcuts)) {
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::instance()->installEventFilter(this);
}

CShortcutWatcher::~CShortcutWatcher() {
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeEventFilter(this);
  }
}

bool CShortcutWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && m_hook && IsOfferedToFocus(watched)) {
    m_hook(*static_cast<QKeyEvent*>(event));
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace zeph
