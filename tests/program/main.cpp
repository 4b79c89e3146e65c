// The program tests run on a private X server with a window manager, on Qt's xcb platform,
// whatever platform the environment names for the other tests. Where no X server can be
// started the tests that need one are skipped with the reason, but in CI (CI set in the
// environment) the run fails.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>

#include "program/xserver.h"

// The desktop's message bus library keeps a buffer for the life of the process; it is not the
// program's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  CTestXServer server;
  if (!::testing::GTEST_FLAG(list_tests)) {
    const QString why = server.Start();
    if (why.isEmpty()) {
      qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (!qEnvironmentVariableIsEmpty("CI")) {
      std::fprintf(stderr, "No X server for the program tests: %s\n", qPrintable(why));
      return 1;
    } else {
      SetNoDisplayReason(why);
    }
  }
  if (!NoDisplayReason().isEmpty() || ::testing::GTEST_FLAG(list_tests)) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  int result = 0;
  {
    QApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  server.Stop();
  return result;
}
