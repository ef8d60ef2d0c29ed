#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

#include "KX52xx.Data.Types.h"

// The values of the device's answers that are more than a number or a text, and the pure
// decoders behind the device model's answer dispatch. Every decoder bounds its indexes.

// The kind of respirator mask the seal-check algorithm is tuned for.
enum TMaskType : quint8 { mtUndefined = 0, mtFFM = 1, mtHM = 2 };

// Wire byte 1 is mtFFM, 2 is mtHM; every other byte means mtUndefined.
TMaskType MaskTypeFromByte(quint8 AByte);
quint8 MaskTypeToByte(TMaskType AMaskType);

// One motion sensor's reading.
struct TAGMData {
  qint32 Range = 0;  // the measuring range in the sensor's unit; 0 for an unknown range code
  qint32 X = 0;
  qint32 Y = 0;
  qint32 Z = 0;
};

inline bool operator==(const TAGMData& a, const TAGMData& b) {
  return a.Range == b.Range && a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

struct TAGMReadings {
  TAGMData Acceleration;
  TAGMData Gyroscope;
  TAGMData Magnetometer;
};

// Range codes of the motion answer; codes that are not listed give 0.
qint32 AccelerometerRange(quint8 ACode);
qint32 GyroscopeRange(quint8 ACode);
qint32 MagnetometerRange(quint8 ACode);

// The 20-byte motion answer (command 18); nothing for a shorter one.
std::optional<TAGMReadings> DecodeAGM(const QByteArray& AData);

// Up to six bytes as upper-case hexadecimal pairs joined by ":".
QString MACAddressText(const QByteArray& AData);

// Events and alerts, other than the seal-check events, that go on to the cloud: a KX5210
// forwards only the breathing events, the other models the breathing events and all alerts.
bool ShouldForwardAlert(TAlertType AAlertType, bool AIs5210);
bool IsSealCheckKind(quint8 AKind);
