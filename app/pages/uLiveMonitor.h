#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

#include "KX52xx.Data.Types.h"
#include "TGlobals.Codecs.h"
#include "uMonitoring.h"

class TfrmMain;
class TLedPanel;
class TResultPanel;
class TSensorsPanel;
class TAlertPage;

// What the dashboard and the alert page make of the device's live reports: the averaged
// pressure curve and its samples in the record store, seal checks recorded for their wearer,
// breathing events and LED states on the LED panel, hazard alerts of a KX5220 in the alert
// list, and the sensor readings. The window hands it the events of its local links.
class TLiveMonitor : public QObject {
  Q_OBJECT
 public:
  TLiveMonitor(TfrmMain& AWindow, TLedPanel& ALed, TResultPanel& AResult, TSensorsPanel& ASensors,
               TAlertPage& AAlerts);

  // Device model events from a local link.
  void ReceivedPressure(const TDateTime& ADateTime, int APressure);
  void ReceivedAlert(const TDateTime& ADateTime, TAlertType AAlert, const QByteArray& AAlertData);
  // Answers 17 (temperature and humidity) and 18 (motion sensors); others are not ours.
  void ReceivedCmdAnswer(TCmdID ACmdID);

  // After the window was translated: the LED text and the sensor readings in the new language.
  void ApplyLanguage();

 private:
  void SealCheckStarted(const TDateTime& ADateTime);
  void SealCheckEnded(const TDateTime& ADateTime, bool APass);
  void HazardAlert(const TDateTime& ADateTime, TAlertType AAlert, const QByteArray& AAlertData);
  void ShowClimate();
  void ShowDirection();
  void ConnectTaps();

  TfrmMain& FWindow;
  TLedPanel& FLed;
  TResultPanel& FResult;
  TSensorsPanel& FSensors;
  TAlertPage& FAlerts;
  TPressureAverage FAverage;  // carries over from one connection to the next
  bool FClimateRead = false;  // the tiles hold a reading
  bool FDirectionRead = false;
};
