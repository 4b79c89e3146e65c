// The program: the Qt application, the program's services, start-up, and the message loop
// until the main window closes.
#include <QApplication>

#include "app/zephapp.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  PrepareProgram();
  CZephApp app;
  app.InitInstance(JoinArguments(QApplication::arguments().mid(1)));
  if (!app.HasMainWindow()) return 0;  // start-up ended before the main window existed
  return QApplication::exec();
}
