#include "KX52xx.Data.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cmath>
#include <limits>

#include "KX52xx.Data.Commands.h"
#include "SealwiseError.h"
#include "TGlobals.Cloud.h"
#include "uConfiguration.h"

namespace {

constexpr int kSequencePauseMs = 100;
constexpr int kMaxDeviceNameLength = 16;
constexpr int kMaxUserNameLength = 10;
constexpr float kMinActivationPoint = 20;
constexpr float kMaxActivationPoint = 80;

// trunc(x * 100), kept inside the integer range (NaN gives 0).
int Hundredths(float AValue) {
  const double scaled = std::trunc(static_cast<double>(AValue) * 100.0);
  if (std::isnan(scaled)) return 0;
  constexpr double kLow = std::numeric_limits<int>::min();
  constexpr double kHigh = std::numeric_limits<int>::max();
  return static_cast<int>(scaled < kLow ? kLow : (scaled > kHigh ? kHigh : scaled));
}

// The 16-bit wire form of a value in hundredths; out-of-range values stop at the limits
// instead of wrapping around.
quint16 WireHundredths(int AHundredths) {
  return static_cast<quint16>(qBound(0, AHundredths, 0xFFFF));
}

// A link that leaves the dictionary may still be raising the event that made us drop it, so
// the last reference goes only when control is back in the event loop.
void ReleaseLater(TKX52xxDataPhysPtr ALink) {
  if (!QCoreApplication::instance()) return;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [link = std::move(ALink)]() mutable { link.reset(); },
      Qt::QueuedConnection);
}

}  // namespace

TKX52xxDeviceData::TKX52xxDeviceData(TKX52xxLinkFactory ALinkFactory)
    : FLinkFactory(std::move(ALinkFactory)) {
  AddLocalLink(CONN_BLE);
  AddLocalLink(CONN_FTDI);
}

TKX52xxDeviceData::~TKX52xxDeviceData() {
  OnConnected = nullptr;
  OnDisconnected = nullptr;
  OnDevicesDiscovered = nullptr;
  OnReceivedPressure = nullptr;
  OnReceivedAlert = nullptr;
  OnReceivedCmdAnswer = nullptr;
  OnReceivedData = nullptr;
  OnCloudSend = nullptr;
  for (auto& [key, sequence] : FSequences) sequence->Abort();
  Disconnect();
  for (const auto& link : std::as_const(FConnectors)) DetachHandlers(*link);
  FConnectors.clear();
}

// --- links -------------------------------------------------------------------------------

void TKX52xxDeviceData::AddLocalLink(const QString& AKey) {
  // A link this computer cannot offer (no Bluetooth LE, for example) is simply left out.
  try {
    AddLink(AKey);
  } catch (const std::exception&) {
    FConnectors.remove(AKey);
  }
}

TKX52xxDataPhysPtr TKX52xxDeviceData::AddLink(const QString& AKey) {
  const auto kind = FLinkFactory.constFind(AKey);
  if (kind == FLinkFactory.constEnd() || !kind->Create) return nullptr;
  TKX52xxDataPhysPtr link = kind->Create(this, AKey);
  if (!link) return nullptr;
  FConnectors.insert(AKey, link);
  AttachHandlers(*link);
  return link;
}

void TKX52xxDeviceData::RemoveLink(const QString& AKey) {
  const auto sequence = FSequences.find(AKey);
  if (sequence != FSequences.end()) sequence->second->Abort();
  TKX52xxDataPhysPtr link = FConnectors.take(AKey);
  if (!link) return;
  DetachHandlers(*link);
  ReleaseLater(std::move(link));
}

void TKX52xxDeviceData::AttachHandlers(IKX52xxDataPhys& ALink) {
  ALink.SetOnDiscoveredDevices([this](IKX52xxDataPhys* Sender, const TDeviceDictionary& Devices) {
    LinkDevicesDiscovered(Sender, Devices);
  });
  ALink.SetOnConnected([this](IKX52xxDataPhys* Sender) { LinkConnected(Sender); });
  ALink.SetOnDisconnected([this](IKX52xxDataPhys* Sender) { LinkDisconnected(Sender); });
  ALink.SetOnDataReaded(
      [this](IKX52xxDataPhys* Sender, const TDateTime& At, TCmdID DataType,
             const QByteArray& AData) { LinkDataReaded(Sender, At, DataType, AData); });
  ALink.SetOnDataWritten(
      [this](IKX52xxDataPhys* Sender, TCmdID DataType) { LinkDataWritten(Sender, DataType); });
}

