#include <gtest/gtest.h>

#include "SealwiseError.h"
#include "TestBytes.h"
#include "Vek.CRC.h"

namespace {

TEST(Crc8, CheckValueOverDigits) { EXPECT_EQ(CRC8(QByteArray("123456789"), 0, 9), 0xF7); }

class Crc8Frames : public ::testing::TestWithParam<QByteArray> {};

// The checksum byte is taken as 0xFF while computing over the whole frame.
TEST_P(Crc8Frames, MatchesStoredChecksum) {
  QByteArray frame = GetParam();
  const quint8 stored = static_cast<quint8>(frame.at(2));
  frame[2] = char(0xFF);
  EXPECT_EQ(CRC8(frame, 0, frame.size()), stored);
}

INSTANTIATE_TEST_SUITE_P(KnownFrames, Crc8Frames,
                         ::testing::Values(Bytes({0xAA, 0x10, 0xAC, 0x04}),
                                           Bytes({0xAA, 0x02, 0x84, 0x04}),
                                           Bytes({0xAA, 0x10, 0x00, 0x08, 0x00, 0x00, 0x01, 0xF4}),
                                           Bytes({0xAA, 0x05, 0xC1, 0x06, 0x12, 0x34})));

// A range outside the array raises; any range inside it is checked like the bytes alone.
struct CrcRange {
  QByteArray data;
  int start;
  int count;
  const char* error;  // nullptr: no error expected
};

class Crc8Ranges : public ::testing::TestWithParam<CrcRange> {};

TEST_P(Crc8Ranges, RaisesOnlyOutsideTheArray) {
  const CrcRange& c = GetParam();
  if (c.error) {
    try {
      CRC8(c.data, c.start, c.count);
      FAIL() << "no error for start " << c.start << " count " << c.count;
    } catch (const ESealwiseError& e) {
      EXPECT_EQ(e.Message(), QString::fromLatin1(c.error));
    }
    return;
  }
  const QByteArray alone = c.data.mid(c.start, qMax(c.count, 0));
  const quint8 expected = alone.isEmpty() ? 0xFF : CRC8(alone, 0, int(alone.size()));
  EXPECT_EQ(CRC8(c.data, c.start, c.count), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, Crc8Ranges,
    ::testing::Values(CrcRange{QByteArray("abcd"), 4, 0, "Wrong start index"},
                      CrcRange{QByteArray("abcd"), -1, 1, "Wrong start index"},
                      CrcRange{QByteArray(), 0, 0, "Wrong start index"},
                      CrcRange{QByteArray("abcd"), 1, 4, "Wrong stop index"},
                      CrcRange{QByteArray("abcd"), 0, -2, "Wrong stop index"},
                      CrcRange{QByteArray("abcd"), 2, 0, nullptr},
                      CrcRange{QByteArray("abcd"), 0, 0, nullptr},
                      CrcRange{QByteArray("abcd"), 3, 1, nullptr},
                      CrcRange{QByteArray("abcd"), 1, 2, nullptr}));

}  // namespace
