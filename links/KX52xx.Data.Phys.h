#pragma once
#include <QByteArray>
#include <QMap>
#include <QString>
#include <functional>
#include <memory>

#include "KX52xx.Data.Types.h"
#include "TGlobals.Codecs.h"

// The contract between the device model and every device link (USB, Bluetooth LE, cloud).
// Links never raise for transport problems: they drop what they cannot carry and report
// through their state and events. All five events are raised on the GUI thread.

inline const QString CONN_BLE = QStringLiteral("CONN_BLE");
inline const QString CONN_FTDI = QStringLiteral("CONN_FTDI");
inline const QString CONN_CLOUD = QStringLiteral("CONN_CLOUD");

// Ordered: the device model and the window compare states with "less than".
enum TDeviceState : quint8 {
  dsUnknown = 0,
  dsDiscovering = 1,
  dsDiscovered = 2,
  dsNoNetwork = 3,
  dsServerError = 4,
  dsDisconnected = 5,
  dsConnecting = 6,
  dsConnected = 7,
  dsReading = 8,
  dsWritting = 9,
};

class IKX52xxDataPhys;

// Key: what Connect takes to reach the device; value: the text shown for it.
using TDeviceDictionary = QMap<QString, QString>;

using TOnKX52xxDiscoveredDevices =
    std::function<void(IKX52xxDataPhys* Sender, const TDeviceDictionary& Devices)>;
using TOnKX52xxDataReaded = std::function<void(IKX52xxDataPhys* Sender, const TDateTime& DateTime,
                                               TCmdID DataType, const QByteArray& AData)>;
using TOnKX52xxDataWritten = std::function<void(IKX52xxDataPhys* Sender, TCmdID DataType)>;
using TNotifyEvent = std::function<void(IKX52xxDataPhys* Sender)>;

// Links are shared: the device model's connector dictionary holds the only lasting references.
using TKX52xxDataPhysPtr = std::shared_ptr<IKX52xxDataPhys>;

class IKX52xxDataPhys {
 public:
  virtual ~IKX52xxDataPhys() = default;

  virtual QString Name() const = 0;
  virtual QString DeviceID() const = 0;
  virtual void DiscoverDevices() = 0;
  virtual void SetOnDiscoveredDevices(TOnKX52xxDiscoveredDevices handler) = 0;
  virtual TOnKX52xxDiscoveredDevices GetOnDiscoveredDevices() const = 0;
  virtual void Connect(const QString& SerialNumber) = 0;
  virtual void SetOnConnected(TNotifyEvent handler) = 0;
  virtual TNotifyEvent GetOnConnected() const = 0;
  virtual void Disconnect() = 0;
  virtual void SetOnDisconnected(TNotifyEvent handler) = 0;
  virtual TNotifyEvent GetOnDisconnected() const = 0;
  virtual TDeviceState DeviceState() const = 0;
  virtual bool IsDiscovering() const = 0;
  virtual bool IsDiscovered() const = 0;
  virtual bool IsConnected() const = 0;
  virtual void Read(TCmdID ACmd) = 0;
  virtual void SetOnDataReaded(TOnKX52xxDataReaded handler) = 0;
  virtual TOnKX52xxDataReaded GetOnDataReaded() const = 0;

  // Overloads 19..23 encode as the codecs do and all end in the byte-array form (24), the only
  // one a link implements. A link class brings them into scope with
  // `using IKX52xxDataPhys::Write;`. Pass typed values (quint8, quint16, ...) to pick the width.
  void Write(TCmdID ACmd, quint8 AValue) { Write(ACmd, TGlobals::UInt8_ToData(AValue)); }
  void Write(TCmdID ACmd, quint16 AValue) { Write(ACmd, TGlobals::UInt16_ToData(AValue)); }
  void Write(TCmdID ACmd, quint32 AValue) { Write(ACmd, TGlobals::UInt32_ToData(AValue)); }
  void Write(TCmdID ACmd, qint32 AValue) { Write(ACmd, static_cast<quint32>(AValue)); }
  void Write(TCmdID ACmd, const QString& AValue) { Write(ACmd, TGlobals::String_ToData(AValue)); }
  virtual void Write(TCmdID ACmd, const QByteArray& AData) = 0;

