// The application needs a QApplication; it runs on the offscreen platform, also when CTest
// lists the tests at build time without the test environment.
#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