void TKX52xxDeviceData::DetachHandlers(IKX52xxDataPhys& ALink) {
  ALink.SetOnDiscoveredDevices(nullptr);
  ALink.SetOnConnected(nullptr);
  ALink.SetOnDisconnected(nullptr);
  ALink.SetOnDataReaded(nullptr);
  ALink.SetOnDataWritten(nullptr);
}

QString TKX52xxDeviceData::ConnectorOf(const IKX52xxDataPhys* ASender) const {
  if (!ASender) return QString();
  for (auto kind = FLinkFactory.constBegin(); kind != FLinkFactory.constEnd(); ++kind)
    if (kind->IsOfKind && kind->IsOfKind(ASender)) return kind.key();
  return QString();
}

IKX52xxCloudLink* TKX52xxDeviceData::CloudLink() const {
  return dynamic_cast<IKX52xxCloudLink*>(Link(CONN_CLOUD).get());
}

bool TKX52xxDeviceData::IsLinkConnected(const QString& AKey) const {
  const TKX52xxDataPhysPtr link = Link(AKey);
  return link && link->IsConnected();
}

std::vector<TKX52xxDataPhysPtr> TKX52xxDeviceData::LocalLinks() const {
  std::vector<TKX52xxDataPhysPtr> links;
  for (auto it = FConnectors.constBegin(); it != FConnectors.constEnd(); ++it)
    if (it.key() != CONN_CLOUD) links.push_back(it.value());
  return links;
}

void TKX52xxDeviceData::ReadOnLocalLinks(TCmdID ACmd) {
  for (const auto& link : LocalLinks()) link->Read(ACmd);
}

void TKX52xxDeviceData::WriteToLocalLinks(TCmdID ACmd, const QByteArray& AData) {
  for (const auto& link : LocalLinks()) link->Write(ACmd, AData);
}

void TKX52xxDeviceData::ResetReportCounters() {
  FLastRetrievedReport = 0;
  FNrReportsAvailable = 0;
}

bool TKX52xxDeviceData::UseCloudSetting() { return Configuration && Configuration->GetUseCloud(); }

QString TKX52xxDeviceData::CloudAddressSetting() {
  return Configuration ? Configuration->GetCloudAddress() : QString();
}

QString TKX52xxDeviceData::DefaultUserNameSetting() {
  return Configuration ? Configuration->GetDefaultUserName() : QString();
}

// --- connection management ---------------------------------------------------------------

void TKX52xxDeviceData::DiscoverDevices(const QString& AConnector) {
  QStringList failed;
  const auto links = FConnectors;
  for (auto it = links.constBegin(); it != links.constEnd(); ++it) {
    if (!AConnector.isEmpty() && it.key() != AConnector) continue;
    try {
      it.value()->DiscoverDevices();
    } catch (const std::exception&) {
      // The cloud link's search is only a formality; a failing local search means that
      // this way of reaching a device does not work here.
      if (it.key() != CONN_CLOUD) failed << it.key();
    }
  }
  for (const QString& key : std::as_const(failed)) RemoveLink(key);
}

void TKX52xxDeviceData::Connect(const QString& Connector, const QString& ADeviceSerialNumber) {
  const TKX52xxDataPhysPtr cloud = Link(CONN_CLOUD);
  if (cloud && !cloud->IsConnected() && cloud->DeviceState() < dsConnecting)
    cloud->Connect(CloudAddressSetting());
  ResetReportCounters();

  // One device at a time: nothing starts while a local link is connected.
  const auto links = FConnectors;
  for (auto it = links.constBegin(); it != links.constEnd(); ++it) {
    const bool wanted = Connector.isEmpty() ? it.key() != CONN_CLOUD : it.key() == Connector;
    if (!wanted || IsDevConnected()) continue;
    it.value()->Connect(ADeviceSerialNumber);
    FDeviceAddress = ADeviceSerialNumber;
  }
}

void TKX52xxDeviceData::Disconnect() {
  ResetReportCounters();
  const auto links = FConnectors;
  for (const auto& link : links) link->Disconnect();
}

bool TKX52xxDeviceData::CloudConnected() const { return IsLinkConnected(CONN_CLOUD); }

void TKX52xxDeviceData::ConnectCloud(bool AConnect) {
  if (CloudConnected() == AConnect) return;
  if (!AConnect) {
    if (const TKX52xxDataPhysPtr cloud = Link(CONN_CLOUD)) {
      cloud->Disconnect();
      DetachHandlers(*cloud);
      cloud->Disconnect();
      RemoveLink(CONN_CLOUD);
    }
    return;
  }
  // The cloud link logs in with the device's type and serial number.
  if (FDeviceType.isEmpty() || FSerialNumber.isEmpty()) return;
  TKX52xxDataPhysPtr cloud = Link(CONN_CLOUD);
  if (!cloud) cloud = AddLink(CONN_CLOUD);
  if (!cloud) return;
  if (auto* cloudLink = dynamic_cast<IKX52xxCloudLink*>(cloud.get())) PassDeviceToCloud(*cloudLink);
  cloud->Connect(CloudAddressSetting());
}

