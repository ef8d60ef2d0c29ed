#include "uScreenshots.h"

#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <memory>

#include "Vek.PageControl.h"
#include "pages/uPageConnecting.h"
#include "pages/uPageDashboard.h"
#include "pages/uPageLicense.h"
#include "pages/uPageTutorial.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelUsers.h"
#include "uMain.h"

TScreenshotTour::TScreenshotTour(TfrmMain& AWindow, const QString& AFolder,
                                 const QString& ADeviceKey)
    : FWindow(AWindow), FFolder(AFolder), FDeviceKey(ADeviceKey) {
  FPoll.setInterval(PollMs);
  connect(&FPoll, &QTimer::timeout, this, &TScreenshotTour::Poll);
  BuildSteps();
}

void TScreenshotTour::Start() {
  if (!FFolder.mkpath(QStringLiteral("."))) {
    emit Finished(QStringLiteral("Cannot create %1").arg(FFolder.path()));
    return;
  }
  FClock.start();
  FStepStarted = FClock.elapsed();
  FPoll.start();
}

void TScreenshotTour::AddPause(const QString& AName, int AMs) {
  auto until = std::make_shared<qint64>(0);
  FSteps.push_back({AName + QStringLiteral(" (pause)"), [] { return true; },
                    [this, until, AMs] { *until = FClock.elapsed() + AMs; }});
  FSteps.push_back({AName, [this, until] { return FClock.elapsed() >= *until; }, [] {}});
}

void TScreenshotTour::BuildSteps() {
  TfrmMain& w = FWindow;
  auto shown = [&w](QWidget* APage) {
    return [&w, APage] { return w.tcMain()->ActivePage() == APage; };
  };
  // The agreement: shown at the first start (after the after-show step); otherwise opened for
  // the picture.
  AddPause(QStringLiteral("start"), 2 * TfrmBase::AfterShowDelayMs);
  auto loaded = std::make_shared<bool>(false);
  connect(w.LicensePage(), &TLicensePage::TextLoaded, this, [loaded] { *loaded = true; });
  FSteps.push_back({QStringLiteral("agreement"), [] { return true; },
                    [&w] {
                      if (w.tcMain()->ActivePage() != w.tabLicense()) w.DisplayLicense();
                    }});
  FSteps.push_back({QStringLiteral("agreement text"), [loaded] { return *loaded; },
                    [this] { Shoot(QStringLiteral("agreement")); }});
  FSteps.push_back({QStringLiteral("accept"), [] { return true; },
                    [&w] { w.LicensePage()->AcceptButton()->click(); }});
  FSteps.push_back({QStringLiteral("device listed"),
                    [this, &w] {
                      return w.tcMain()->ActivePage() == w.tabConnecting() &&
                             w.ConnectingPage()->FindDevice(FDeviceKey) != nullptr;
                    },
                    [] {}});
  AddPause(QStringLiteral("device list laid out"), SettleMs);
  FSteps.push_back({QStringLiteral("connecting"), [] { return true; }, [this, &w] {
                      Shoot(QStringLiteral("connecting"));
                      QListWidgetItem* device = w.ConnectingPage()->FindDevice(FDeviceKey);
                      w.ConnectingPage()->List()->setCurrentItem(device);
                      w.ConnectingPage()->TapItem(device);
                    }});
  FSteps.push_back({QStringLiteral("connected"), shown(w.tabWorking()), [] {}});
  AddPause(QStringLiteral("dashboard data"), 3000);
  FSteps.push_back({QStringLiteral("dashboard"), [] { return true; },
                    [this, &w] {
                      Shoot(QStringLiteral("dashboard"));
                      w.UsersPanel()->ShowUserList(true);
                    }});
  AddPause(QStringLiteral("users list"), SettleMs);
  // A KX5220 carries its user itself: no users panel to show.
  FSteps.push_back({QStringLiteral("users"), [] { return true; },
                    [this, &w] {
                      if (w.UsersPanel()->isVisible()) Shoot(QStringLiteral("users"));
                      w.UsersPanel()->ShowUserList(false);
                      w.ShowTutorialFromSettings();
                    }});
  AddPause(QStringLiteral("tutorial"), SettleMs);
  FSteps.push_back({QStringLiteral("tutorial"), shown(w.tabTutorial()),
                    [this] { Shoot(QStringLiteral("tutorial")); }});
}

void TScreenshotTour::Shoot(const QString& AName) {
  const QString file = FFolder.filePath(AName + QStringLiteral(".png"));
  if (!FWindow.grab().save(file)) {
    FPoll.stop();
    emit Finished(QStringLiteral("Cannot write %1").arg(file));
  }
}

void TScreenshotTour::Poll() {
  if (FNext >= FSteps.size()) {
    FPoll.stop();
    emit Finished(QString());
    return;
  }
  const TStep& step = FSteps[FNext];
  if (!step.Ready()) {
    if (FClock.elapsed() - FStepStarted > StepTimeoutMs) {
      FPoll.stop();
      emit Finished(QStringLiteral("Timed out waiting for: %1").arg(step.Name));
    }
    return;
  }
  ++FNext;
  FStepStarted = FClock.elapsed();
  step.Act();
}
