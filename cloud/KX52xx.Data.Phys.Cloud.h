#pragma once
#include <QByteArray>
#include <QString>
#include <memory>

#include "KX52xx.Data.Phys.h"
#include "Vek.RESTSender.h"

// The cloud link: the device model's third link (CONN_CLOUD). It reaches no device; it
// forwards what the device model learns (pressure, seal-check and breathing events, history
// records, the wearer's name) as JSON records to a KX52xx cloud server.
class TKX52xxDataPhysCloud : public IKX52xxCloudLink {
 public:
  TKX52xxDataPhysCloud(void* AOwner, const QString& AName);
  ~TKX52xxDataPhysCloud() override;
  TKX52xxDataPhysCloud(const TKX52xxDataPhysCloud&) = delete;
  TKX52xxDataPhysCloud& operator=(const TKX52xxDataPhysCloud&) = delete;

  QString Name() const override;
  // The server base address.
  QString DeviceID() const override;
  void DiscoverDevices() override;
  // SerialNumber is the server address: checked, then the installation logs in.
  void Connect(const QString& SerialNumber) override;
  void Disconnect() override;
  TDeviceState DeviceState() const override;
  bool IsDiscovering() const override;
  bool IsDiscovered() const override;
  bool IsConnected() const override;
  void Read(TCmdID ACmd) override;

  using IKX52xxDataPhys::Write;
  // Turns the write into a record of the normal (batching) queue.
  void Write(TCmdID ACmd, const QByteArray& AData) override;
  void Write(const QString& AAddress, TRESTRequestMethod RESTRequestMethod, const QString& ABody,
             const TRestParameters& AParameters, bool AIsArray);

  // The same as Write, through the priority queue.
  void WriteNow(TCmdID ACmd, quint8 AValue) { WriteNow(ACmd, TGlobals::UInt8_ToData(AValue)); }
  void WriteNow(TCmdID ACmd, quint16 AValue) { WriteNow(ACmd, TGlobals::UInt16_ToData(AValue)); }
  void WriteNow(TCmdID ACmd, quint32 AValue) { WriteNow(ACmd, TGlobals::UInt32_ToData(AValue)); }
  void WriteNow(TCmdID ACmd, qint32 AValue) { WriteNow(ACmd, static_cast<quint32>(AValue)); }
  void WriteNow(TCmdID ACmd, const QString& AValue) {
    WriteNow(ACmd, TGlobals::String_ToData(AValue));
  }
  void WriteNow(TCmdID ACmd, const QByteArray& AData);
  void WriteNow(const QString& AAddress, TRESTRequestMethod RESTRequestMethod, const QString& ABody,
                const TRestParameters& AParameters, bool AIsArray);

  void SetDevice_ID(const QString& Value) override;
  QString Device_ID() const override;
  void SetDevice_Type(const QString& Value) override;
  QString Device_Type() const override;
  void SetPhone_ID(const QString& Value) override;
  QString Phone_ID() const override;
  void SetUserName(const QString& Value) override;
  QString UserName() const override;
  void SetLocation(double ALatitude, double ALongitude) override;

 private:
  void Send(TCmdID ACmd, const QByteArray& AData, bool AImmediately);
  void PassOn(const QString& AAddress, TRESTRequestMethod AMethod, const QString& ABody,
              const TRestParameters& AParameters, bool AIsArray, bool AImmediately);
  // The record a write becomes; empty when it becomes none.
  QString RecordBody(TCmdID ACmd, const QByteArray& AData) const;
  QString EventRecordBody(const QByteArray& AData) const;
  // Time, location and name: the part every event record begins with.
  QString EventRecordOpening(const QByteArray& AData) const;
  QString LoginBody() const;
  void HandleResponse(const TRestIOTask& ATask, int ACode, const QString& ABody);

  std::unique_ptr<TRESTSender> RESTSender;
  TDeviceState FState = dsUnknown;
  void* FOwner;
  QString FName;
  QString FDeviceType;
  QString FDeviceID;
  QString FPhoneID;
  QString FUserName;
  double FLatitude;
  double FLongitude;
  // Expires with the link: Connect waits on a nested event loop in which the owner may drop it.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
