#include <gtest/gtest.h>

#include <QList>

#include "KX52xx.Data.Phys.FTDI.h"
#include "SealwiseError.h"

namespace {

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

struct TBuildCase {
  const char* Title;
  TCmdID Cmd;
  QByteArray Payload;
  QByteArray Expected;
};

class FrameBuild : public ::testing::TestWithParam<TBuildCase> {};

TEST_P(FrameBuild, PutsStartCodeChecksumAndLengthBeforeThePayload) {
  const TBuildCase& c = GetParam();
  EXPECT_EQ(KX52xxFrame::Build(c.Cmd, c.Payload).toHex(' '), c.Expected.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(
    UsbFrame, FrameBuild,
    ::testing::Values(
        TBuildCase{"PressureRequest", 16, {}, Hex("aa10ac04")},
        TBuildCase{"NameRequest", 2, {}, Hex("aa028404")},
        TBuildCase{"WordWrite", 5, Hex("1234"), Hex("aa05c1061234")},
        TBuildCase{"PressureAnswer", 16, Hex("000001f4"), Hex("aa100008000001f4")},
        // Code 204 takes the caller's bytes as the frame and sets only its code and checksum.
        TBuildCase{"CommandChannelWholeFrame", 204, Hex("aa5a3304"), Hex("aacc5404")},
        TBuildCase{"CommandChannelTooShort", 204, Hex("aa0000"), {}},
        TBuildCase{"PayloadBeyondTheLengthByte", 33, QByteArray(252, 'x'), {}}),
    [](const auto& info) { return std::string(info.param.Title); });

TEST(UsbFrame, CommandChannelFrameKeepsItsBytesAndChecksumsTheAnnouncedLength) {
  const QByteArray frame = KX52xxFrame::Build(204, Hex("aa0000050799"));
  ASSERT_EQ(frame.size(), 6);
  EXPECT_EQ(quint8(frame[1]), 204);
  EXPECT_EQ(frame.mid(3), Hex("050799"));
  // The receiving side accepts it as one frame of five bytes.
  QList<QByteArray> split;
  KX52xxFrame::Split(frame.left(5), [&](const QByteArray& f) { split.append(f); });
  EXPECT_EQ(split, QList<QByteArray>{frame.left(5)});
}

TEST(UsbFrame, CommandChannelFrameWithALengthOutsideTheBlockIsRefused) {
  for (const QByteArray& block : {Hex("aa000000"), Hex("aa000005")}) {
    try {
      KX52xxFrame::Build(204, block);
      ADD_FAILURE() << "built " << block.toHex().constData();
    } catch (const ESealwiseError& e) {
      EXPECT_EQ(e.Message(), "Wrong stop index");
    }
  }
}

struct TSplitCase {
  const char* Title;
  QList<QByteArray> Blocks;
  QList<QByteArray> Frames;
  QByteArray Kept;
};

class FrameSplit : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(FrameSplit, HandsOnTheGoodFramesInOrderAndKeepsACutHeader) {
  const TSplitCase& c = GetParam();
  QList<QByteArray> frames;
  QByteArray kept;
  for (const QByteArray& block : c.Blocks) {
    kept = KX52xxFrame::Split(kept + block, [&](const QByteArray& f) { frames.append(f); });
  }
  EXPECT_EQ(frames, c.Frames);
  EXPECT_EQ(kept.toHex(' '), c.Kept.toHex(' '));
}

const QByteArray kPressure = Hex("aa100008000001f4");
const QByteArray kName = KX52xxFrame::Build(2, "KX5210_SIM");

INSTANTIATE_TEST_SUITE_P(
    UsbFrame, FrameSplit,
    ::testing::Values(
        TSplitCase{"LeadingGarbageDropped", {Hex("00") + kPressure}, {kPressure}, {}},
        TSplitCase{"HeaderCutAcrossTwoBlocks",
                   {Hex("1234aa10"), kPressure.mid(2)},
                   {kPressure},
                   {}},
        TSplitCase{"CutHeaderIsKeptUntilTheRestArrives", {kName + Hex("aa10")}, {kName},
                   Hex("aa10")},
        TSplitCase{"BadChecksumSkippedGoodFrameAfterItKept",
                   {Hex("aa100108000001f4") + kName},
                   {kName},
                   {}},
        TSplitCase{"OverLongLengthNotWaitedForBytesAfterItScanned",
                   {Hex("aa1000ff") + kPressure},
                   {kPressure},
                   {}},
        TSplitCase{"FrameCutAfterItsHeaderIsCompletedByTheNextBlock",
                   {kName + kPressure.left(6), kPressure.mid(6)},
                   {kName, kPressure},
                   {}},
        TSplitCase{"UnfinishedFrameIsKeptFromItsStartByte", {Hex("00") + kPressure.left(6)}, {},
                   kPressure.left(6)},
        TSplitCase{"NoisyLengthGivesWayToTheFramesAfterIt",
                   {Hex("aa1000ff") + kPressure.left(5), kPressure.mid(5) + kName},
                   {kPressure, kName},
                   {}},
        TSplitCase{"LengthBelowFourSkipped", {Hex("aa100003") + kPressure}, {kPressure}, {}},
        TSplitCase{"StartByteInsidePayloadIsNotAFrame",
                   {KX52xxFrame::Build(16, Hex("aa1000ff")) + kName},
                   {KX52xxFrame::Build(16, Hex("aa1000ff")), kName},
                   {}},
        TSplitCase{"CodeZeroIsStillAFrameHere",
                   {KX52xxFrame::Build(0, {})},
                   {KX52xxFrame::Build(0, {})},
                   {}},
        TSplitCase{"NothingButNoise", {Hex("00ff13aa")}, {}, Hex("aa")}),
    [](const auto& info) { return std::string(info.param.Title); });

}  // namespace
