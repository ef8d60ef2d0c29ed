#pragma once
#include <QTimer>
#include <vector>

#include "KX52xx.Data.Links.h"
#include "KX52xx.Data.Phys.h"
#include "SealwiseError.h"
#include "TGlobals.Codecs.h"

// A local link the test drives by hand: it records what the device model asks, ends discovery
// cycles when told, connects at once to a listed key and answers the name request with the
// device name it was given.
class TFakeLink final : public IKX52xxLocalLink {
 public:
  using IKX52xxDataPhys::Write;

  TFakeLink(void*, const QString& AName) : FName(AName) {}

  QString Name() const override { return FName; }
  QString DeviceID() const override { return FDeviceID; }
  void DiscoverDevices() override {
    ++DiscoverCalls;
    if (FState < dsConnecting) FState = dsDiscovering;
  }
  void Connect(const QString& SerialNumber) override {
    ConnectKeys.push_back(SerialNumber);
    if (!ConnectError.isEmpty()) throw ESealwiseError(ConnectError);
    if (!Devices.contains(SerialNumber)) return;
    FDeviceID = SerialNumber;
    FState = dsConnected;
    RaiseConnected();
  }
  void Disconnect() override {
    if (FState < dsConnected) return;
    FState = dsDisconnected;
    RaiseDisconnected();
  }
  TDeviceState DeviceState() const override { return FState; }
  bool IsDiscovering() const override { return FState == dsDiscovering; }
  bool IsDiscovered() const override { return FState > dsDiscovering; }
  bool IsConnected() const override { return FState >= dsConnected; }
  void Read(TCmdID ACmd) override {
    if (!IsConnected()) return;
    Reads.push_back(ACmd);
    if (ACmd == 2) Answer(2, TGlobals::String_ToData(DeviceName));
  }
  void Write(TCmdID ACmd, const QByteArray& AData) override {
    if (!IsConnected()) return;
    Writes.push_back(ACmd);
    WritePayloads.push_back(AData);
  }
  void WriteNow(TCmdID ACmd, const QByteArray& AData) override { Write(ACmd, AData); }

  // Ends the running discovery cycle with the devices listed now.
  void EndDiscovery() {
    if (FState == dsDiscovering) FState = dsDiscovered;
    RaiseDiscoveredDevices(Devices);
  }
  // The device pulled out.
  void Unplug() { Disconnect(); }
  void Answer(TCmdID ACmd, const QByteArray& AData) {
    RaiseDataReaded(TGlobals::Now(), ACmd, AData);
  }
  int CountReads(TCmdID ACmd) const {
    int count = 0;
    for (TCmdID read : Reads) count += read == ACmd;
    return count;
  }

  TDeviceDictionary Devices;
  QString DeviceName = QStringLiteral("KX5210_TEST");
  QString ConnectError;
  std::vector<TCmdID> Reads;
  std::vector<TCmdID> Writes;
  std::vector<QByteArray> WritePayloads;  // one per entry of Writes
  std::vector<QString> ConnectKeys;
  int DiscoverCalls = 0;

 private:
  QString FName;
  QString FDeviceID;
  TDeviceState FState = dsUnknown;
};

// The device model's factory with fake USB and Bluetooth LE links (and no cloud link).
inline TKX52xxLinkFactory FakeLinkFactory() {
  TKX52xxLinkFactory factory;
  for (const QString& key : {CONN_BLE, CONN_FTDI}) {
    factory.insert(key, {[](void* AOwner, const QString& AName) -> TKX52xxDataPhysPtr {
                           return std::make_shared<TFakeLink>(AOwner, AName);
                         },
                         [key](const IKX52xxDataPhys* ALink) {
                           auto* fake = dynamic_cast<const TFakeLink*>(ALink);
                           return fake != nullptr && fake->Name() == key;
                         }});
  }
  factory.insert(CONN_CLOUD, UnavailableLinkKind());
  return factory;
}
