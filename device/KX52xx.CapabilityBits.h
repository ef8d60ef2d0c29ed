#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <initializer_list>

// The device describes its hardware and its functions in 3-byte bit fields: one 24-bit number,
// most significant byte first, bit 0 being the lowest bit of the third byte. Both capability
// records keep that number and read their fields from it.
class TKX52xxCapabilityBits {
 public:
  // Takes the three bytes from AStartIndex on; a shorter answer keeps the previous values.
  void Assign(const QByteArray& AData, int AStartIndex);

 protected:
  bool Bit(int ABit) const { return Field(ABit, 1) != 0; }
  int Field(int AFirstBit, int AWidth) const {
    return static_cast<int>((FBits >> AFirstBit) & ((1u << AWidth) - 1));
  }
  // The text for a coded field value: ATexts[AValue], the empty text past the end.
  static QString TextOf(int AValue, std::initializer_list<const char*> ATexts);
  // Copies another record's bits; an absent record clears them.
  void AssignBits(const TKX52xxCapabilityBits* AData) { FBits = AData ? AData->FBits : 0; }

 private:
  quint32 FBits = 0;
};