  virtual void SetOnDataWritten(TOnKX52xxDataWritten handler) = 0;
  virtual TOnKX52xxDataWritten GetOnDataWritten() const = 0;
};

// The five handler slots every link keeps, with their plain setters and getters.
class TKX52xxDataPhysEvents : public IKX52xxDataPhys {
 public:
  void SetOnDiscoveredDevices(TOnKX52xxDiscoveredDevices handler) override {
    FOnDiscoveredDevices = std::move(handler);
  }
  TOnKX52xxDiscoveredDevices GetOnDiscoveredDevices() const override {
    return FOnDiscoveredDevices;
  }
  void SetOnConnected(TNotifyEvent handler) override { FOnConnected = std::move(handler); }
  TNotifyEvent GetOnConnected() const override { return FOnConnected; }
  void SetOnDisconnected(TNotifyEvent handler) override { FOnDisconnected = std::move(handler); }
  TNotifyEvent GetOnDisconnected() const override { return FOnDisconnected; }
  void SetOnDataReaded(TOnKX52xxDataReaded handler) override {
    FOnDataReaded = std::move(handler);
  }
  TOnKX52xxDataReaded GetOnDataReaded() const override { return FOnDataReaded; }
  void SetOnDataWritten(TOnKX52xxDataWritten handler) override {
    FOnDataWritten = std::move(handler);
  }
  TOnKX52xxDataWritten GetOnDataWritten() const override { return FOnDataWritten; }

 protected:
  // Each raise is skipped when its handler is not set. It calls a copy of the handler: a
  // handler may replace itself or release the link while it runs.
  void RaiseDiscoveredDevices(const TDeviceDictionary& devices) {
    if (const auto handler = FOnDiscoveredDevices) handler(this, devices);
  }
  void RaiseConnected() {
    if (const auto handler = FOnConnected) handler(this);
  }
  void RaiseDisconnected() {
    if (const auto handler = FOnDisconnected) handler(this);
  }
  void RaiseDataReaded(const TDateTime& at, TCmdID code, const QByteArray& data) {
    if (const auto handler = FOnDataReaded) handler(this, at, code, data);
  }
  void RaiseDataWritten(TCmdID code) {
    if (const auto handler = FOnDataWritten) handler(this, code);
  }

  TOnKX52xxDiscoveredDevices FOnDiscoveredDevices;
  TNotifyEvent FOnConnected;
  TNotifyEvent FOnDisconnected;
  TOnKX52xxDataReaded FOnDataReaded;
  TOnKX52xxDataWritten FOnDataWritten;
};

// What the device model calls on the concrete local links (USB and Bluetooth LE) beyond the
// interface: a write that goes ahead of everything already queued.
class IKX52xxLocalLink : public TKX52xxDataPhysEvents {
 public:
  virtual void WriteNow(TCmdID ACmd, const QByteArray& AData) = 0;
};

// What the device model calls on the cloud link beyond the interface.
class IKX52xxCloudLink : public TKX52xxDataPhysEvents {
 public:
  virtual void SetDevice_ID(const QString& Value) = 0;
  virtual QString Device_ID() const = 0;
  virtual void SetDevice_Type(const QString& Value) = 0;
  virtual QString Device_Type() const = 0;
  virtual void SetPhone_ID(const QString& Value) = 0;
  virtual QString Phone_ID() const = 0;
  virtual void SetUserName(const QString& Value) = 0;
  virtual QString UserName() const = 0;
  virtual void SetLocation(double ALatitude, double ALongitude) = 0;
};
