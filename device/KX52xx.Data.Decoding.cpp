// The answer dispatch of the device model and the assembly of history records. Decoding an
// answer stores values directly, so it never sends a command back, except where noted.
#include <array>

#include "KX52xx.Data.Commands.h"
#include "KX52xx.Data.h"
#include "dDb.h"

struct TKX52xxDeviceData::TAnswer {
  QString Key;
  TDateTime At;
  TCmdID Code;
  QByteArray Data;
  bool FromCloud() const { return Key == CONN_CLOUD; }
};

struct TKX52xxDeviceData::TAnswerRoute {
  TCmdID Code;
  bool IgnoredFromCloud;  // values the cloud link can only echo from the device
  TDecoder Decode;
};

const TKX52xxDeviceData::TAnswerRoute* TKX52xxDeviceData::RouteOf(TCmdID ACode) {
  using D = TKX52xxDeviceData;
  static const std::array<TAnswerRoute, 22> kRoutes{{
      {kCmdDeviceName, true, &D::DecodeDeviceName},
      {kCmdManufacturer, true, &D::DecodeText<&D::FManufacturerName>},
      {kCmdSerialNumber, true, &D::DecodeSerialNumber},
      {kCmdFirmwareRev, true, &D::DecodeText<&D::FFirmwareRev>},
      {kCmdHardwareRev, true, &D::DecodeText<&D::FHardwareRev>},
      {kCmdSoftwareRev, true, &D::DecodeText<&D::FSoftwareRev>},
      {kCmdBattery, false, &D::DecodeBattery},
      {kCmdMACAddress, false, &D::DecodeMACAddress},
      {kCmdSensors, false, &D::DecodeSensors},
      {kCmdFunctionality, false, &D::DecodeFunctionality},
      {kCmdPressure, true, &D::DecodePressure},
      {kCmdTempHumid, true, &D::DecodeTempHumid},
      {kCmdAGM, true, &D::DecodeAGMAnswer},
      {kCmdDateTime, false, &D::DecodeDateTime},
      {kCmdReportCount, false, &D::DecodeReportCount},
      {kCmdHistory, false, &D::DecodeHistoryPiece},
      {kCmdCommandChannel, false, &D::RaiseCmdAnswer},
      {kCmdSetDateTime, false, &D::DecodeSetTimeAnswer},
      {kCmdDFUMode, false, &D::RaiseCmdAnswer},
      {kCmdSensitivity, false, &D::DecodeSensitivity},
      {kCmdActivationPoint, false, &D::DecodeActivationPoint},
      {kCmdAlert, false, &D::DecodeAlert},
  }};
  for (const TAnswerRoute& route : kRoutes)
    if (route.Code == ACode) return &route;
  return nullptr;
}

void TKX52xxDeviceData::LinkDataReaded(IKX52xxDataPhys* Sender, const TDateTime& ADateTime,
                                       TCmdID DataType, const QByteArray& AData) {
  const TAnswerRoute* route = RouteOf(DataType);
  if (!route) return;
  const TAnswer answer{ConnectorOf(Sender), ADateTime, DataType, AData};
  if (route->IgnoredFromCloud && answer.FromCloud()) return;
  (this->*route->Decode)(answer);
}

void TKX52xxDeviceData::RaiseCmdAnswer(const TAnswer& A) {
  if (OnReceivedCmdAnswer) OnReceivedCmdAnswer(this, A.Key, A.Code, A.Data);
}

void TKX52xxDeviceData::RaiseReceivedData(const TAnswer& A) {
  if (OnReceivedData) OnReceivedData(this, A.Key, A.Code);
}

template <QString TKX52xxDeviceData::*AField>
void TKX52xxDeviceData::DecodeText(const TAnswer& A) {
  this->*AField = TGlobals::DataTo_String(A.Data);
  RaiseReceivedData(A);
}

void TKX52xxDeviceData::DecodeDeviceName(const TAnswer& A) {
  FDeviceName = TGlobals::DataTo_String(A.Data);
  FDeviceType = TGlobals::GetRODevNamePart(FDeviceName);
  if (IKX52xxCloudLink* cloud = CloudLink()) cloud->SetDevice_Type(FDeviceType);
  RaiseReceivedData(A);
  // A KX5220 is worn by the application's default user.
  if (Is5220()) SetUserName(DefaultUserNameSetting());
}

void TKX52xxDeviceData::DecodeSerialNumber(const TAnswer& A) {
  FSerialNumber = TGlobals::DataTo_String(A.Data);
  ConnectCloud(UseCloudSetting() && !FSerialNumber.isEmpty());
  if (IKX52xxCloudLink* cloud = CloudLink(); cloud && !FSerialNumber.isEmpty()) {
    cloud->SetDevice_ID(FSerialNumber);
    const TDeviceState state = cloud->DeviceState();
    if (state == dsServerError || state == dsNoNetwork) RemoveLink(CONN_CLOUD);
  }
  RaiseReceivedData(A);
}

