#include "uCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

const QStringList TCommandLine::DemoModels = {QStringLiteral("KX5210"), QStringLiteral("KX5211"),
                                              QStringLiteral("KX5220")};

namespace {

const QString OptDemo = QStringLiteral("demo");
const QString OptSerialPort = QStringLiteral("serial-port");
const QString OptConnect = QStringLiteral("connect");
const QString OptDataDir = QStringLiteral("data-dir");
const QString OptExportDir = QStringLiteral("export-dir");
const QString OptScreenshots = QStringLiteral("screenshots");

void AddOptions(QCommandLineParser& AParser) {
  AParser.setApplicationDescription(
      QStringLiteral("Sealwise: the desktop companion of the KX52xx respirator seal-check "
                     "devices."));
  AParser.addOptions({
      {OptDemo,
       QStringLiteral("Start the built-in simulated device (MODEL: KX5210, KX5211 or KX5220; "
                      "KX5210 when left out) and connect to it.")},
      {OptSerialPort, QStringLiteral("List PATH as an FTDI serial port (repeatable)."),
       QStringLiteral("PATH")},
      {OptConnect,
       QStringLiteral("Select the device whose discovery key is KEY as soon as it is listed."),
       QStringLiteral("KEY")},
      {OptDataDir,
       QStringLiteral("Use DIR as the data folder (also the environment variable "
                      "SEALWISE_DATA_DIR)."),
       QStringLiteral("DIR")},
      {OptExportDir, QStringLiteral("Use DIR as the export folder."), QStringLiteral("DIR")},
      {OptScreenshots,
       QStringLiteral("With --demo: visit every page, save one PNG per page into DIR, exit."),
       QStringLiteral("DIR")},
  });
  AParser.addPositionalArgument(QStringLiteral("MODEL"),
                                QStringLiteral("The simulated model of --demo."),
                                QStringLiteral("[MODEL]"));
}

// "--demo=KX5220" reads as "--demo KX5220": the model is the optional value of --demo.
QStringList SplitDemoValue(const QStringList& AArguments) {
  QStringList result;
  for (const QString& argument : AArguments) {
    if (argument.startsWith(QLatin1String("--demo="))) {
      result << QStringLiteral("--demo") << argument.mid(7);
    } else {
      result << argument;
    }
  }
  return result;
}

QString Validate(const QCommandLineParser& AParser, TCommandLine& ALine) {
  const QStringList positional = AParser.positionalArguments();
  if (positional.size() > 1) return QStringLiteral("Too many arguments.");
  if (!positional.isEmpty()) {
    if (!ALine.Demo) return QStringLiteral("A model is only given with --demo.");
    const QString model = positional.first().toUpper();
    if (!TCommandLine::DemoModels.contains(model))
      return QStringLiteral("Unknown model %1 (KX5210, KX5211 or KX5220).").arg(positional.first());
    ALine.DemoModel = model;
  }
  if (!ALine.ScreenshotsDir.isEmpty() && !ALine.Demo)
    return QStringLiteral("--screenshots needs --demo.");
  return QString();
}

TCommandLine Read(const QCommandLineParser& AParser, QString* AError) {
  TCommandLine line;
  line.Demo = AParser.isSet(OptDemo);
  line.SerialPorts = AParser.values(OptSerialPort);
  line.ConnectKey = AParser.value(OptConnect);
  line.DataDir = AParser.value(OptDataDir);
  line.ExportDir = AParser.value(OptExportDir);
  line.ScreenshotsDir = AParser.value(OptScreenshots);
  *AError = Validate(AParser, line);
  return line;
}

}  // namespace

TCommandLine TCommandLine::Parse(const QStringList& AArguments, QString* AError) {
  QCommandLineParser parser;
  AddOptions(parser);
  if (!parser.parse(SplitDemoValue(AArguments))) {
    *AError = parser.errorText();
    return {};
  }
  return Read(parser, AError);
}

TCommandLine TCommandLine::Parse(const QCoreApplication& AApp) {
  QCommandLineParser parser;
  AddOptions(parser);
  parser.addHelpOption();
  parser.addVersionOption();
  parser.process(SplitDemoValue(AApp.arguments()));
  QString error;
  TCommandLine line = Read(parser, &error);
  if (!error.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    std::exit(2);
  }
  return line;
}
