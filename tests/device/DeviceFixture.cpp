#include "DeviceFixture.h"

#include <stdexcept>

void TModelEvents::Attach(TKX52xxDeviceData& AModel) {
  AModel.OnConnected = [this](TKX52xxDeviceData*, const QString& Key, bool& Accepted) {
    Connected.push_back(Key);
    Accepted = Accept;
  };
  AModel.OnDisconnected = [this](TKX52xxDeviceData*, const QString& Key) {
    Disconnected.push_back(Key);
  };
  AModel.OnDevicesDiscovered = [this](TKX52xxDeviceData*, const QString& Key,
                                      const TDeviceDictionary& Devices) {
    Discovered.emplace_back(Key, Devices);
  };
  AModel.OnReceivedPressure = [this](TKX52xxDeviceData*, const QString& Key, const TDateTime&,
                                     int Pressure) { Pressures.emplace_back(Key, Pressure); };
  AModel.OnReceivedAlert = [this](TKX52xxDeviceData*, const QString&, const TDateTime&,
                                  TAlertType Alert,
                                  const QByteArray& Data) { Alerts.emplace_back(Alert, Data); };
  AModel.OnReceivedCmdAnswer = [this](TKX52xxDeviceData*, const QString& Key, TCmdID Code,
                                      const QByteArray& Data) {
    CmdAnswers.push_back({Key, Code, Data});
  };
  AModel.OnReceivedData = [this](TKX52xxDeviceData*, const QString& Key, TCmdID Code) {
    ReceivedData.push_back({Key, Code, QByteArray()});
  };
  AModel.OnCloudSend = [this](TKX52xxDeviceData*) { ++CloudSends; };
}

void DeviceModelTest::SetUp() {
  ASSERT_TRUE(FDir.isValid());
  Configuration = std::make_unique<TConfiguration>(FDir.filePath(QStringLiteral("Settings.cfg")));
  Configuration->SetCloudAddress(QStringLiteral("https://cloud.example"));
  dmDb = std::make_unique<TdmDb>(FDir.filePath(QStringLiteral("users.db")));
  Model = std::make_unique<TKX52xxDeviceData>(FakeLinkFactory());
  Events.Attach(*Model);
}

void DeviceModelTest::TearDown() {
  Model.reset();
  dmDb.reset();
  Configuration.reset();
}

void DeviceModelTest::ConnectUSB() {
  const size_t before = Events.Connected.size();
  USB().SimulateConnected();
  ASSERT_TRUE(WaitUntil([&] { return Events.Connected.size() > before; }));
}

void DeviceModelTest::Identify(const QString& ADeviceName, const QString& ASerialNumber) {
  USB().Feed(kCmdDeviceName, TGlobals::String_ToData(ADeviceName));
  if (!ASerialNumber.isEmpty())
    USB().Feed(kCmdSerialNumber, TGlobals::String_ToData(ASerialNumber));
}

TFakeCloudLink& DeviceModelTest::IdentifyWithCloud(const QString& ADeviceName) {
  Configuration->SetUseCloud(true);
  Identify(ADeviceName, QStringLiteral("SN-0001"));
  TFakeCloudLink* cloud = Cloud();
  if (!cloud) throw std::runtime_error("the model made no cloud link");
  return *cloud;
}

void DeviceModelTest::ClearCalls() {
  for (const auto& link : Model->Connectors()) {
    if (auto* local = dynamic_cast<TFakeLocalLink*>(link.get())) local->Calls.clear();
    if (auto* cloud = dynamic_cast<TFakeCloudLink*>(link.get())) cloud->Calls.clear();
  }
}
