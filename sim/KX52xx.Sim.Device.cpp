#include "KX52xx.Sim.Device.h"

#include <algorithm>

#include "KX52xx.Sim.Wire.h"

using namespace KX52xxSimWire;

namespace {

constexpr int kNameAnswerLength = 16;  // the name padded with NULs
constexpr int kUserPartLength = 9;
constexpr int kUserNameLength = 10;
constexpr size_t kReceivedLogLimit = 10000;
constexpr size_t kHistoryLimit = 65536;
constexpr quint32 kNoStartRecord = 0xFFFFFFFF;
constexpr double kSealCheckExtraDepth = 12.0;  // pascal beyond the activation point

namespace Cmd {
constexpr quint8 ModelNumber = 1, DeviceName = 2, Manufacturer = 3, SerialNumber = 4,
                 FirmwareRev = 5, HardwareRev = 6, SoftwareRev = 7, Battery = 8, Mac = 9,
                 Sensors = 10, Functionality = 11, SetDeviceName = 15, Pressure = 16,
                 TempHumid = 17, Motion = 18, DeviceTime = 20, ReportCount = 32, History = 33,
                 SetUserName = 240, SetDeviceTime = 241, DfuMode = 242, Sensitivity = 251,
                 ActivationPoint = 252, SetSensitivity = 253, SetActivationPoint = 254, Event = 255;
}  // namespace Cmd

}  // namespace

KX52xxSimDevice::KX52xxSimDevice(const KX52xxSimConfig& config)
    : FConfig(Completed(config)),
      FPressure(FConfig.Seed),
      FMotion(RestingMotion(FConfig.Model)),
      FRng(FConfig.Seed),
      FBatteryLevel(FConfig.BatteryLevel),
      FTemperature(FConfig.Temperature),
      FHumidity(FConfig.Humidity) {
  FSettings.UserPart = TextBytes(FConfig.UserPart).left(kUserPartLength);
  FSettings.UserName = TextBytes(FConfig.UserName).left(kUserNameLength);
  FHistory = GeneratedHistory(FConfig.Model, std::max(0, FConfig.HistoryCount), DeviceTime(),
                              FSettings.ActivationPoint100, FRng);
}

QByteArray KX52xxSimDevice::DeviceName() const {
  return TextBytes(ModelName(FConfig.Model)) + '_' + FSettings.UserPart;
}

quint32 KX52xxSimDevice::DeviceTime() const {
  return static_cast<quint32>(DeviceTimeNow() + FClockOffset);
}

void KX52xxSimDevice::SetTemperatureHumidity(quint8 temperature, quint8 humidity) {
  FTemperature = temperature;
  FHumidity = humidity;
}

std::vector<KX52xxSimMessage> KX52xxSimDevice::HandleCommand(quint8 code,
                                                             const QByteArray& payload) {
  Log(code, payload);
  if (code == Cmd::History) return HistoryAnswer(payload);
  std::optional<QByteArray> answer = IdentityAnswer(code);
  if (!answer) answer = ReadingAnswer(code);
  if (!answer) answer = SettingAnswer(code, payload);
  if (!answer) return {};
  return {KX52xxSimMessage{code, *answer}};
}

void KX52xxSimDevice::Log(quint8 code, const QByteArray& payload) {
  ++FReceivedCount[code];
  FReceived.push_back({code, payload});
  if (FReceived.size() > kReceivedLogLimit) FReceived.pop_front();
}

std::optional<QByteArray> KX52xxSimDevice::IdentityAnswer(quint8 code) const {
  switch (code) {
    case Cmd::ModelNumber:
      return TextBytes(ModelName(FConfig.Model));
    case Cmd::DeviceName:
      return Padded(DeviceName(), kNameAnswerLength);
    case Cmd::Manufacturer:
      return TextBytes(FConfig.Manufacturer);
    case Cmd::SerialNumber:
      return TextBytes(FConfig.SerialNumber);
    case Cmd::FirmwareRev:
      return TextBytes(FConfig.FirmwareRev);
    case Cmd::HardwareRev:
      return TextBytes(FConfig.HardwareRev);
    case Cmd::SoftwareRev:
      return TextBytes(FConfig.SoftwareRev);
    case Cmd::Mac:
      return FConfig.MacAddress;
    case Cmd::Sensors:
      return SensorRecord(FConfig.Model);
    case Cmd::Functionality:
      return FunctionalityRecord(FConfig.Model);
    default:
      return std::nullopt;
  }
}

std::optional<QByteArray> KX52xxSimDevice::ReadingAnswer(quint8 code) {
  switch (code) {
    case Cmd::Battery:
      return QByteArray(1, static_cast<char>(FBatteryLevel));
    case Cmd::Pressure:
      return UInt32Bytes(CurrentPressure());
    case Cmd::TempHumid: {
      QByteArray out(1, static_cast<char>(FTemperature));
      out.append(static_cast<char>(FHumidity));
      return out;
    }
    case Cmd::Motion:
      return MotionRecord(FMotion);
    case Cmd::DeviceTime:
      return UInt32Bytes(DeviceTime());
    case Cmd::ReportCount:
      return UInt32Bytes(static_cast<quint32>(FHistory.size()));
    case Cmd::Event:
      return FLastNotification.isEmpty() ? LedPayload(KX52xxSimKind::LedsOff) : FLastNotification;
    default:
      return std::nullopt;
  }
}

