#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "KX52xx.Sim.Events.h"
#include "KX52xx.Sim.History.h"
#include "KX52xx.Sim.Model.h"
#include "KX52xx.Sim.Pressure.h"

// One message of the device's protocol: a command code and its payload, in either direction.
struct KX52xxSimMessage {
  quint8 Code = 0;
  QByteArray Payload;
};

// What the application can change on the device.
struct KX52xxSimSettings {
  QByteArray UserPart;  // the user-chosen part of the device name (command 15)
  QByteArray UserName;  // the wearer (command 240)
  quint16 Sensitivity100 = 3750;
  quint8 MaskType = 1;  // 1 full-face mask, 2 half mask
  quint16 ActivationPoint100 = 3500;
};

// The simulated KX52xx device, independent of any transport: a transport hands it each
// command it receives and carries back the answers it returns; unsolicited events go out
// through OnNotify. Tests and scenarios trigger events through the Raise/Start/Finish calls
// and inspect what the device was told through the accessors. Not thread-safe: one thread.
class KX52xxSimDevice {
 public:
  explicit KX52xxSimDevice(const KX52xxSimConfig& config = {});

  // Answers one command: none for writes without an answer and for unknown codes, several
  // for a history request (three pieces per record).
  std::vector<KX52xxSimMessage> HandleCommand(quint8 code, const QByteArray& payload);

  // Receives every code-255 notification; unset, they are dropped.
  std::function<void(const KX52xxSimMessage&)> OnNotify;

  // Seal check: kind 17 now; the result (18 or 19 with its five values) later. The result is
  // stored in the history with the current wearer and mask type.
  void StartSealCheck();
  void FinishSealCheck(bool passed);
  void FinishSealCheck(const KX52xxSimSealCheck& check);
  // Breathing event 20 or 21 (stored in the history).
  void RaiseBreathingEvent(quint8 kind);
  // LED state 80..90.
  void RaiseLedState(quint8 kind);
  // Hazard alert 32..51 with its measured and reference value (stored in the history).
  void RaiseAlert(quint8 kind);
  void RaiseAlert(quint8 kind, const KX52xxSimAlertValues& values);
  // Any code-255 payload, unchanged.
  void Notify(const QByteArray& payload);
  void AddHistoryRecord(const KX52xxSimHistoryRecord& record);

  void SetBatteryLevel(quint8 level) { FBatteryLevel = level; }
  void SetTemperatureHumidity(quint8 temperature, quint8 humidity);
  void SetMotion(const KX52xxSimMotion& motion) { FMotion = motion; }

  const KX52xxSimConfig& Config() const { return FConfig; }
  KX52xxSimModel Model() const { return FConfig.Model; }
  // The full name, for example KX5210_SIM.
  QByteArray DeviceName() const;
  const KX52xxSimSettings& Settings() const { return FSettings; }
  quint32 DeviceTime() const;
  // The device time last given with command 241.
  std::optional<quint32> LastTimeSet() const { return FLastTimeSet; }
  bool InDfuMode() const { return FDfuMode; }
  bool SealCheckRunning() const { return FSealCheckRunning; }
  const std::vector<KX52xxSimHistoryRecord>& History() const { return FHistory; }
  // The pressure reading now (what command 16 answers).
  quint32 CurrentPressure() { return FPressure.Sample(); }

  // The commands received, oldest first (the latest ones when very many came in).
  const std::deque<KX52xxSimMessage>& ReceivedCommands() const { return FReceived; }
  // How many commands of this code came in since the start (not reset by Clear).
  int ReceivedCount(quint8 code) const { return FReceivedCount[code]; }
  void ClearReceivedCommands() { FReceived.clear(); }

 private:
  void Log(quint8 code, const QByteArray& payload);
  std::optional<QByteArray> IdentityAnswer(quint8 code) const;
  std::optional<QByteArray> ReadingAnswer(quint8 code);
  std::optional<QByteArray> SettingAnswer(quint8 code, const QByteArray& payload);
  std::vector<KX52xxSimMessage> HistoryAnswer(const QByteArray& payload) const;
  QByteArray SetTime(const QByteArray& payload);
  void Store(const KX52xxSimHistoryRecord& record);

  KX52xxSimConfig FConfig;
  KX52xxSimSettings FSettings;
  KX52xxSimPressure FPressure;
  KX52xxSimMotion FMotion;
  std::mt19937 FRng;
  quint8 FBatteryLevel = 0;
  quint8 FTemperature = 0;
  quint8 FHumidity = 0;
  qint64 FClockOffset = 0;  // device time minus the host's wall clock, seconds
  std::optional<quint32> FLastTimeSet;
  bool FDfuMode = false;
  bool FSealCheckRunning = false;
  QByteArray FLastNotification;
  std::vector<KX52xxSimHistoryRecord> FHistory;
  std::deque<KX52xxSimMessage> FReceived;
  std::array<int, 256> FReceivedCount = {};
};
