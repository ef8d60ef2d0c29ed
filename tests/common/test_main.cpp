#include <QApplication>
#include <gtest/gtest.h>

// Under ThreadSanitizer: Qt and GLib are not instrumented, so their internal locking (the
// network manager's thread, posted events, the GLib event loop) is invisible to the checker and
// their accesses look unsynchronised. Those reports are dropped; our own instrumented code is
// still checked in full. It lives beside main() so every test executable links it.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }
#endif

// Every test executable runs inside one offscreen QApplication, so tests that need the event
// loop, timers or widgets can use them without a display.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
