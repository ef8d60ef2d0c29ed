#include "KX52xx.Data.Answers.h"

#include <QStringList>
#include <array>
#include <utility>

#include "TGlobals.Codecs.h"

namespace {

using TRangeCode = std::pair<quint8, qint32>;

template <size_t N>
qint32 RangeOf(quint8 ACode, const std::array<TRangeCode, N>& ATable) {
  for (const auto& [code, range] : ATable)
    if (code == ACode) return range;
  return 0;
}

constexpr int kAGMSize = 20;

// Three axes stored Z, Y, X from AFirst on, signed 16-bit big-endian.
TAGMData AxesFrom(const QByteArray& AData, int AFirst, qint32 ARange) {
  TAGMData reading;
  reading.Range = ARange;
  reading.Z = TGlobals::DataTo_Int16(AData, AFirst);
  reading.Y = TGlobals::DataTo_Int16(AData, AFirst + 2);
  reading.X = TGlobals::DataTo_Int16(AData, AFirst + 4);
  return reading;
}

}  // namespace

TMaskType MaskTypeFromByte(quint8 AByte) {
  switch (AByte) {
    case mtFFM:
      return mtFFM;
    case mtHM:
      return mtHM;
    default:
      return mtUndefined;
  }
}

quint8 MaskTypeToByte(TMaskType AMaskType) { return MaskTypeFromByte(AMaskType); }

qint32 AccelerometerRange(quint8 ACode) {
  static constexpr std::array<TRangeCode, 4> kTable{{{6, 2}, {7, 4}, {8, 8}, {9, 16}}};
  return RangeOf(ACode, kTable);
}

qint32 GyroscopeRange(quint8 ACode) {
  static constexpr std::array<TRangeCode, 5> kTable{
      {{6, 125}, {7, 245}, {8, 500}, {9, 1000}, {10, 2000}}};
  return RangeOf(ACode, kTable);
}

qint32 MagnetometerRange(quint8 ACode) {
  static constexpr std::array<TRangeCode, 4> kTable{{{3, 4}, {6, 8}, {9, 12}, {12, 16}}};
  return RangeOf(ACode, kTable);
}

std::optional<TAGMReadings> DecodeAGM(const QByteArray& AData) {
  if (AData.size() < kAGMSize) return std::nullopt;
  const quint8 magnetometerCode = TGlobals::DataTo_UInt8(AData, 18);
  const quint8 codes = TGlobals::DataTo_UInt8(AData, 19);
  TAGMReadings readings;
  readings.Magnetometer = AxesFrom(AData, 0, MagnetometerRange(magnetometerCode));
  readings.Gyroscope = AxesFrom(AData, 6, GyroscopeRange(codes >> 4));
  readings.Acceleration = AxesFrom(AData, 12, AccelerometerRange(codes & 0x0F));
  return readings;
}

QString MACAddressText(const QByteArray& AData) {
  constexpr int kMACSize = 6;
  QStringList groups;
  for (int i = 0; i < AData.size() && i < kMACSize; ++i)
    groups << QStringLiteral("%1")
                  .arg(static_cast<quint8>(AData.at(i)), 2, 16, QLatin1Char('0'))
                  .toUpper();
  return groups.join(QLatin1Char(':'));
}

bool IsSealCheckKind(quint8 AKind) {
  return AKind == atSealwiseStart || AKind == atSealwisePassed || AKind == atSealwiseFailed;
}

bool ShouldForwardAlert(TAlertType AAlertType, bool AIs5210) {
  const bool breathing = AAlertType == atOverBreathing || AAlertType == atDoubleBreathe;
  return breathing || (!AIs5210 && IsAlertKind(AAlertType));
}