void TKX52xxDeviceData::PassDeviceToCloud(IKX52xxCloudLink& ACloud) {
  if (Is5220()) ACloud.SetUserName(FUserName);
  ACloud.SetDevice_Type(FDeviceType);
  ACloud.SetPhone_ID(TGlobals::GetPhoneID());
  ACloud.SetDevice_ID(FSerialNumber);
}

void TKX52xxDeviceData::SetLocation(double ALatitude, double ALongitude) {
  if (IKX52xxCloudLink* cloud = CloudLink()) cloud->SetLocation(ALatitude, ALongitude);
}

// --- requests ----------------------------------------------------------------------------

void TKX52xxDeviceData::AskBattery() { ReadOnLocalLinks(kCmdBattery); }
void TKX52xxDeviceData::AskMACAddress() { ReadOnLocalLinks(kCmdMACAddress); }
void TKX52xxDeviceData::AskSensors() { ReadOnLocalLinks(kCmdSensors); }
void TKX52xxDeviceData::AskDeviceFunctionality() { ReadOnLocalLinks(kCmdFunctionality); }
void TKX52xxDeviceData::AskTempHumid() { ReadOnLocalLinks(kCmdTempHumid); }
void TKX52xxDeviceData::AskAGM() { ReadOnLocalLinks(kCmdAGM); }
void TKX52xxDeviceData::AskDateTime() { ReadOnLocalLinks(kCmdDateTime); }
void TKX52xxDeviceData::AskDFUMode() { WriteToLocalLinks(kCmdDFUMode, QByteArray()); }

void TKX52xxDeviceData::FillHistoryRecords(int AStartHistoryRecords, int AMaxHistoryRecords) {
  constexpr quint32 kLatestRecords = 0xFFFFFFFFu;
  const quint32 start =
      AStartHistoryRecords < 0 ? kLatestRecords : static_cast<quint32>(AStartHistoryRecords);
  const QByteArray payload = TGlobals::UInt32_ToData(start) +
                             TGlobals::UInt32_ToData(static_cast<quint32>(AMaxHistoryRecords));
  for (const auto& link : LocalLinks())
    if (link->IsConnected()) link->Write(kCmdHistory, payload);
}

// --- writers that talk to the device -----------------------------------------------------

void TKX52xxDeviceData::SetDeviceName(const QString& Value) {
  if (Value == TGlobals::GetRWDevNamePart(FDeviceName)) return;
  FDeviceName = (FDeviceType + QLatin1Char('_') + Value).left(kMaxDeviceNameLength);
  WriteToLocalLinks(kCmdSetDeviceName, TGlobals::String_ToData(Value));
}

void TKX52xxDeviceData::SetAlgSensitivity(float Value) {
  const int hundredths = Hundredths(Value);
  if (hundredths == Hundredths(FAlgSensitivity)) return;
  FAlgSensitivity = Value;
  const QByteArray payload = TGlobals::UInt16_ToData(WireHundredths(hundredths)) +
                             TGlobals::UInt8_ToData(MaskTypeToByte(FMaskType));
  WriteToLocalLinks(kCmdSetSensitivity, payload);
}

void TKX52xxDeviceData::SetKXActivatPt(float Value) {
  const int hundredths = Hundredths(Value);
  if (hundredths == Hundredths(FKXActivatPt)) return;
  if (!(Value >= kMinActivationPoint && Value <= kMaxActivationPoint))
    throw ESealwiseError(QStringLiteral("Wrong Threshold value"));
  FKXActivatPt = Value;
  WriteToLocalLinks(kCmdSetActivationPoint, TGlobals::UInt16_ToData(WireHundredths(hundredths)));
}

void TKX52xxDeviceData::SetUserName(const QString& Value) {
  FUserName = Value.left(kMaxUserNameLength);
  const QByteArray payload = TGlobals::String_ToData(FUserName);
  const auto links = FConnectors;
  for (const auto& link : links) link->Write(kCmdSetUserName, payload);
}

void TKX52xxDeviceData::SetDateTime(const TDateTime& Value) {
  if (Value == FDateTime) return;
  FDateTime = Value;
  // The device is set one second ahead, ahead of whatever is queued.
  const QByteArray payload = TGlobals::EncodeDateTime(Value, true);
  for (const auto& link : LocalLinks())
    if (auto* local = dynamic_cast<IKX52xxLocalLink*>(link.get()))
      local->WriteNow(kCmdSetDateTime, payload);
}

