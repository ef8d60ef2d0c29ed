#include <gtest/gtest.h>

#include "KX52xx.Sim.Device.h"
#include "SimTestSupport.h"

namespace {

using SimTest::Be32;
using SimTest::U16;
using SimTest::U32;
using SimTest::U8;

constexpr quint32 kNewest = 0xFFFFFFFF;

QByteArray HistoryRequest(quint32 first, quint32 count) { return Be32(first) + Be32(count); }

// One record as read back from its three pieces the way the application assembles them.
struct TAssembled {
  quint32 Number = 0;
  quint8 Kind = 0;
  quint8 Mask = 0;
  QByteArray Values;  // bytes 4..13 of the start piece
  QByteArray Name;
  bool CrcReportedGood = false;
  bool CrcMatches = false;
  quint32 Time = 0;
};

std::vector<TAssembled> Assemble(const std::vector<KX52xxSimMessage>& answers) {
  std::vector<TAssembled> records;
  for (size_t i = 0; i + 2 < answers.size(); i += 3) {
    const QByteArray& start = answers[i].Payload;
    const QByteArray& name = answers[i + 1].Payload;
    const QByteArray& time = answers[i + 2].Payload;
    EXPECT_EQ(answers[i].Code, 33);
    EXPECT_EQ(start.size(), 16);
    EXPECT_EQ(name.size(), 16);
    EXPECT_EQ(time.size(), 8);
    if (start.size() < 16 || name.size() < 16 || time.size() < 8) return records;
    EXPECT_EQ(U32(start, 0) >> 30, 0u);
    EXPECT_EQ(U32(name, 0) >> 30, 1u);
    EXPECT_EQ(U32(time, 0) >> 30, 2u);
    TAssembled record;
    record.Number = U32(start, 0) & 0x3FFFFFFF;
    record.Kind = U8(start, 14);
    record.Mask = U8(start, 15);
    record.Values = start.mid(4, 10);
    record.Name = name.mid(4, 9);
    record.CrcReportedGood = U8(name, 15) != 0x55;
    record.CrcMatches = SimTest::Crc8(start.mid(4) + name.mid(4, 9) + time.mid(4)) == U8(name, 13);
    record.Time = U32(time, 4);
    records.push_back(record);
  }
  return records;
}

class HistoryTest : public ::testing::TestWithParam<KX52xxSimModel> {
 protected:
  KX52xxSimDevice MakeDevice(int stored) {
    KX52xxSimConfig config;
    config.Model = GetParam();
    config.HistoryCount = stored;
    config.Seed = 7;
    return KX52xxSimDevice(config);
  }
};

TEST_P(HistoryTest, NewestRecordsComeAsThreeGoodPiecesEach) {
  KX52xxSimDevice device = MakeDevice(30);
  EXPECT_EQ(U32(device.HandleCommand(32, {}).at(0).Payload, 0), 30u);
  const std::vector<KX52xxSimMessage> answers =
      device.HandleCommand(33, HistoryRequest(kNewest, 8));
  ASSERT_EQ(answers.size(), 24u);
  const std::vector<TAssembled> records = Assemble(answers);
  ASSERT_EQ(records.size(), 8u);
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    const KX52xxSimHistoryRecord& stored = device.History()[22 + i];
    EXPECT_EQ(records[i].Number, 22 + i) << "the newest eight, oldest first";
    EXPECT_EQ(records[i].Kind, stored.Kind);
    EXPECT_EQ(records[i].Time, stored.DeviceTime);
    EXPECT_TRUE(records[i].CrcReportedGood);
    EXPECT_TRUE(records[i].CrcMatches);
    EXPECT_TRUE(records[i].Mask == 1 || records[i].Mask == 2);
    EXPECT_FALSE(SimTest::U8(records[i].Name, 0) == 0) << "a name or N/A";
    if (i > 0) {
      EXPECT_GT(records[i].Time, records[i - 1].Time);
    }
  }
  EXPECT_LT(records.back().Time, device.DeviceTime());
}

