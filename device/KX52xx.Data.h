#pragma once
#include <QByteArray>
#include <QMap>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "KX52xx.Data.Answers.h"
#include "KX52xx.Data.History.h"
#include "KX52xx.Data.Links.h"
#include "KX52xx.Data.Phys.h"
#include "KX52xx.Data.Sequence.h"
#include "KX52xx.Functionality.h"
#include "KX52xx.Sensors.h"

class TKX52xxDeviceData;

using TOnConnected =
    std::function<void(TKX52xxDeviceData* Sender, const QString& Connector, bool& Accepted)>;
using TOnDisconnected = std::function<void(TKX52xxDeviceData* Sender, const QString& Connector)>;
using TOnDevicesDiscovered = std::function<void(TKX52xxDeviceData* Sender, const QString& Connector,
                                                const TDeviceDictionary& Devices)>;
using TOnReceivedPressure = std::function<void(TKX52xxDeviceData* Sender, const QString& Connector,
                                               const TDateTime& DateTime, int Pressure)>;
using TOnReceivedAlert =
    std::function<void(TKX52xxDeviceData* Sender, const QString& Connector,
                       const TDateTime& DateTime, TAlertType Alert, const QByteArray& AlertData)>;
using TOnReceivedCmdAnswer = std::function<void(TKX52xxDeviceData* Sender, const QString& Connector,
                                                TCmdID CmdID, const QByteArray& AData)>;
using TOnReceivedStaticData =
    std::function<void(TKX52xxDeviceData* Sender, const QString& Connector, TCmdID ADataType)>;
using TOnCloudSend = std::function<void(TKX52xxDeviceData* Sender)>;

using THistoryRecordList = std::vector<std::unique_ptr<THistoryRecord>>;

// The application's model of the one KX52xx device it works with. It owns the links (the
// connector dictionary holds the only lasting references), connects them, asks the device for
// its values, sends it new settings, keeps the last known value of everything the device
// reported and passes what happens on through its eight events. GUI thread only.
class TKX52xxDeviceData {
 public:
  // Creates the Bluetooth LE and USB links at once; a link that cannot be made is left out.
  explicit TKX52xxDeviceData(TKX52xxLinkFactory ALinkFactory = DefaultLinkFactory());
  ~TKX52xxDeviceData();
  TKX52xxDeviceData(const TKX52xxDeviceData&) = delete;
  TKX52xxDeviceData& operator=(const TKX52xxDeviceData&) = delete;

  // Events; an unset handler is skipped.
  TOnConnected OnConnected;
  TOnDisconnected OnDisconnected;
  TOnDevicesDiscovered OnDevicesDiscovered;
  TOnReceivedPressure OnReceivedPressure;
  TOnReceivedAlert OnReceivedAlert;
  TOnReceivedCmdAnswer OnReceivedCmdAnswer;
  TOnReceivedStaticData OnReceivedData;
  TOnCloudSend OnCloudSend;

  // Connection management.
  void DiscoverDevices(const QString& AConnector = QString());
  void Connect(const QString& Connector, const QString& ADeviceSerialNumber);
  void Disconnect();
  void ConnectCloud(bool AConnect);
  bool CloudConnected() const;
  void SetLocation(double ALatitude, double ALongitude);

  // Requests to the local links (a link that is not connected drops them).
  void AskBattery();
  void AskMACAddress();
  void AskSensors();
  void AskDeviceFunctionality();
  void AskTempHumid();
  void AskAGM();
  void AskDateTime();
  void AskDFUMode();
  // Asks the connected local links for stored history records; a negative start asks for the
  // latest ones.
  void FillHistoryRecords(int AStartHistoryRecords, int AMaxHistoryRecords);

  const QMap<QString, TKX52xxDataPhysPtr>& Connectors() const { return FConnectors; }
  QString DeviceID() const { return FDeviceID; }
  QString DeviceAddress() const { return FDeviceAddress; }
  QString DeviceType() const { return FDeviceType; }
  bool IsDevConnected() const { return IsBLEConnected() || IsUSBConnected(); }
  bool IsBLEConnected() const { return IsLinkConnected(CONN_BLE); }
  bool IsUSBConnected() const { return IsLinkConnected(CONN_FTDI); }
  bool Is5220() const { return FDeviceType.startsWith(QLatin1String("KX5220")); }
  bool Is5210() const { return !Is5220(); }