// Writes change the settings and answer nothing, except where the device confirms.
std::optional<QByteArray> KX52xxSimDevice::SettingAnswer(quint8 code, const QByteArray& payload) {
  switch (code) {
    case Cmd::SetDeviceName:
      FSettings.UserPart = TerminatedBytes(payload, kUserPartLength);
      return std::nullopt;
    case Cmd::SetUserName:
      FSettings.UserName = TerminatedBytes(payload, kUserNameLength);
      return std::nullopt;
    case Cmd::SetDeviceTime:
      return SetTime(payload);
    case Cmd::DfuMode:
      FDfuMode = true;
      return QByteArray(1, '\x01');
    case Cmd::Sensitivity: {
      QByteArray out = UInt16Bytes(FSettings.Sensitivity100);
      out.append(static_cast<char>(FSettings.MaskType));
      return out;
    }
    case Cmd::ActivationPoint:
      return UInt16Bytes(FSettings.ActivationPoint100);
    case Cmd::SetSensitivity:
      if (payload.size() >= 2) FSettings.Sensitivity100 = ReadUInt16(payload, 0);
      if (payload.size() >= 3) FSettings.MaskType = ByteAt(payload, 2);
      return std::nullopt;
    case Cmd::SetActivationPoint:
      if (payload.size() >= 2) FSettings.ActivationPoint100 = ReadUInt16(payload, 0);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

// The answer byte 1 asks the application to read the time back.
QByteArray KX52xxSimDevice::SetTime(const QByteArray& payload) {
  if (payload.size() < 4) return QByteArray(1, '\0');
  const quint32 value = ReadUInt32(payload, 0);
  FLastTimeSet = value;
  FClockOffset = qint64(value) - qint64(DeviceTimeNow());
  return QByteArray(1, '\x01');
}

std::vector<KX52xxSimMessage> KX52xxSimDevice::HistoryAnswer(const QByteArray& payload) const {
  if (payload.size() < 8) return {};
  const quint32 first = ReadUInt32(payload, 0);
  const quint64 stored = FHistory.size();
  const quint64 wanted = std::min<quint64>(ReadUInt32(payload, 4), stored);
  // No start record means the newest ones.
  const quint64 begin =
      first == kNoStartRecord ? stored - wanted : std::min<quint64>(first, stored);
  const quint64 end = std::min(stored, begin + wanted);
  std::vector<KX52xxSimMessage> answers;
  for (quint64 i = begin; i < end; ++i)
    for (const QByteArray& piece : HistoryPieces(FHistory[i], static_cast<quint32>(i)))
      answers.push_back({Cmd::History, piece});
  return answers;
}

void KX52xxSimDevice::Notify(const QByteArray& payload) {
  FLastNotification = payload;
  if (OnNotify) OnNotify(KX52xxSimMessage{Cmd::Event, payload});
}

void KX52xxSimDevice::StartSealCheck() {
  FSealCheckRunning = true;
  FPressure.BeginHold(FSettings.ActivationPoint100 / 100.0 + kSealCheckExtraDepth);
  Notify(EventPayload(KX52xxSimKind::SealCheckStart, DeviceTime()));
}

void KX52xxSimDevice::FinishSealCheck(bool passed) {
  FinishSealCheck(TypicalSealCheck(passed, FSettings.ActivationPoint100, FRng));
}

void KX52xxSimDevice::FinishSealCheck(const KX52xxSimSealCheck& check) {
  FSealCheckRunning = false;
  FPressure.EndHold();
  const quint32 now = DeviceTime();
  Store(SealCheckRecord(check, now, FSettings.UserName, FSettings.MaskType));
  Notify(SealCheckResultPayload(check, now));
}

void KX52xxSimDevice::RaiseBreathingEvent(quint8 kind) {
  const quint32 now = DeviceTime();
  Store(EventRecord(kind, {}, now, FSettings.UserName, FSettings.MaskType));
  Notify(EventPayload(kind, now));
}

void KX52xxSimDevice::RaiseLedState(quint8 kind) { Notify(LedPayload(kind)); }

void KX52xxSimDevice::RaiseAlert(quint8 kind) { RaiseAlert(kind, TypicalAlertValues(kind, FRng)); }

void KX52xxSimDevice::RaiseAlert(quint8 kind, const KX52xxSimAlertValues& values) {
  Store(EventRecord(kind, values, DeviceTime(), FSettings.UserName, FSettings.MaskType));
  Notify(AlertPayload(kind, values));
}

void KX52xxSimDevice::AddHistoryRecord(const KX52xxSimHistoryRecord& record) { Store(record); }

void KX52xxSimDevice::Store(const KX52xxSimHistoryRecord& record) {
  FHistory.push_back(record);
  if (FHistory.size() > kHistoryLimit) FHistory.erase(FHistory.begin());
}
