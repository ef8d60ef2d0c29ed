#include <random>

#include "DeviceFixture.h"

// Arbitrary answers must never crash the model or make it read past a payload: run under the
// address and undefined-behaviour sanitizers this shows every decoder bounds its indexes.

namespace {

QByteArray RandomBytes(std::mt19937& ARandom, int AMaxLength) {
  std::uniform_int_distribution<int> length(0, AMaxLength);
  std::uniform_int_distribution<int> byte(0, 255);
  QByteArray out(length(ARandom), '\0');
  for (char& c : out) c = static_cast<char>(byte(ARandom));
  return out;
}

// History pieces that look like the real ones often enough to reach every branch.
QByteArray RandomPiece(std::mt19937& ARandom) {
  QByteArray piece = RandomBytes(ARandom, 24);
  if (!piece.isEmpty()) {
    std::uniform_int_distribution<int> kind(0, 3);
    piece[0] = static_cast<char>((kind(ARandom) << 6) | (piece[0] & 0x3F));
  }
  if (piece.size() > 14) {
    static const int kKinds[] = {17, 18, 19, 20, 21, 34, 35, 48, 80, 7};
    piece[14] = static_cast<char>(kKinds[ARandom() % std::size(kKinds)]);
  }
  return piece;
}

}  // namespace

class RandomInputTest : public DeviceModelTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(RandomInputTest, AnyPayloadForAnyCodeFromAnyLink) {
  std::mt19937 random(GetParam());
  TFakeCloudLink& cloud = IdentifyWithCloud(GetParam() % 2 ? "KX5220_FUZZ" : "KX5210_FUZZ");
  cloud.FakeDeviceID = "https://cloud.example";
  for (int i = 0; i < 3000; ++i) {
    const TCmdID code = static_cast<TCmdID>(i % 256);
    const QByteArray data = RandomBytes(random, 32);
    switch (random() % 4) {
      case 0:
        BLE().Feed(code, data);
        break;
      case 1:
        // The cloud link may have been dropped by a serial-number answer.
        if (TFakeCloudLink* c = Cloud()) c->Feed(code, data);
        break;
      default:
        USB().Feed(code, data);
        break;
    }
    // Keep the cloud link around for the forwarding paths.
    if (!Cloud()) Model->ConnectCloud(true);
  }
  SUCCEED() << Model->HistoryRecords().size() << " records";
}

TEST_P(RandomInputTest, AnySequenceOfHistoryPieces) {
  std::mt19937 random(GetParam());
  IdentifyWithCloud(GetParam() % 2 ? "KX5220_FUZZ" : "KX5210_FUZZ");
  int completed = 0;
  for (int i = 0; i < 4000; ++i) {
    const size_t before = Events.CmdAnswers.size();
    USB().Feed(kCmdHistory, RandomPiece(random));
    completed += Events.CmdAnswers.size() > before;
  }
  for (const auto& record : Model->HistoryRecords()) {
    EXPECT_LE(record->UserName().size(), 9);
    record->GetAsBytes();
  }
  EXPECT_GT(completed, 0);
  EXPECT_EQ(Model->LastRetrievedReport(), static_cast<int>(Model->HistoryRecords().size()));
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomInputTest, ::testing::Values(1u, 2u, 3u, 20240601u));
