// The yardstick for the application's start-up: a plain window of the main window's size that
// quits once its first frame is painted, exactly as sealwise does under SEALWISE_EXIT_ON_SHOW.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(309, 548);
  window.show();
  QCoreApplication::processEvents();
  QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
  return app.exec();
}
