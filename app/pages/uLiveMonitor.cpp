#include "uLiveMonitor.h"

#include <QLabel>
#include <cmath>

#include "KX52xx.AlertList.h"
#include "TGlobals.Shell.h"
#include "dDb.h"
#include "uConfiguration.h"
#include "uMain.h"
#include "uPageAlert.h"
#include "uPageWorking.h"
#include "uPanelLed.h"
#include "uPanelResult.h"
#include "uPanelSensors.h"
#include "uPanelUsers.h"

TLiveMonitor::TLiveMonitor(TfrmMain& AWindow, TLedPanel& ALed, TResultPanel& AResult,
                           TSensorsPanel& ASensors, TAlertPage& AAlerts)
    : QObject(&AWindow),
      FWindow(AWindow),
      FLed(ALed),
      FResult(AResult),
      FSensors(ASensors),
      FAlerts(AAlerts) {
  connect(&FAlerts, &TAlertPage::Emptied, this,
          [this] { TGlobals::SwitchTab(FWindow.WorkingPage()->tabDashboard()); });
  ConnectTaps();
}

// Taps beside the users panel end its editing or close its list.
void TLiveMonitor::ConnectTaps() {
  auto showUserLabel = [this] { FWindow.UsersPanel()->ShowUserLabel(); };
  connect(&FResult, &TResultPanel::ChartTapped, this, showUserLabel);
  connect(&FLed, &TLedPanel::ContentTapped, this, showUserLabel);
  connect(&FLed, &TLedPanel::ColorTapped, this,
          [this] { FWindow.UsersPanel()->ShowUserList(false); });
}

void TLiveMonitor::ReceivedPressure(const TDateTime& ADateTime, int APressure) {
  const std::optional<double> value = FAverage.Add(APressure);
  if (!value) return;
  FResult.AddChartPoint(*value);
  if (dmDb) dmDb->AddPressure(ADateTime, static_cast<qint32>(std::trunc(*value)));
}

void TLiveMonitor::ReceivedAlert(const TDateTime& ADateTime, TAlertType AAlert,
                                 const QByteArray& AAlertData) {
  switch (AAlert) {
    case atSealwiseStart:
      SealCheckStarted(ADateTime);
      break;
    case atSealwisePassed:
    case atSealwiseFailed:
      SealCheckEnded(ADateTime, AAlert == atSealwisePassed);
      break;
    case atOverBreathing:
    case atDoubleBreathe:
      if (dmDb) dmDb->AddAlert(AAlert, 0, 0, ADateTime);
      break;
    default:
      break;
  }
  if (const std::optional<TLedRequest> led = LedRequestOfAlert(AAlert))
    FLed.SetLed(led->State, led->Blink, led->Text);
  if (FWindow.AlertList() != nullptr && IsAlertKind(AAlert))
    HazardAlert(ADateTime, AAlert, AAlertData);
}

// A KX5220 carries no selection of its own: its checks go to the configured default user.
void TLiveMonitor::SealCheckStarted(const TDateTime& ADateTime) {
  if (dmDb) {
    const qint32 user = FWindow.DevData().Is5210()
                            ? FWindow.SelectedUserID()
                            : dmDb->GetUserID(Configuration->GetDefaultUserName());
    dmDb->AddSealwiseBegin(user, ADateTime);
  }
  FResult.ShowCheckRunning();
}

void TLiveMonitor::SealCheckEnded(const TDateTime& ADateTime, bool APass) {
  if (dmDb) dmDb->AddSealwiseEnd(ADateTime, APass);
  FResult.HighlightResult(APass ? TCurveColor::Passed : TCurveColor::Failed);
  // The next wearer chooses again.
  if (APass && FWindow.DevData().Is5210()) FWindow.UsersPanel()->SelectUser(QString());
}

void TLiveMonitor::HazardAlert(const TDateTime& ADateTime, TAlertType AAlert,
                               const QByteArray& AAlertData) {
  const TAlertValues values = AlertValuesOf(AAlertData);
  if (dmDb) dmDb->AddAlert(AAlert, values.Measured, values.Reference, ADateTime);
  FWindow.AlertList()->Add(AAlert, values.Measured, values.Reference);
  TGlobals::SwitchTab(FWindow.WorkingPage()->tabAlert());
}

void TLiveMonitor::ReceivedCmdAnswer(TCmdID ACmdID) {
  switch (ACmdID) {
    case 17:
      FClimateRead = true;
      ShowClimate();
      break;
    case 18:
      FDirectionRead = true;
      ShowDirection();
      break;
    default:
      break;
  }
}

void TLiveMonitor::ShowClimate() {
  const TKX52xxDeviceData& device = FWindow.DevData();
  FSensors.Value(TSensorsPanel::stTemperature)
      ->setText(Configuration->GetTemperature(device.Temperature()));
  FSensors.Value(TSensorsPanel::stHumidity)->setText(Configuration->GetHumidity(device.Humidity()));
}

void TLiveMonitor::ShowDirection() {
  FSensors.Value(TSensorsPanel::stDirection)
      ->setText(TGlobals::FormatDirection(FWindow.DevData().Magnetometer().X));
}

// Translating the window puts the tiles' design text back: the readings return at once
// instead of with the next answer.
void TLiveMonitor::ApplyLanguage() {
  FLed.ApplyLanguage();
  if (FClimateRead) ShowClimate();
  if (FDirectionRead) ShowDirection();
}
