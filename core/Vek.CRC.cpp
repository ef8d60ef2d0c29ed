#include "Vek.CRC.h"

#include <array>

#include "SealwiseError.h"

namespace {

// The register after shifting one byte through it bit by bit; a table of these makes the
// checksum one lookup a byte, which the frame splitter needs at stream rates.
constexpr quint8 ShiftByte(quint8 value) {
  for (int bit = 0; bit < 8; ++bit)
    value = (value & 0x80) ? static_cast<quint8>((value << 1) ^ 0x31)
                           : static_cast<quint8>(value << 1);
  return value;
}

constexpr std::array<quint8, 256> MakeTable() {
  std::array<quint8, 256> table{};
  for (int i = 0; i < 256; ++i) table[static_cast<size_t>(i)] = ShiftByte(static_cast<quint8>(i));
  return table;
}

constexpr std::array<quint8, 256> kTable = MakeTable();

}  // namespace

quint8 CRC8(const QByteArray& AData, int AStart, int ACount) {
  if (AStart < 0 || AStart >= AData.size()) throw ESealwiseError(QStringLiteral("Wrong start index"));
  const qint64 stop = qint64(AStart) + ACount - 1;
  if (stop >= AData.size() || (stop < 0 && ACount != 0))
    throw ESealwiseError(QStringLiteral("Wrong stop index"));
  const auto* bytes = reinterpret_cast<const quint8*>(AData.constData());
  quint8 crc = 0xFF;
  for (qint64 i = AStart; i <= stop; ++i) crc = kTable[crc ^ bytes[i]];
  return crc;
}
