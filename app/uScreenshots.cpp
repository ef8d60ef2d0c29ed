#include "uScreenshots.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <algorithm>
#include <memory>

#include "KX52xx.Sim.Session.h"
#include "TGlobals.Shell.h"
#include "Vek.PageControl.h"
#include "dDb.h"
#include "pages/uPageConnecting.h"
#include "pages/uMonitoring.h"
#include "pages/uPageAlert.h"
#include "pages/uPageDashboard.h"
#include "pages/uPageLicense.h"
#include "pages/uPageSettings.h"
#include "pages/uPageTutorial.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelLed.h"
#include "pages/uPanelUsers.h"
#include "uMain.h"

TScreenshotTour::TScreenshotTour(TfrmMain& AWindow, const QString& AFolder,
                                 const QString& ADeviceKey, KX52xxSimUsbSession* ADemo)
    : FWindow(AWindow), FFolder(AFolder), FDeviceKey(ADeviceKey), FDemo(ADemo) {
  FPoll.setInterval(PollMs);
  connect(&FPoll, &QTimer::timeout, this, &TScreenshotTour::Poll);
  BuildSteps();
}

void TScreenshotTour::Start() {
  // The demonstration's own cycle stops: the tour stages each moment it takes a picture of.
  if (FDemo) FDemo->Scenario().Stop();
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
  if (FDemo) {
    AddSealCheckSteps();
  } else {
    AddPause(QStringLiteral("dashboard data"), 3000);
    FSteps.push_back({QStringLiteral("dashboard"), [] { return true; },
                      [this] { Shoot(QStringLiteral("dashboard")); }});
  }
  FSteps.push_back({QStringLiteral("open users list"), [] { return true; },
                    [&w] { w.UsersPanel()->ShowUserList(true); }});
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
  AddSettingsSteps();
  AddReportsSteps();
}

void TScreenshotTour::AddSealCheckSteps() {
  TfrmMain& w = FWindow;
  KX52xxSimDevice& device = FDemo->Device();
  auto led = [&w] { return w.WorkingPage()->Dashboard()->Led(); };
  // Some breathing first, then the held breath of the check.
  AddPause(QStringLiteral("breathing"), 5000);
  FSteps.push_back({QStringLiteral("seal check"), [] { return true; }, [&device] {
                      device.RaiseLedState(KX52xxSimKind::LedPurpleBlinking);
                      device.StartSealCheck();
                    }});
  AddPause(QStringLiteral("seal check curve"), 2500);
  // The LED blinks: the picture is taken while it is lit.
  FSteps.push_back({QStringLiteral("dashboard"),
                    [led] {
                      return led()->LastLedState() == ledPurple && led()->ColorRect()->isVisible();
                    },
                    [this, &device] {
                      Shoot(QStringLiteral("dashboard"));
                      device.FinishSealCheck(true);
                      device.RaiseLedState(KX52xxSimKind::LedGreen);
                    }});
  FSteps.push_back({QStringLiteral("passed"), [led] { return led()->LastLedState() == ledGreen; },
                    [] {}});
  AddPause(QStringLiteral("result"), 1500);
  FSteps.push_back({QStringLiteral("result"), [] { return true; },
                    [this] { Shoot(QStringLiteral("result")); }});
  if (RaisesHazardAlerts(device.Model())) AddAlertSteps();
}

void TScreenshotTour::AddAlertSteps() {
  TfrmMain& w = FWindow;
  KX52xxSimDevice& device = FDemo->Device();
  TWorkingPage* working = w.WorkingPage();
  FSteps.push_back({QStringLiteral("raise alert"), [] { return true; },
                    [&device] { device.RaiseAlert(KX52xxSimKind::FallProtection); }});
  FSteps.push_back({QStringLiteral("alert page"),
                    [working] { return working->Pages()->ActivePage() == working->tabAlert(); },
                    [] {}});
  AddPause(QStringLiteral("alert"), SettleMs);
  // The wearer cancels the alert: the dashboard comes back.
  FSteps.push_back({QStringLiteral("alert"), [] { return true; }, [this, working] {
                      Shoot(QStringLiteral("alert"));
                      if (QToolButton* cancel =
                              working->Alert()->RowAccessory(KX52xxSimKind::FallProtection))
                        cancel->click();
                    }});
  FSteps.push_back({QStringLiteral("alert cancelled"),
                    [working] { return working->Pages()->ActivePage() == working->tabDashboard(); },
                    [] {}});
}

void TScreenshotTour::AddPageShot(const QString& AName, std::function<void()> AShow) {
  FSteps.push_back({AName + QStringLiteral(" (show)"), [] { return true; }, std::move(AShow)});
  AddPause(AName, SettleMs);
  FSteps.push_back({AName, [] { return true; }, [this, AName] { Shoot(AName); }});
}

void TScreenshotTour::AddSettingsSteps() {
  TfrmMain& w = FWindow;
  TWorkingPage* working = w.WorkingPage();
  TSettingsPage* settings = working->SettingsPage();
  // Back from the tutorial; entering the settings shows their main list.
  auto showSettings = [&w, working] {
    TGlobals::SwitchTab(w.tabWorking());
    TGlobals::SwitchTab(working->tabSettings());
  };
  auto showSettingsPage = [showSettings, settings](TSettingsPage::TSubPage APage) {
    return [showSettings, settings, APage] {
      showSettings();
      TGlobals::SwitchTab(settings->Page(APage));
    };
  };
  AddPageShot(QStringLiteral("settings"), showSettings);
  AddPageShot(QStringLiteral("settings-device"), showSettingsPage(TSettingsPage::spDevice));
  AddPageShot(QStringLiteral("settings-cloud"), showSettingsPage(TSettingsPage::spCloud));
  // The language is chosen as the user chooses it: in the language box.
  auto choose = [this, &w](const QString& ALanguage) {
    return [this, &w, ALanguage] {
      auto* box = w.findChild<QComboBox*>(QStringLiteral("cbSettingsAppLang"));
      const int index = box ? box->findText(ALanguage) : -1;
      if (index < 0) {
        FPoll.stop();
        emit Finished(QStringLiteral("The language %1 is not offered").arg(ALanguage));
        return;
      }
      box->setCurrentIndex(index);
    };
  };
  FSteps.push_back({QStringLiteral("German"), [] { return true; },
                    choose(QStringLiteral("Deutsch"))});
  AddPageShot(QStringLiteral("dashboard-de"),
              [working] { TGlobals::SwitchTab(working->tabDashboard()); });
  FSteps.push_back({QStringLiteral("English"), [] { return true; },
                    choose(QStringLiteral("English"))});
}

void TScreenshotTour::AddReportsSteps() {
  TfrmMain& w = FWindow;
  TWorkingPage* working = w.WorkingPage();
  auto bothSources = [&w] {
    if (!dmDb || w.DevData().HistoryRecords().empty()) return false;
    const std::vector<TResultsRecord>& results = dmDb->TableResults();
    return std::any_of(results.begin(), results.end(), [](const TResultsRecord& ARecord) {
      return ARecord.GetAlert() != atUnknown;
    });
  };
  FSteps.push_back({QStringLiteral("reports from both sources"), bothSources, [] {}});
  AddPageShot(QStringLiteral("reports"), [&w, working] {
    TGlobals::SwitchTab(w.tabWorking());
    TGlobals::SwitchTab(working->tabReport());
  });
  AddPageShot(QStringLiteral("reports-filter"), [&w] {
    if (auto* filter = w.findChild<QToolButton*>(QStringLiteral("btnReportsFilter")))
      filter->click();
  });
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