  // Writers that talk to the device.
  QString DeviceName() const { return FDeviceName; }
  void SetDeviceName(const QString& Value);
  float AlgSensitivity() const { return FAlgSensitivity; }
  void SetAlgSensitivity(float Value);
  // 20 to 80; anything else raises "Wrong Threshold value".
  float KXActivatPt() const { return FKXActivatPt; }
  void SetKXActivatPt(float Value);
  QString UserName() const { return FUserName; }
  void SetUserName(const QString& Value);
  TDateTime DateTime() const { return FDateTime; }
  void SetDateTime(const TDateTime& Value);
  int Pressure() const { return FPressure; }
  void SetPressure(int Value);

  // Writers that only store (the mask type travels with the next sensitivity write).
  TMaskType MaskType() const { return FMaskType; }
  void SetMaskType(TMaskType Value) { FMaskType = Value; }
  bool DisableBLE() const { return FDisableBLE; }
  void SetDisableBLE(bool Value) { FDisableBLE = Value; }
  QString ManufacturerName() const { return FManufacturerName; }
  void SetManufacturerName(const QString& Value) { FManufacturerName = Value; }
  QString ModelNumber() const { return FModelNumber; }
  void SetModelNumber(const QString& Value) { FModelNumber = Value; }
  QString SerialNumber() const { return FSerialNumber; }
  void SetSerialNumber(const QString& Value) { FSerialNumber = Value; }
  QString FirmwareRev() const { return FFirmwareRev; }
  void SetFirmwareRev(const QString& Value) { FFirmwareRev = Value; }
  QString HardwareRev() const { return FHardwareRev; }
  void SetHardwareRev(const QString& Value) { FHardwareRev = Value; }
  QString SoftwareRev() const { return FSoftwareRev; }
  void SetSoftwareRev(const QString& Value) { FSoftwareRev = Value; }
  int TxPowerLevel() const { return FTxPowerLevel; }
  void SetTxPowerLevel(int Value) { FTxPowerLevel = Value; }
  int BatteryLevel() const { return FBatteryLevel; }
  void SetBatteryLevel(int Value) { FBatteryLevel = Value; }
  int Humidity() const { return FHumidity; }
  void SetHumidity(int Value) { FHumidity = Value; }
  float Temperature() const { return FTemperature; }
  void SetTemperature(float Value) { FTemperature = Value; }
  QString MACAddress() const { return FMACAddress; }
  void SetMACAddress(const QString& Value) { FMACAddress = Value; }
  const TKX52xxSensors& Sensors() const { return FSensors; }
  void SetSensors(const TKX52xxSensors& Value) { FSensors.Assign(&Value); }
  const TKX52xxFunctionality& DeviceFunctionality() const { return FDeviceFunctionality; }
  void SetDeviceFunctionality(const TKX52xxFunctionality& Value) {
    FDeviceFunctionality.Assign(&Value);
  }
  TAGMData Acceleration() const { return FAcceleration; }
  void SetAcceleration(const TAGMData& Value) { FAcceleration = Value; }
  TAGMData Gyroscope() const { return FGyroscope; }
  void SetGyroscope(const TAGMData& Value) { FGyroscope = Value; }
  TAGMData Magnetometer() const { return FMagnetometer; }
  void SetMagnetometer(const TAGMData& Value) { FMagnetometer = Value; }

  const THistoryRecordList& HistoryRecords() const { return FHistoryRecords; }
  void ClearHistoryRecords() { FHistoryRecords.clear(); }
  int NrReportsAvailable() const { return FNrReportsAvailable; }
  int LastRetrievedReport() const { return FLastRetrievedReport; }

 private:
  struct TAnswer;
  using TDecoder = void (TKX52xxDeviceData::*)(const TAnswer&);
  struct TAnswerRoute;
  static const TAnswerRoute* RouteOf(TCmdID ACode);

