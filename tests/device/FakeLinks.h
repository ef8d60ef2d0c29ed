#pragma once
#include <QElapsedTimer>
#include <QString>
#include <vector>

#include "KX52xx.Data.Links.h"
#include "KX52xx.Data.Phys.h"
#include "SealwiseError.h"

// Recording stand-ins for the device links: every request the model makes is kept with the
// moment it was made, and the test raises the links' events itself.

struct TLinkCall {
  QString Op;  // Read, Write, WriteNow, Connect, Disconnect, Discover
  TCmdID Cmd = 0;
  QByteArray Data;
  qint64 AtMs = 0;
};

inline qint64 TestClockMs() {
  static QElapsedTimer clock = [] {
    QElapsedTimer started;
    started.start();
    return started;
  }();
  return clock.elapsed();
}

template <class TBase>
class TRecordingLink : public TBase {
 public:
  TRecordingLink(void*, const QString& AName) : FName(AName) {}

  QString Name() const override { return FName; }
  QString DeviceID() const override { return FakeDeviceID; }
  void DiscoverDevices() override {
    Record(QStringLiteral("Discover"));
    if (FailDiscovery) throw ESealwiseError(QStringLiteral("search failed"));
  }
  void Connect(const QString& SerialNumber) override {
    Record(QStringLiteral("Connect"), 0, SerialNumber.toUtf8());
    State = StateAfterConnect;
  }
  void Disconnect() override {
    Record(QStringLiteral("Disconnect"));
    const bool wasConnected = IsConnected();
    State = dsDisconnected;
    if (wasConnected) this->RaiseDisconnected();
  }
  TDeviceState DeviceState() const override { return State; }
  bool IsDiscovering() const override { return false; }
  bool IsDiscovered() const override { return true; }
  bool IsConnected() const override { return State >= dsConnected; }
  void Read(TCmdID ACmd) override { Record(QStringLiteral("Read"), ACmd); }
  using IKX52xxDataPhys::Write;
  void Write(TCmdID ACmd, const QByteArray& AData) override {
    Record(QStringLiteral("Write"), ACmd, AData);
  }

  // What the test makes the link do.
  void SimulateConnected() {
    State = dsConnected;
    this->RaiseConnected();
  }
  void SimulateDisconnected() {
    State = dsDisconnected;
    this->RaiseDisconnected();
  }
  void Feed(TCmdID ACode, const QByteArray& AData,
            const TDateTime& AAt = TGlobals::MakeDateTime(2024, 6, 1, 12)) {
    this->RaiseDataReaded(AAt, ACode, AData);
  }
  void SimulateWritten(TCmdID ACode) { this->RaiseDataWritten(ACode); }
  void SimulateDiscovered(const TDeviceDictionary& ADevices) {
    this->RaiseDiscoveredDevices(ADevices);
  }

  // What the model asked for.
  std::vector<TLinkCall> Calls;
  std::vector<TCmdID> CodesOf(const QString& AOp) const {
    std::vector<TCmdID> codes;
    for (const TLinkCall& call : Calls)
      if (call.Op == AOp) codes.push_back(call.Cmd);
    return codes;
  }
  std::vector<QByteArray> PayloadsOf(const QString& AOp, TCmdID ACmd) const {
    std::vector<QByteArray> payloads;
    for (const TLinkCall& call : Calls)
      if (call.Op == AOp && call.Cmd == ACmd) payloads.push_back(call.Data);
    return payloads;
  }
  int CountOf(const QString& AOp) const {
    int count = 0;
    for (const TLinkCall& call : Calls) count += call.Op == AOp;
    return count;
  }

  QString FakeDeviceID = QStringLiteral("KX5210");
  TDeviceState State = dsUnknown;
  TDeviceState StateAfterConnect = dsConnecting;
  bool FailDiscovery = false;

 protected:
  void Record(const QString& AOp, TCmdID ACmd = 0, const QByteArray& AData = QByteArray()) {
    Calls.push_back({AOp, ACmd, AData, TestClockMs()});
  }

 private:
  QString FName;
};

class TFakeLocalLink : public TRecordingLink<IKX52xxLocalLink> {
 public:
  using TRecordingLink::TRecordingLink;
  void WriteNow(TCmdID ACmd, const QByteArray& AData) override {
    Record(QStringLiteral("WriteNow"), ACmd, AData);
  }
};

// Two classes, so that the model can tell the links apart by class as it does the real ones.
class TFakeBLELink : public TFakeLocalLink {
 public:
  using TFakeLocalLink::TFakeLocalLink;
};
class TFakeUSBLink : public TFakeLocalLink {
 public:
  using TFakeLocalLink::TFakeLocalLink;
};

class TFakeCloudLink : public TRecordingLink<IKX52xxCloudLink> {
 public:
  using TRecordingLink::TRecordingLink;
  // The cloud link counts as connected from its connection attempt on, and raises no event
  // when it is disconnected.
  bool IsConnected() const override { return State > dsDisconnected; }
  void Disconnect() override {
    Record(QStringLiteral("Disconnect"));
    State = dsDisconnected;
  }
  void SetDevice_ID(const QString& Value) override { DeviceIDs.push_back(Value); }
  QString Device_ID() const override { return DeviceIDs.empty() ? QString() : DeviceIDs.back(); }
  void SetDevice_Type(const QString& Value) override { FDeviceType = Value; }
  QString Device_Type() const override { return FDeviceType; }
  void SetPhone_ID(const QString& Value) override { FPhoneID = Value; }
  QString Phone_ID() const override { return FPhoneID; }
  void SetUserName(const QString& Value) override { FUserName = Value; }
  QString UserName() const override { return FUserName; }
  void SetLocation(double ALatitude, double ALongitude) override {
    Latitude = ALatitude;
    Longitude = ALongitude;
  }

  std::vector<QString> DeviceIDs;
  double Latitude = 0;
  double Longitude = 0;

 private:
  QString FDeviceType;
  QString FPhoneID;
  QString FUserName;
};

inline TKX52xxLinkFactory FakeLinkFactory(bool AWithBLE = true) {
  TKX52xxLinkFactory factory;
  factory.insert(CONN_BLE, AWithBLE ? LinkKindOf<TFakeBLELink>() : UnavailableLinkKind());
  factory.insert(CONN_FTDI, LinkKindOf<TFakeUSBLink>());
  factory.insert(CONN_CLOUD, LinkKindOf<TFakeCloudLink>());
  return factory;
}
