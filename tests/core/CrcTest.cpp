#include <gtest/gtest.h>

#include "SealwiseError.h"
#include "Vek.CRC.h"

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out.append(static_cast<char>(v));
  return out;
}

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

TEST(Crc8, RangeErrors) {
  const QByteArray data("abcd");
  auto messageOf = [&](int start, int count) {
    try {
      CRC8(data, start, count);
    } catch (const ESealwiseError& e) {
      return e.Message();
    }
    return QString();
  };
  EXPECT_EQ(messageOf(4, 0), "Wrong start index");
  EXPECT_EQ(messageOf(-1, 1), "Wrong start index");
  EXPECT_EQ(messageOf(1, 4), "Wrong stop index");
  EXPECT_EQ(CRC8(data, 2, 0), 0xFF);
}

}  // namespace
