#include "controls/folderbrowser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QStandardPaths>

#include "controls/dialogplus.h"
#include "platform/presenter.h"
#include "support/datafolders.h"
#include "support/log.h"

namespace zeph {

QString g_browsedFolder;

namespace {

constexpr char kStatusName[] = "browserStatusText";

QLabel* StatusLabel(const QFileDialog& browser) {
  return browser.findChild<QLabel*>(QString::fromLatin1(kStatusName));
}

// A status line under the dialog's own controls.
void AddStatusLine(QFileDialog& browser) {
  auto* label = new QLabel(&browser);
  label->setObjectName(QString::fromLatin1(kStatusName));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (auto* grid = qobject_cast<QGridLayout*>(browser.layout())) {
    grid->addWidget(label, grid->rowCount(), 0, 1, grid->columnCount());
  } else if (browser.layout() != nullptr) {
    browser.layout()->addWidget(label);
  }
}

bool IsFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

}  // namespace

QString GetNetworkFolder() {
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) return {};
  const QString mounts = runtime + QStringLiteral("/gvfs");
  return IsFolder(mounts) ? mounts : QString();
}

QString MakeSpecialFolderPath(int kind, const QString& rest) {
  LogScope trace(20903);
  QString folder;
  int found = 0;
  switch (kind) {
    case 1:
      found = GetMyDocumentsFolder(folder);
      break;
    case 2:
      found = GetMyMusicFolder(folder);
      break;
    case 3:
      found = GetMyPicturesFolder(folder);
      break;
    default:
      return trace.Return(QString(), kLogInvalid, 1);
  }
  if (found == 0 || folder.isEmpty()) return trace.Return(QString(), kLogFailed, 2);
  if (rest.isEmpty()) return trace.Return(folder);
  const QString inside = QDir(folder).filePath(rest);
  if (!IsFolder(inside)) {
    // Not there (any more): the special folder itself.
    trace.Step(4, kLogFailed);
    return trace.Return(folder);
  }
  return trace.Return(QDir::cleanPath(inside));
}

int BrowseCallback(QFileDialog& browser, int event, const QString& value) {
  LogScope trace(20901);
  if (event == kBrowseInitialised) {
    if (!value.isEmpty()) {
      QString rest;
      const int kind = ClassifyFolderName(value, rest);
      const QString folder = kind != 0 ? MakeSpecialFolderPath(kind, rest) : value;
      if (!folder.isEmpty()) {
        // The folder opens highlighted, inside its parent.
        const QFileInfo info(QDir::cleanPath(folder));
        browser.setDirectory(info.absolutePath());
        browser.selectFile(info.absoluteFilePath());
        if (QLabel* status = StatusLabel(browser)) status->setText(info.absoluteFilePath());
      }
    }
  } else if (event == kBrowseSelectionChanged) {
    if (!value.isEmpty()) {
      if (QLabel* status = StatusLabel(browser)) status->setText(value);
    }
  }
  trace.Exit();
  return 0;
}

QString BrowseForFolder(QWidget* owner, const QString& title, unsigned,
                        const QString& initialFolder, int startAtNetwork) {
  LogScope trace(20902);
  g_browsedFolder.clear();
  QFileDialog browser(owner, title);
  browser.setOption(QFileDialog::DontUseNativeDialog, true);
  browser.setOption(QFileDialog::ShowDirsOnly, true);
  browser.setFileMode(QFileDialog::Directory);
  browser.setAcceptMode(QFileDialog::AcceptOpen);
  AddStatusLine(browser);
  // The top: the network places when asked for and present, else the home folder (the
  // desktop of the system's own browser).
  QString root = startAtNetwork != 0 ? GetNetworkFolder() : QString();
  if (root.isEmpty()) root = QDir::homePath();
  browser.setDirectory(root);
  QObject::connect(
      &browser, &QFileDialog::currentChanged, &browser,
      [&browser](const QString& path) { BrowseCallback(browser, kBrowseSelectionChanged, path); });
  BrowseCallback(browser, kBrowseInitialised, initialFolder);
  if (GetDialogRunner().RunModal(browser) != kIdOk) return trace.Return(QString());
  const QStringList chosen = browser.selectedFiles();
  const QString path = chosen.isEmpty() ? QString() : QDir::cleanPath(chosen.front());
  if (!IsFolder(path)) {
    // Nothing with a place in the file system was chosen.
    return trace.Return(QString(), kLogInvalid, 6);
  }
  g_browsedFolder = path;
  return trace.Return(g_browsedFolder);
}

QString GetBrowserStatusText(const QFileDialog& browser) {
  const QLabel* status = StatusLabel(browser);
  return status != nullptr ? status->text() : QString();
}

void ResetFolderBrowserState() { g_browsedFolder.clear(); }

}  // namespace zeph
