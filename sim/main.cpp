// kx52xx-sim: one simulated KX52xx device on a new pseudo-terminal. The first line of the
// standard output is the terminal to open as the device's serial port.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <optional>

#include "KX52xx.Sim.Session.h"

namespace {

struct TParsed {
  std::optional<KX52xxSimOptions> Options;
  QString Error;
};

std::optional<double> Fraction(const QString& text) {
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (!ok || value < 0 || value > 1) return std::nullopt;
  return value;
}

TParsed Fail(const QString& error) { return {std::nullopt, error}; }

TParsed ParseOptions(const QCommandLineParser& parser) {
  KX52xxSimOptions options;
  const std::optional<KX52xxSimModel> model = ParseModel(parser.value(QStringLiteral("model")));
  if (!model) return Fail(QStringLiteral("unknown model: %1").arg(parser.value("model")));
  options.Device.Model = *model;
  if (parser.isSet(QStringLiteral("name"))) options.Device.UserPart = parser.value("name");
  options.Device.SerialNumber = parser.value(QStringLiteral("serial"));
  bool ok = false;
  options.Device.HistoryCount = parser.value(QStringLiteral("history")).toInt(&ok);
  if (!ok || options.Device.HistoryCount < 0)
    return Fail(QStringLiteral("--history needs a count of 0 or more"));
  const std::optional<KX52xxSimScenarioKind> scenario =
      ParseScenario(parser.value(QStringLiteral("scenario")));
  if (!scenario) return Fail(QStringLiteral("unknown scenario: %1").arg(parser.value("scenario")));
  options.Scenario = *scenario;
  const std::optional<double> corrupt = Fraction(parser.value(QStringLiteral("corrupt")));
  const std::optional<double> drop = Fraction(parser.value(QStringLiteral("drop")));
  if (!corrupt || !drop) return Fail(QStringLiteral("fractions lie between 0 and 1"));
  options.Faults.CorruptFraction = *corrupt;
  options.Faults.DropAnswerFraction = *drop;
  if (parser.isSet(QStringLiteral("unplug-after"))) {
    const double seconds = parser.value(QStringLiteral("unplug-after")).toDouble(&ok);
    if (!ok || seconds < 0) return Fail(QStringLiteral("--unplug-after needs seconds"));
    options.Faults.UnplugAfterMs = static_cast<int>(seconds * 1000);
  }
  options.LineRate = !parser.isSet(QStringLiteral("no-line-rate"));
  options.Device.Seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
  if (!ok) return Fail(QStringLiteral("--seed needs a number"));
  return {options, {}};
}

void AddOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "Serves one simulated KX52xx device on a new pseudo-terminal and prints the terminal's "
      "path on the first line. Runs until killed or unplugged."));
  parser.addHelpOption();
  parser.addOptions({
      {QStringLiteral("model"), QStringLiteral("KX5210, KX5211 or KX5220."),
       QStringLiteral("MODEL"), QStringLiteral("KX5210")},
      {QStringLiteral("name"), QStringLiteral("User part of the device name (9 characters)."),
       QStringLiteral("TEXT")},
      {QStringLiteral("serial"), QStringLiteral("Serial number."), QStringLiteral("TEXT")},
      {QStringLiteral("history"), QStringLiteral("Number of stored history records."),
       QStringLiteral("N"), QStringLiteral("12")},
      {QStringLiteral("scenario"),
       QStringLiteral("idle, breathing, sealcheck-pass, sealcheck-fail or alerts."),
       QStringLiteral("NAME"), QStringLiteral("idle")},
      {QStringLiteral("corrupt"), QStringLiteral("Share of bytes corrupted on the line."),
       QStringLiteral("FRACTION"), QStringLiteral("0")},
      {QStringLiteral("drop"), QStringLiteral("Share of answers never sent."),
       QStringLiteral("FRACTION"), QStringLiteral("0")},
      {QStringLiteral("unplug-after"), QStringLiteral("Unplug the device after this long."),
       QStringLiteral("SECONDS")},
      {QStringLiteral("no-line-rate"), QStringLiteral("Do not pace the line at 115200 baud.")},
      {QStringLiteral("seed"), QStringLiteral("Seed of the noise and the stored records."),
       QStringLiteral("N"), QStringLiteral("1")},
  });
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("kx52xx-sim"));
  QCommandLineParser parser;
  AddOptions(parser);
  parser.process(app);
  QTextStream err(stderr);
  const TParsed parsed = ParseOptions(parser);
  if (!parsed.Options) {
    err << "kx52xx-sim: " << parsed.Error << Qt::endl;
    return 2;
  }
  KX52xxSimUsbSession session(*parsed.Options);
  if (!session.Start()) {
    err << "kx52xx-sim: " << session.ErrorString() << Qt::endl;
    return 1;
  }
  QObject::connect(&session.Server(), &KX52xxSimSerialServer::Unplugged, &app,
                   &QCoreApplication::quit);
  QTextStream out(stdout);
  out << session.SlavePath() << Qt::endl;  // endl flushes: a reader waits for this line
  return app.exec();
}
