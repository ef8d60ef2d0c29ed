#pragma once
#include <QString>
#include <QStringList>

class QCoreApplication;

// The program's own options (Qt's own, such as -platform, are taken by the application object
// before these are read).
struct TCommandLine {
  bool Demo = false;
  QString DemoModel = QStringLiteral("KX5210");
  QStringList SerialPorts;
  QString ConnectKey;
  QString DataDir;
  QString ExportDir;
  QString ScreenshotsDir;

  // Parses the application's arguments; --help and --version print and end the program, and
  // so does an invalid command line (with a message and exit code 2).
  static TCommandLine Parse(const QCoreApplication& AApp);
  // The same rules over a plain argument list (the program name first); an invalid line gives
  // its message in AError.
  static TCommandLine Parse(const QStringList& AArguments, QString* AError);

  static const QStringList DemoModels;
};
