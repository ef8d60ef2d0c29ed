// sealwise: the desktop companion of the KX52xx respirator seal-check devices.
#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "SealwiseError.h"
#include "TGlobals.Codecs.h"
#include "TGlobals.Paths.h"
#include "Vek.ComPort.h"
#include "Vek.Lang.h"
#include "Vek.PageControl.h"
#include "dDb.h"
#include "dIcons.h"
#include "pages/uPageConnecting.h"
#include "uCommandLine.h"
#include "uConfiguration.h"
#include "uDemo.h"
#include "uMain.h"
#include "uScreenshots.h"

namespace {

void ApplyFolders(const TCommandLine& ALine) {
  if (!ALine.DataDir.isEmpty()) TGlobals::SetDataFolderOverride(ALine.DataDir);
  if (!ALine.ExportDir.isEmpty()) TGlobals::SetExportFolderOverride(ALine.ExportDir);
  for (const QString& port : ALine.SerialPorts) TComPortDevices::AddExtraPort(port);
}

int Fail(const QString& AMessage) {
  std::fprintf(stderr, "sealwise: %s\n", qPrintable(AMessage));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sealwise"));
  QApplication::setApplicationVersion(TGlobals::Version());
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const TCommandLine line = TCommandLine::Parse(app);
  ApplyFolders(line);

  try {
    Configuration = std::make_unique<TConfiguration>(TGlobals::GetConfigFilePath());
  } catch (const ESealwiseError& error) {
    return Fail(error.Message());
  }
  Lng = std::make_unique<TLng>();

  // Declared before the window: the window's USB link lets go of the terminal first.
  TDemoDevice demo;
  if (line.Demo && !demo.Start(line.DemoModel))
    return Fail(QStringLiteral("the simulated device did not start: %1").arg(demo.ErrorString()));
  const bool screenshots = !line.ScreenshotsDir.isEmpty();
  if (screenshots) TPageControl::SetAnimationsEnabled(false);

  auto frmMain = std::make_unique<TfrmMain>();
  dmIcons = std::make_unique<TdmIcons>();
  dmDb = std::make_unique<TdmDb>(TGlobals::GetDataDir());

  const QString connectKey = line.ConnectKey.isEmpty() ? demo.Key() : line.ConnectKey;
  std::unique_ptr<TScreenshotTour> tour;
  if (screenshots) {
    tour = std::make_unique<TScreenshotTour>(*frmMain, line.ScreenshotsDir, connectKey,
                                             line.ConnectKey.isEmpty() ? demo.Session() : nullptr);
    QObject::connect(tour.get(), &TScreenshotTour::Finished, &app, [&](const QString& AError) {
      if (AError.isEmpty())
        std::printf("Screenshots saved in %s\n",
                    qPrintable(QDir(line.ScreenshotsDir).absolutePath()));
      else
        std::fprintf(stderr, "sealwise: screenshots: %s\n", qPrintable(AError));
      std::fflush(stdout);
      app.exit(AError.isEmpty() ? 0 : 1);
    });
  } else if (!connectKey.isEmpty()) {
    frmMain->ConnectingPage()->SelectWhenListed(connectKey);
  }
  frmMain->show();
  // Start-up timing: leave once the first frame has been painted.
  if (qEnvironmentVariableIsSet("SEALWISE_EXIT_ON_SHOW")) {
    QCoreApplication::processEvents();
    QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
  }
  if (tour) tour->Start();
  const int result = app.exec();

  tour.reset();
  frmMain.reset();
  dmDb.reset();
  dmIcons.reset();
  Lng.reset();
  Configuration.reset();
  return result;
}
