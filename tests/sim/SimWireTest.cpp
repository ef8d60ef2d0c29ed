#include <gtest/gtest.h>

#include "KX52xx.Sim.Wire.h"
#include "SimTestSupport.h"

namespace {

using SimTest::Frame;

struct TKnownFrame {
  quint8 Code;
  const char* PayloadHex;
  const char* FrameHex;
};

class KnownFrames : public ::testing::TestWithParam<TKnownFrame> {};

// Both frame writers give the documented bytes, so each vouches for the other.
TEST_P(KnownFrames, BothWritersGiveTheDocumentedBytes) {
  const TKnownFrame& known = GetParam();
  const QByteArray payload = QByteArray::fromHex(known.PayloadHex);
  const QByteArray expected = QByteArray::fromHex(known.FrameHex);
  EXPECT_EQ(Frame(known.Code, payload).toHex(' '), expected.toHex(' '));
  EXPECT_EQ(KX52xxSimWire::BuildFrame(known.Code, payload).toHex(' '), expected.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(Wire, KnownFrames,
                         ::testing::Values(TKnownFrame{16, "", "AA10AC04"},
                                           TKnownFrame{2, "", "AA028404"},
                                           TKnownFrame{16, "000001F4", "AA100008000001F4"},
                                           TKnownFrame{5, "1234", "AA05C1061234"}));

TEST(SimWire, Crc8CheckValue) {
  EXPECT_EQ(KX52xxSimWire::Crc8("123456789"), 0xF7);
  EXPECT_EQ(SimTest::Crc8("123456789"), 0xF7);
}

TEST(SimWire, OversizedPayloadIsCutToOneFrame) {
  const QByteArray frame = KX52xxSimWire::BuildFrame(33, QByteArray(300, 'x'));
  EXPECT_EQ(frame.size(), 255);
  EXPECT_EQ(SimTest::U8(frame, 3), 255);
}

TEST(SimWire, BoundedReadsGiveZeroWhenShort) {
  EXPECT_EQ(KX52xxSimWire::ReadUInt32(QByteArray::fromHex("010203"), 0), 0u);
  EXPECT_EQ(KX52xxSimWire::ReadUInt16(QByteArray::fromHex("0102"), 1), 0u);
  EXPECT_EQ(KX52xxSimWire::ReadUInt16(QByteArray::fromHex("0102"), -1), 0u);
  EXPECT_EQ(KX52xxSimWire::ByteAt(QByteArray(), 0), 0);
  EXPECT_EQ(KX52xxSimWire::TerminatedBytes(QByteArray::fromHex("4142FF43"), 9), "AB");
  EXPECT_EQ(KX52xxSimWire::TerminatedBytes("ABCDEFGHIJK", 9), "ABCDEFGHI");
}

class FrameParserTest : public ::testing::Test {
 protected:
  void Feed(const QByteArray& bytes) { FParser.Feed(bytes, Collect()); }
  void Expire() { FParser.Expire(Collect()); }
  KX52xxSimWire::TFrameParser::FrameHandler Collect() {
    return [this](quint8 code, const QByteArray& payload) { FFrames.push_back({code, payload}); };
  }
  KX52xxSimWire::TFrameParser FParser;
  std::vector<SimTest::TFrame> FFrames;
};

TEST_F(FrameParserTest, SkipsGarbageAndBadChecksums) {
  QByteArray damaged = Frame(8);
  damaged[2] = char(damaged[2] ^ 0x01);
  Feed(QByteArray::fromHex("005513") + damaged + Frame(16) + QByteArray::fromHex("13"));
  ASSERT_EQ(FFrames.size(), 1u);
  EXPECT_EQ(FFrames[0].Code, 16);
  EXPECT_FALSE(FParser.HasPending());
}

TEST_F(FrameParserTest, WaitsForAFrameSplitAcrossDeliveries) {
  const QByteArray frame = Frame(33, QByteArray::fromHex("FFFFFFFF00000004"));
  Feed(frame.left(2));
  Feed(frame.mid(2, 5));
  EXPECT_TRUE(FFrames.empty());
  EXPECT_TRUE(FParser.HasPending());
  Feed(frame.mid(7));
  ASSERT_EQ(FFrames.size(), 1u);
  EXPECT_EQ(FFrames[0].Payload.toHex(), "ffffffff00000004");
}

// A length byte hit by noise must not swallow the frames behind it for good.
TEST_F(FrameParserTest, ExpireGivesUpAStalledFrameAndRecoversTheRest) {
  QByteArray stalled = Frame(2);
  stalled[3] = char(0xF0);
  Feed(stalled + Frame(16) + Frame(8));
  EXPECT_TRUE(FFrames.empty());
  Expire();
  ASSERT_EQ(FFrames.size(), 2u);
  EXPECT_EQ(FFrames[0].Code, 16);
  EXPECT_EQ(FFrames[1].Code, 8);
  EXPECT_FALSE(FParser.HasPending());
}

TEST_F(FrameParserTest, LengthBelowHeaderIsSkipped) {
  Feed(QByteArray::fromHex("AA020003") + Frame(2));
  ASSERT_EQ(FFrames.size(), 1u);
  EXPECT_EQ(FFrames[0].Code, 2);
}

}  // namespace
