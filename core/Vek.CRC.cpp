#include "Vek.CRC.h"

#include "SealwiseError.h"

quint8 CRC8(const QByteArray& AData, int AStart, int ACount) {
  if (AStart < 0 || AStart >= AData.size()) throw ESealwiseError(QStringLiteral("Wrong start index"));
  const qint64 stop = qint64(AStart) + ACount - 1;
  if (stop >= AData.size() || (stop < 0 && ACount != 0))
    throw ESealwiseError(QStringLiteral("Wrong stop index"));
  quint8 crc = 0xFF;
  for (qint64 i = AStart; i <= stop; ++i) {
    crc ^= static_cast<quint8>(AData.at(int(i)));
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x80) ? static_cast<quint8>((crc << 1) ^ 0x31) : static_cast<quint8>(crc << 1);
  }
  return crc;
}
