#include <QApplication>
#include <gtest/gtest.h>

// Every test executable runs inside one offscreen QApplication, so tests that need the event
// loop, timers or widgets can use them without a display.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