void TKX52xxDeviceData::DecodeBattery(const TAnswer& A) {
  FBatteryLevel = TGlobals::DataTo_Int8(A.Data, 0);
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeMACAddress(const TAnswer& A) {
  FMACAddress = MACAddressText(A.Data);
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeSensors(const TAnswer& A) {
  FSensors.Assign(A.Data, 0);
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeFunctionality(const TAnswer& A) {
  FDeviceFunctionality.Assign(A.Data, 0);
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodePressure(const TAnswer& A) {
  // Through the writer: it forwards the value to the cloud link.
  SetPressure(static_cast<int>(TGlobals::DataTo_UInt32(A.Data, 0)));
  if (OnReceivedPressure) OnReceivedPressure(this, A.Key, A.At, FPressure);
}

void TKX52xxDeviceData::DecodeTempHumid(const TAnswer& A) {
  if (A.Data.size() >= 2) {
    FTemperature = TGlobals::DataTo_UInt8(A.Data, 0);
    FHumidity = TGlobals::DataTo_UInt8(A.Data, 1);
  }
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeAGMAnswer(const TAnswer& A) {
  if (const auto readings = DecodeAGM(A.Data)) {
    FAcceleration = readings->Acceleration;
    FGyroscope = readings->Gyroscope;
    FMagnetometer = readings->Magnetometer;
  }
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeDateTime(const TAnswer& A) {
  const TDateTime decoded = TGlobals::DecodeDateTime(A.Data, 0);
  if (A.FromCloud()) {
    // The cloud link announces the computer's time: set the device clock from it.
    SetDateTime(decoded);
    return;
  }
  FDateTime = decoded;
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeReportCount(const TAnswer& A) {
  FNrReportsAvailable = static_cast<int>(TGlobals::DataTo_UInt32(A.Data, 0));
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeHistoryPiece(const TAnswer& A) {
  if (AddHistoryPiece(A.Data)) RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeSetTimeAnswer(const TAnswer& A) {
  constexpr quint8 kReadTimeAgain = 1;
  if (!A.Data.isEmpty() && TGlobals::DataTo_UInt8(A.Data, 0) == kReadTimeAgain) AskDateTime();
}

void TKX52xxDeviceData::DecodeSensitivity(const TAnswer& A) {
  if (A.Data.size() < 2) return;
  FAlgSensitivity = TGlobals::DataTo_UInt16(A.Data, 0) / 100.0f;
  // Without its third byte the answer says nothing about the mask: keep the current one.
  if (A.Data.size() >= 3) FMaskType = MaskTypeFromByte(TGlobals::DataTo_UInt8(A.Data, 2));
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeActivationPoint(const TAnswer& A) {
  FKXActivatPt = TGlobals::DataTo_UInt16(A.Data, 0) / 100.0f;
  RaiseCmdAnswer(A);
}

void TKX52xxDeviceData::DecodeAlert(const TAnswer& A) {
  const TAlertType kind = ToAlertType(TGlobals::DataTo_UInt8(A.Data, 0));
  if (const TKX52xxDataPhysPtr cloud = Link(CONN_CLOUD);
      cloud && (IsSealCheckKind(kind) || ShouldForwardAlert(kind, Is5210())))
    cloud->Write(kCmdAlert, A.Data);
  if (OnReceivedAlert) OnReceivedAlert(this, A.Key, A.At, kind, A.Data);
}

// --- history records ---------------------------------------------------------------------

bool TKX52xxDeviceData::AddHistoryPiece(const QByteArray& AData) {
  const auto kind = HistoryPieceKind(AData);
  if (!kind) return false;
  switch (*kind) {
    case hpStart:
      AddHistoryStart(AData);
      return false;
    case hpUserName:
      return AddHistoryUserName(AData);
    case hpTime:
      return AddHistoryTime(AData);
    case hpUnused:
      return false;
  }
  return false;
}

void TKX52xxDeviceData::AddHistoryStart(const QByteArray& AData) {
  FSkipThisHistoryRecord = false;
  std::unique_ptr<THistoryRecord> record = HistoryRecordFromStart(AData);
  if (!record) return;
  // A KX5210 keeps only seal checks and the breathing events; its other records are dropped
  // together with the pieces that follow them.
  const TAlertType type = record->AlertType();
  if (Is5210() && !IsSealCheckKind(type) && type != atOverBreathing && type != atDoubleBreathe) {
    FSkipThisHistoryRecord = true;
    return;
  }
  FHistoryRecords.push_back(std::move(record));
  ++FLastRetrievedReport;
}

bool TKX52xxDeviceData::AddHistoryUserName(const QByteArray& AData) {
  constexpr int kMinUserNamePiece = 5;
  if (FSkipThisHistoryRecord || AData.size() < kMinUserNamePiece || FHistoryRecords.empty())
    return false;
  THistoryRecord& record = *FHistoryRecords.back();
  const QString name = HistoryUserName(AData);
  if (!name.isEmpty() && dmDb) dmDb->AddUser(name);
  record.SetUserName(name);
  record.SetCrcOk(HistoryCrcOk(AData));
  return false;
}

bool TKX52xxDeviceData::AddHistoryTime(const QByteArray& AData) {
  constexpr int kMinTimePiece = 8;
  if (FSkipThisHistoryRecord || AData.size() < kMinTimePiece || FHistoryRecords.empty())
    return false;
  THistoryRecord& record = *FHistoryRecords.back();
  record.SetDateTime(TGlobals::DecodeDateTime(AData, 4));
  if (const TKX52xxDataPhysPtr cloud = Link(CONN_CLOUD))
    cloud->Write(kCmdHistory, record.GetAsBytes());
  return true;
}