void TKX52xxDeviceData::SetPressure(int Value) {
  FPressure = Value;
  if (const TKX52xxDataPhysPtr cloud = Link(CONN_CLOUD))
    cloud->Write(kCmdPressure, QString::number(Value));
}

// --- link handlers -----------------------------------------------------------------------

void TKX52xxDeviceData::LinkDevicesDiscovered(IKX52xxDataPhys* Sender,
                                              const TDeviceDictionary& Devices) {
  const QString key = ConnectorOf(Sender);
  if (OnDevicesDiscovered && !key.isEmpty()) OnDevicesDiscovered(this, key, Devices);
}

void TKX52xxDeviceData::LinkConnected(IKX52xxDataPhys* Sender) {
  const QString key = ConnectorOf(Sender);
  if (key.isEmpty()) return;
  FDeviceID = Sender->DeviceID();
  if (key == CONN_CLOUD) {
    ConnectCloud(UseCloudSetting());
    return;
  }
  const TKX52xxDataPhysPtr link = Link(key);
  if (link.get() == Sender) ReadDeviceInformation(key, link);
}

void TKX52xxDeviceData::LinkDisconnected(IKX52xxDataPhys* Sender) {
  const QString key = ConnectorOf(Sender);
  if (key.isEmpty()) return;
  // A link that is gone cannot finish its connection sequence.
  const auto sequence = FSequences.find(key);
  if (sequence != FSequences.end()) sequence->second->Abort();
  if (OnDisconnected) OnDisconnected(this, key);
}

void TKX52xxDeviceData::LinkDataWritten(IKX52xxDataPhys* Sender, TCmdID) {
  if (ConnectorOf(Sender) == CONN_CLOUD && OnCloudSend) OnCloudSend(this);
}

// --- connection sequence -----------------------------------------------------------------

void TKX52xxDeviceData::ReadDeviceInformation(const QString& AKey,
                                              const TKX52xxDataPhysPtr& ALink) {
  const std::weak_ptr<IKX52xxDataPhys> weak = ALink;
  const auto read = [weak](TCmdID ACmd, int APauseAfterMs = 0) {
    return TPacedSteps::TStep{[weak, ACmd] {
                                if (const auto link = weak.lock()) link->Read(ACmd);
                              },
                              APauseAfterMs};
  };
  const auto ask = [this](void (TKX52xxDeviceData::*AAsk)()) {
    return TPacedSteps::TStep{[this, AAsk] { (this->*AAsk)(); }, 0};
  };

  std::vector<TPacedSteps::TStep> steps;
  if (AKey == CONN_BLE) {
    steps.push_back(read(kCmdCommandChannel, kSequencePauseMs));
    steps.push_back(read(kCmdAlert, kSequencePauseMs));
    steps.push_back(read(kCmdDeviceName));
  }
  if (AKey == CONN_FTDI) steps.push_back(read(kCmdDeviceName, kSequencePauseMs));
  for (TCmdID cmd : {kCmdModelNumber, kCmdManufacturer, kCmdHardwareRev, kCmdFirmwareRev,
                     kCmdSoftwareRev, kCmdSerialNumber, kCmdSensors, kCmdFunctionality})
    steps.push_back(read(cmd));
  steps.push_back(ask(&TKX52xxDeviceData::AskMACAddress));
  // The device time is asked twice.
  for (TCmdID cmd :
       {kCmdReportCount, kCmdBattery, kCmdDateTime, kCmdDateTime, kCmdAGM, kCmdPressure})
    steps.push_back(read(cmd));
  if (AKey == CONN_FTDI) steps.push_back(read(kCmdMACAddress));
  steps.push_back(ask(&TKX52xxDeviceData::AskSensors));
  steps.push_back(ask(&TKX52xxDeviceData::AskDeviceFunctionality));
  steps.push_back(read(kCmdActivationPoint));
  steps.push_back(read(kCmdSensitivity));

  auto& sequence = FSequences[AKey];
  if (!sequence) sequence = std::make_unique<TPacedSteps>();
  sequence->Start(std::move(steps), [this, AKey, weak] { FinishConnection(AKey, weak); });
}

void TKX52xxDeviceData::FinishConnection(const QString& AKey,
                                         const std::weak_ptr<IKX52xxDataPhys>& ALink) {
  const TKX52xxDataPhysPtr link = ALink.lock();
  if (!link || Link(AKey) != link) return;
  bool accepted = true;
  if (OnConnected) OnConnected(this, AKey, accepted);
  if (!accepted) link->Disconnect();
}