  // Links.
  void AddLocalLink(const QString& AKey);
  TKX52xxDataPhysPtr AddLink(const QString& AKey);
  void RemoveLink(const QString& AKey);
  void AttachHandlers(IKX52xxDataPhys& ALink);
  static void DetachHandlers(IKX52xxDataPhys& ALink);
  QString ConnectorOf(const IKX52xxDataPhys* ASender) const;
  TKX52xxDataPhysPtr Link(const QString& AKey) const { return FConnectors.value(AKey); }
  IKX52xxCloudLink* CloudLink() const;
  bool IsLinkConnected(const QString& AKey) const;
  std::vector<TKX52xxDataPhysPtr> LocalLinks() const;
  void ReadOnLocalLinks(TCmdID ACmd);
  void WriteToLocalLinks(TCmdID ACmd, const QByteArray& AData);
  void PassDeviceToCloud(IKX52xxCloudLink& ACloud);
  void ResetReportCounters();
  static bool UseCloudSetting();
  static QString CloudAddressSetting();
  static QString DefaultUserNameSetting();

  // The five link handlers.
  void LinkDevicesDiscovered(IKX52xxDataPhys* Sender, const TDeviceDictionary& Devices);
  void LinkConnected(IKX52xxDataPhys* Sender);
  void LinkDisconnected(IKX52xxDataPhys* Sender);
  void LinkDataReaded(IKX52xxDataPhys* Sender, const TDateTime& ADateTime, TCmdID DataType,
                      const QByteArray& AData);
  void LinkDataWritten(IKX52xxDataPhys* Sender, TCmdID DataType);

  // Connection sequence.
  void ReadDeviceInformation(const QString& AKey, const TKX52xxDataPhysPtr& ALink);
  void FinishConnection(const QString& AKey, const std::weak_ptr<IKX52xxDataPhys>& ALink);

  // Answer decoding, one decoder per command code.
  void RaiseCmdAnswer(const TAnswer& A);
  void RaiseReceivedData(const TAnswer& A);
  void DecodeDeviceName(const TAnswer& A);
  void DecodeSerialNumber(const TAnswer& A);
  template <QString TKX52xxDeviceData::*AField>
  void DecodeText(const TAnswer& A);
  void DecodeBattery(const TAnswer& A);
  void DecodeMACAddress(const TAnswer& A);
  void DecodeSensors(const TAnswer& A);
  void DecodeFunctionality(const TAnswer& A);
  void DecodePressure(const TAnswer& A);
  void DecodeTempHumid(const TAnswer& A);
  void DecodeAGMAnswer(const TAnswer& A);
  void DecodeDateTime(const TAnswer& A);
  void DecodeReportCount(const TAnswer& A);
  void DecodeHistoryPiece(const TAnswer& A);
  void DecodeSetTimeAnswer(const TAnswer& A);
  void DecodeSensitivity(const TAnswer& A);
  void DecodeActivationPoint(const TAnswer& A);
  void DecodeAlert(const TAnswer& A);

  // History assembly: true when the piece completed a record.
  bool AddHistoryPiece(const QByteArray& AData);
  void AddHistoryStart(const QByteArray& AData);
  bool AddHistoryUserName(const QByteArray& AData);
  bool AddHistoryTime(const QByteArray& AData);

  TKX52xxLinkFactory FLinkFactory;
  QMap<QString, TKX52xxDataPhysPtr> FConnectors;
  std::map<QString, std::unique_ptr<TPacedSteps>> FSequences;  // one per local link

  QString FDeviceID;
  QString FDeviceAddress;
  QString FDeviceType;
  QString FDeviceName;
  float FAlgSensitivity = 0;
  float FKXActivatPt = 0;
  TMaskType FMaskType = mtUndefined;
  bool FDisableBLE = false;
  QString FManufacturerName;
  QString FModelNumber;
  QString FSerialNumber;
  QString FFirmwareRev;
  QString FHardwareRev;
  QString FSoftwareRev;
  int FTxPowerLevel = 0;
  int FBatteryLevel = 0;
  int FHumidity = 0;
  int FPressure = 0;
  float FTemperature = 0;
  QString FMACAddress;
  TKX52xxSensors FSensors;
  TKX52xxFunctionality FDeviceFunctionality;
  QString FUserName;
  TAGMData FAcceleration;
  TAGMData FGyroscope;
  TAGMData FMagnetometer;
  TDateTime FDateTime;

  THistoryRecordList FHistoryRecords;
  int FNrReportsAvailable = 0;
  int FLastRetrievedReport = 0;
  bool FSkipThisHistoryRecord = false;
};