// Only a KX5220 keeps hazard alerts; every model keeps seal checks and breathing events.
TEST_P(HistoryTest, StoredKindsSuitTheModel) {
  KX52xxSimDevice device = MakeDevice(200);
  int hazards = 0, checks = 0;
  for (const KX52xxSimHistoryRecord& record : device.History()) {
    if (KX52xxSimKind::IsHazard(record.Kind)) ++hazards;
    if (KX52xxSimKind::IsSealCheckResult(record.Kind)) ++checks;
  }
  EXPECT_GT(checks, 50);
  if (GetParam() == KX52xxSimModel::KX5220) {
    EXPECT_GT(hazards, 10);
  } else {
    EXPECT_EQ(hazards, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Sim, HistoryTest,
                         ::testing::Values(KX52xxSimModel::KX5210, KX52xxSimModel::KX5211,
                                           KX52xxSimModel::KX5220),
                         [](const auto& info) { return ModelName(info.param).toStdString(); });

class HistoryRequestTest : public ::testing::Test {
 protected:
  KX52xxSimDevice FDevice{[] {
    KX52xxSimConfig config;
    config.HistoryCount = 5;
    return config;
  }()};
  size_t RecordsFor(const QByteArray& request) {
    return Assemble(FDevice.HandleCommand(33, request)).size();
  }
};

TEST_F(HistoryRequestTest, CountsAndRangesAreBounded) {
  EXPECT_EQ(RecordsFor(HistoryRequest(kNewest, 100)), 5u);
  EXPECT_EQ(RecordsFor(HistoryRequest(kNewest, 0)), 0u);
  EXPECT_EQ(RecordsFor(HistoryRequest(3, 10)), 2u);
  EXPECT_EQ(RecordsFor(HistoryRequest(7, 10)), 0u);
  EXPECT_EQ(RecordsFor(HistoryRequest(0xFFFFFFFE, 0xFFFFFFFF)), 0u);
  EXPECT_TRUE(FDevice.HandleCommand(33, QByteArray::fromHex("FFFFFFFF0000")).empty());
  const std::vector<TAssembled> fromStart =
      Assemble(FDevice.HandleCommand(33, HistoryRequest(1, 2)));
  ASSERT_EQ(fromStart.size(), 2u);
  EXPECT_EQ(fromStart[0].Number, 1u);
}

TEST_F(HistoryRequestTest, DamagedRecordIsReportedAndItsChecksumDisagrees) {
  KX52xxSimHistoryRecord damaged;
  damaged.Kind = 34;
  damaged.UserName = "BEN";
  damaged.Values = {1250, 800, 0, 0, 0};
  damaged.DeviceTime = 170942400;
  damaged.CrcGood = false;
  FDevice.AddHistoryRecord(damaged);
  const std::vector<TAssembled> newest =
      Assemble(FDevice.HandleCommand(33, HistoryRequest(kNewest, 1)));
  ASSERT_EQ(newest.size(), 1u);
  EXPECT_FALSE(newest[0].CrcReportedGood);
  EXPECT_FALSE(newest[0].CrcMatches);
  EXPECT_EQ(newest[0].Kind, 34);
  EXPECT_EQ(newest[0].Values.left(4).toHex(), "04e20320");
  EXPECT_EQ(newest[0].Name, QByteArray("BEN") + QByteArray(6, '\0'));
  EXPECT_EQ(newest[0].Time, 170942400u);
}

TEST_F(HistoryRequestTest, RecordWithoutWearerIsStoredAsNotAvailable) {
  FDevice.FinishSealCheck(true);
  const std::vector<TAssembled> newest =
      Assemble(FDevice.HandleCommand(33, HistoryRequest(kNewest, 1)));
  ASSERT_EQ(newest.size(), 1u);
  EXPECT_EQ(newest[0].Kind, 18);
  EXPECT_EQ(newest[0].Name.left(4), QByteArray("N/A", 4));
  EXPECT_TRUE(newest[0].CrcMatches);
  EXPECT_GT(qint16(U16(newest[0].Values, 0)), 3500) << "a pass held past the activation point";
}

}  // namespace
