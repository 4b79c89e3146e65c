// The program: the Qt application, the program's services, start-up, and the message loop
// until the main window closes.
#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "app/zephapp.h"
#include "support/appservices.h"

namespace {

// The folder of the program's data files (dictionary, samples, start-screen picture, help):
// beside the program when they are there, the installed data folder, or, for a program run
// from its build tree, the build's resources folder.
QString FindProgramFolder() {
  const QString dir = QCoreApplication::applicationDirPath();
  const QStringList candidates{dir, QDir(dir).filePath(QStringLiteral("resources")),
                               QDir(dir).filePath(QStringLiteral("../../resources")),
                               QDir(dir).filePath(QStringLiteral("../share/zephorin"))};
  for (const QString& c : candidates) {
    if (QFileInfo::exists(QDir(c).filePath(QStringLiteral("ZDICT.SPE")))) return QDir(c).absolutePath();
  }
  return dir;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zephorin"));
  QApplication::setOrganizationName(QStringLiteral("Corvelle Software"));
  g_programFolder = FindProgramFolder();
  CZephApp::InstallPlatformServices();
  CZephApp app;
  app.InitInstance(JoinArguments(QApplication::arguments().mid(1)));
  if (!app.HasMainWindow()) return 0;  // start-up ended before the main window existed
  return QApplication::exec();
}
