#include "KX52xx.CapabilityBits.h"

void TKX52xxCapabilityBits::Assign(const QByteArray& AData, int AStartIndex) {
  constexpr int kRecordSize = 3;
  if (AStartIndex < 0 || qint64(AStartIndex) + kRecordSize > AData.size()) return;
  quint32 bits = 0;
  for (int i = 0; i < kRecordSize; ++i)
    bits = (bits << 8) | static_cast<quint8>(AData.at(AStartIndex + i));
  FBits = bits;
}

QString TKX52xxCapabilityBits::TextOf(int AValue, std::initializer_list<const char*> ATexts) {
  if (AValue < 0 || AValue >= static_cast<int>(ATexts.size())) return QString();
  return QString::fromUtf8(ATexts.begin()[AValue]);
}
