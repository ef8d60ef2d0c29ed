#include "KX52xx.Sim.History.h"

#include <algorithm>

#include "KX52xx.Sim.Wire.h"

namespace {

constexpr int kStoredNameLength = 9;
constexpr quint8 kCrcBadStatus = 0x55;
constexpr quint8 kCrcGoodStatus = 0x00;
constexpr quint32 kNumberMask = 0x3FFFFFFF;

enum TPieceKind : quint32 { pkStart = 0, pkName = 1, pkTime = 2 };

QByteArray PieceHeader(TPieceKind kind, quint32 number) {
  return KX52xxSimWire::UInt32Bytes(quint32(kind) << 30 | (number & kNumberMask));
}

// Bytes 4..15 of the start piece.
QByteArray StartFields(const KX52xxSimHistoryRecord& record) {
  QByteArray out;
  for (qint16 value : record.Values) KX52xxSimWire::AppendUInt16(out, static_cast<quint16>(value));
  out.append(static_cast<char>(record.Kind));
  out.append(static_cast<char>(record.MaskType));
  return out;
}

const std::vector<QByteArray>& Wearers() {
  static const std::vector<QByteArray> names = {"ANNA", "BEN", "CHLOE", "N/A", "DMITRI", "EVA"};
  return names;
}

template <typename T>
const T& Pick(const std::vector<T>& items, std::mt19937& rng) {
  return items[std::uniform_int_distribution<size_t>(0, items.size() - 1)(rng)];
}

int Percent(std::mt19937& rng) { return std::uniform_int_distribution<int>(0, 99)(rng); }

// What a device of this model stores: mostly seal checks, some breathing events and, on a
// KX5220, hazard alerts.
quint8 PastKind(KX52xxSimModel model, std::mt19937& rng) {
  const int roll = Percent(rng);
  const int hazardShare = RaisesHazardAlerts(model) ? 25 : 0;
  if (roll < hazardShare) return Pick(KX52xxSimKind::HazardKinds(), rng);
  if (roll < hazardShare + 20)
    return Percent(rng) < 50 ? KX52xxSimKind::OverBreathing : KX52xxSimKind::DoubleBreathe;
  return Percent(rng) < 75 ? KX52xxSimKind::SealCheckPassed : KX52xxSimKind::SealCheckFailed;
}

KX52xxSimHistoryRecord PastRecord(KX52xxSimModel model, quint32 time, quint16 activationPoint100,
                                  std::mt19937& rng) {
  const quint8 kind = PastKind(model, rng);
  const QByteArray& name = Pick(Wearers(), rng);
  const quint8 mask = Percent(rng) < 70 ? 1 : 2;
  if (KX52xxSimKind::IsSealCheckResult(kind))
    return SealCheckRecord(
        TypicalSealCheck(kind == KX52xxSimKind::SealCheckPassed, activationPoint100, rng), time,
        name, mask);
  const KX52xxSimAlertValues values =
      KX52xxSimKind::IsHazard(kind) ? TypicalAlertValues(kind, rng) : KX52xxSimAlertValues{};
  return EventRecord(kind, values, time, name, mask);
}

}  // namespace

KX52xxSimHistoryRecord SealCheckRecord(const KX52xxSimSealCheck& check, quint32 deviceTime,
                                       const QByteArray& userName, quint8 maskType) {
  KX52xxSimHistoryRecord record;
  record.Kind = check.Passed ? KX52xxSimKind::SealCheckPassed : KX52xxSimKind::SealCheckFailed;
  record.DeviceTime = deviceTime;
  record.UserName = userName;
  record.MaskType = maskType;
  record.Values = {check.LowestPoint, check.StartPoint, check.EndPoint, check.FailPoint,
                   static_cast<qint16>(check.Samples)};
  return record;
}

KX52xxSimHistoryRecord EventRecord(quint8 kind, const KX52xxSimAlertValues& values,
                                   quint32 deviceTime, const QByteArray& userName,
                                   quint8 maskType) {
  KX52xxSimHistoryRecord record;
  record.Kind = kind;
  record.DeviceTime = deviceTime;
  record.UserName = userName;
  record.MaskType = maskType;
  // The store keeps 16-bit values; larger readings are kept at the top of the range.
  const auto stored = [](quint32 value) {
    return static_cast<qint16>(std::min<quint32>(value, 32767));
  };
  record.Values = {stored(values.Measured), stored(values.Reference), 0, 0, 0};
  return record;
}

QByteArray StoredUserName(const KX52xxSimHistoryRecord& record) {
  const QByteArray name = record.UserName.isEmpty() ? QByteArray("N/A") : record.UserName;
  return KX52xxSimWire::Padded(name, kStoredNameLength);
}

quint8 RecordCrc(const KX52xxSimHistoryRecord& record) {
  return KX52xxSimWire::Crc8(StartFields(record) + StoredUserName(record) +
                             KX52xxSimWire::UInt32Bytes(record.DeviceTime));
}

std::vector<QByteArray> HistoryPieces(const KX52xxSimHistoryRecord& record, quint32 number) {
  const quint8 crc = record.CrcGood ? RecordCrc(record) : static_cast<quint8>(~RecordCrc(record));
  QByteArray name = PieceHeader(pkName, number) + StoredUserName(record);
  name.append(static_cast<char>(crc));
  name.append('\0');
  name.append(static_cast<char>(record.CrcGood ? kCrcGoodStatus : kCrcBadStatus));
  return {PieceHeader(pkStart, number) + StartFields(record), name,
          PieceHeader(pkTime, number) + KX52xxSimWire::UInt32Bytes(record.DeviceTime)};
}

std::vector<KX52xxSimHistoryRecord> GeneratedHistory(KX52xxSimModel model, int count,
                                                     quint32 nowDeviceTime,
                                                     quint16 activationPoint100,
                                                     std::mt19937& rng) {
  std::vector<KX52xxSimHistoryRecord> records;
  quint32 time = nowDeviceTime;
  for (int i = 0; i < count; ++i) {
    time -= std::uniform_int_distribution<quint32>(20 * 60, 26 * 3600)(rng);
    records.push_back(PastRecord(model, time, activationPoint100, rng));
  }
  std::reverse(records.begin(), records.end());
  return records;
}
