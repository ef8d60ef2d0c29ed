#include <gtest/gtest.h>

#include "KX52xx.Sim.Device.h"
#include "SimTestSupport.h"

namespace {

using SimTest::Be32;
using SimTest::U16;
using SimTest::U32;
using SimTest::U8;

KX52xxSimConfig ConfigFor(KX52xxSimModel model, int history = 0) {
  KX52xxSimConfig config;
  config.Model = model;
  config.UserPart = QStringLiteral("LAB3");
  config.HistoryCount = history;
  return config;
}

// The one answer a command gives; an empty code when it gives none or several.
KX52xxSimMessage OnlyAnswer(KX52xxSimDevice& device, quint8 code, const QByteArray& payload = {}) {
  const std::vector<KX52xxSimMessage> answers = device.HandleCommand(code, payload);
  return answers.size() == 1 ? answers.front() : KX52xxSimMessage{};
}

quint32 Bits24(const QByteArray& record) {
  return quint32(U8(record, 0)) << 16 | quint32(U8(record, 1)) << 8 | U8(record, 2);
}

class ModelTest : public ::testing::TestWithParam<KX52xxSimModel> {};

TEST_P(ModelTest, NameAnswerIsTheModelAndUserPartPaddedToSixteenBytes) {
  KX52xxSimDevice device(ConfigFor(GetParam()));
  const KX52xxSimMessage answer = OnlyAnswer(device, 2);
  EXPECT_EQ(answer.Code, 2);
  ASSERT_EQ(answer.Payload.size(), 16);
  EXPECT_EQ(answer.Payload.left(11), (ModelName(GetParam()) + "_LAB3").toLatin1());
  EXPECT_EQ(answer.Payload.mid(11), QByteArray(5, '\0'));
  EXPECT_EQ(OnlyAnswer(device, 1).Payload, ModelName(GetParam()).toLatin1());
}

// The capability records tell the models apart the way the application reads them.
TEST_P(ModelTest, CapabilityRecordsMatchTheModel) {
  const KX52xxSimModel model = GetParam();
  KX52xxSimDevice device(ConfigFor(model));
  const quint32 sensors = Bits24(OnlyAnswer(device, 10).Payload);
  const quint32 functions = Bits24(OnlyAnswer(device, 11).Payload);
  EXPECT_EQ((sensors >> 2) & 3, 1u) << "USB C";
  EXPECT_EQ((sensors >> 4) & 3, 1u) << "BLE 4.2";
  EXPECT_TRUE(sensors & (1u << 13)) << "pressure sensor";
  EXPECT_EQ(bool(sensors & (1u << 10)), model != KX52xxSimModel::KX5210) << "accelerometer";
  EXPECT_EQ(bool(sensors & (1u << 12)), model == KX52xxSimModel::KX5220) << "magnetometer";
  EXPECT_EQ((functions >> 10) & 3, 2u) << "DFU by USB and BLE";
  EXPECT_EQ((functions >> 3) & 3, 1u) << "temperature in degrees Celsius";
  const quint32 hazardAlerts = 0xFFu << 13;
  EXPECT_EQ(functions & hazardAlerts, model == KX52xxSimModel::KX5220 ? hazardAlerts : 0u);
}

TEST_P(ModelTest, MotionAnswerCarriesTheRangeCodes) {
  const KX52xxSimModel model = GetParam();
  KX52xxSimDevice device(ConfigFor(model));
  const QByteArray motion = OnlyAnswer(device, 18).Payload;
  ASSERT_EQ(motion.size(), 20);
  if (model == KX52xxSimModel::KX5210) {
    EXPECT_EQ(motion, QByteArray(20, '\0'));
    return;
  }
  EXPECT_EQ(U8(motion, 19), 0x97) << "gyroscope 1000 dps, accelerometer 4 g";
  EXPECT_EQ(qint16(U16(motion, 12)), 8192) << "1 g on Z";
  EXPECT_EQ(U8(motion, 18), model == KX52xxSimModel::KX5220 ? 12 : 0);
}

INSTANTIATE_TEST_SUITE_P(Sim, ModelTest,
                         ::testing::Values(KX52xxSimModel::KX5210, KX52xxSimModel::KX5211,
                                           KX52xxSimModel::KX5220),
                         [](const auto& info) { return ModelName(info.param).toStdString(); });

struct TCommandCase {
  quint8 Code;
  const char* RequestHex;
  int AnswerSize;  // -1: no answer
};

class CommandTest : public ::testing::TestWithParam<TCommandCase> {};

TEST_P(CommandTest, AnswersWithItsCodeAndPayloadSize) {
  const TCommandCase& command = GetParam();
  KX52xxSimConfig config = ConfigFor(KX52xxSimModel::KX5220);
  config.SerialNumber = QStringLiteral("5220-00042");
  KX52xxSimDevice device(config);
  const std::vector<KX52xxSimMessage> answers =
      device.HandleCommand(command.Code, QByteArray::fromHex(command.RequestHex));
  if (command.AnswerSize < 0) {
    EXPECT_TRUE(answers.empty());
  } else {
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].Code, command.Code);
    EXPECT_EQ(answers[0].Payload.size(), command.AnswerSize);
  }
  ASSERT_FALSE(device.ReceivedCommands().empty());
  EXPECT_EQ(device.ReceivedCommands().back().Code, command.Code);
  EXPECT_EQ(device.ReceivedCommands().back().Payload.toHex(),
            QByteArray(command.RequestHex).toLower());
}

INSTANTIATE_TEST_SUITE_P(
    Sim, CommandTest,
    ::testing::Values(
        TCommandCase{1, "", 6}, TCommandCase{2, "", 16}, TCommandCase{3, "", 17},
        TCommandCase{4, "", 10}, TCommandCase{5, "", 5}, TCommandCase{6, "", 1},
        TCommandCase{7, "", 8}, TCommandCase{8, "", 1}, TCommandCase{9, "", 6},
        TCommandCase{10, "", 3}, TCommandCase{11, "", 3}, TCommandCase{15, "4142", -1},
        TCommandCase{16, "", 4}, TCommandCase{17, "", 2}, TCommandCase{18, "", 20},
        TCommandCase{20, "", 4}, TCommandCase{32, "", 4}, TCommandCase{240, "414E4E41", -1},
        TCommandCase{241, "0A305FC1", 1}, TCommandCase{242, "", 1}, TCommandCase{251, "", 3},
        TCommandCase{252, "", 2}, TCommandCase{253, "009602", -1}, TCommandCase{254, "1F40", -1},
        TCommandCase{255, "", 1}, TCommandCase{204, "", -1}, TCommandCase{99, "", -1}),
    [](const auto& info) { return "code" + std::to_string(info.param.Code); });

class DeviceTest : public ::testing::Test {
 protected:
  KX52xxSimDevice FDevice{ConfigFor(KX52xxSimModel::KX5220, 0)};
  std::vector<KX52xxSimMessage> FNotified;
  void SetUp() override {
    FDevice.OnNotify = [this](const KX52xxSimMessage& m) { FNotified.push_back(m); };
  }
};

TEST_F(DeviceTest, SettingsWritesChangeLaterReads) {
  FDevice.HandleCommand(15, "WORKSHOP7XYZ");  // longer than the nine characters kept
  EXPECT_EQ(OnlyAnswer(FDevice, 2).Payload.left(16), QByteArray("KX5220_WORKSHOP7"));
  FDevice.HandleCommand(253, QByteArray::fromHex("009602"));
  EXPECT_EQ(OnlyAnswer(FDevice, 251).Payload.toHex(), "009602");
  FDevice.HandleCommand(254, QByteArray::fromHex("1F40"));
  EXPECT_EQ(OnlyAnswer(FDevice, 252).Payload.toHex(), "1f40");
  FDevice.HandleCommand(240, "ANNABELLE-JONES");
  EXPECT_EQ(FDevice.Settings().UserName, "ANNABELLE-");
  EXPECT_EQ(FDevice.Settings().MaskType, 2);
}

TEST_F(DeviceTest, ShortSettingWritesAreIgnored) {
  FDevice.HandleCommand(253, QByteArray::fromHex("01"));
  FDevice.HandleCommand(254, QByteArray::fromHex("01"));
  EXPECT_EQ(OnlyAnswer(FDevice, 251).Payload.toHex(), "0ea601");
  EXPECT_EQ(OnlyAnswer(FDevice, 252).Payload.toHex(), "0dac");
  EXPECT_EQ(OnlyAnswer(FDevice, 241, QByteArray::fromHex("0102")).Payload.toHex(), "00");
  EXPECT_FALSE(FDevice.LastTimeSet().has_value());
}

TEST_F(DeviceTest, SetTimeMovesTheClockAndAsksForARead) {
  const quint32 set = 170942401;  // 2024-06-01 12:00:01
  EXPECT_EQ(OnlyAnswer(FDevice, 241, Be32(set)).Payload.toHex(), "01");
  ASSERT_TRUE(FDevice.LastTimeSet().has_value());
  EXPECT_EQ(*FDevice.LastTimeSet(), set);
  const quint32 read = U32(OnlyAnswer(FDevice, 20).Payload, 0);
  EXPECT_GE(read, set);
  EXPECT_LE(read, set + 2);
}

TEST_F(DeviceTest, DfuRequestIsAnsweredAndRemembered) {
  EXPECT_FALSE(FDevice.InDfuMode());
  EXPECT_EQ(OnlyAnswer(FDevice, 242).Code, 242);
  EXPECT_TRUE(FDevice.InDfuMode());
}

TEST_F(DeviceTest, SealCheckNotifiesStartAndResultWithItsValues) {
  FDevice.HandleCommand(240, "ANNA");
  FDevice.StartSealCheck();
  EXPECT_TRUE(FDevice.SealCheckRunning());
  KX52xxSimSealCheck check;
  check.Passed = false;
  check.LowestPoint = 1234;
  check.StartPoint = 3500;
  check.EndPoint = 950;
  check.FailPoint = -20;
  check.Samples = 412;
  FDevice.FinishSealCheck(check);
  EXPECT_FALSE(FDevice.SealCheckRunning());
  ASSERT_EQ(FNotified.size(), 2u);
  EXPECT_EQ(FNotified[0].Code, 255);
  EXPECT_EQ(FNotified[0].Payload.size(), 5);
  EXPECT_EQ(U8(FNotified[0].Payload, 0), 17);
  const QByteArray result = FNotified[1].Payload;
  ASSERT_EQ(result.size(), 15);
  EXPECT_EQ(U8(result, 0), 19);
  EXPECT_NEAR(double(U32(result, 1)), double(FDevice.DeviceTime()), 2.0);
  EXPECT_EQ(result.mid(5).toHex(), "04d20dac03b6ffec019c");
  ASSERT_EQ(FDevice.History().size(), 1u);
  EXPECT_EQ(FDevice.History()[0].Kind, 19);
  EXPECT_EQ(FDevice.History()[0].UserName, "ANNA");
  EXPECT_EQ(U32(OnlyAnswer(FDevice, 32).Payload, 0), 1u);
}

TEST_F(DeviceTest, AlertsCarryMeasuredAndReferenceValues) {
  FDevice.RaiseAlert(37, KX52xxSimAlertValues{4150, 4000});
  FDevice.RaiseAlert(34);
  FDevice.RaiseBreathingEvent(21);
  FDevice.RaiseLedState(86);
  ASSERT_EQ(FNotified.size(), 4u);
  EXPECT_EQ(FNotified[0].Payload.toHex(), "250000103600000fa0");
  const QByteArray impact = FNotified[1].Payload;
  ASSERT_EQ(impact.size(), 9);
  EXPECT_GT(U32(impact, 1), U32(impact, 5)) << "an impact harder than its limit";
  EXPECT_EQ(FNotified[2].Payload.size(), 5);
  EXPECT_EQ(U8(FNotified[2].Payload, 0), 21);
  EXPECT_EQ(FNotified[3].Payload.toHex(), "56");
  EXPECT_EQ(OnlyAnswer(FDevice, 255).Payload.toHex(), "56") << "a read gives the last event";
  EXPECT_EQ(FDevice.History().size(), 3u) << "alerts and breathing events are stored";
}

TEST_F(DeviceTest, PressureBreathesAroundAmbientAndDropsDuringACheck) {
  quint32 low = 0xFFFFFFFF, high = 0;
  for (int i = 0; i < 40; ++i) {
    const quint32 value = U32(OnlyAnswer(FDevice, 16).Payload, 0);
    low = std::min(low, value);
    high = std::max(high, value);
    ProcessEventsFor(5);
  }
  EXPECT_GT(low, 101000u);
  EXPECT_LT(high, 101700u);
  EXPECT_GT(high, low) << "the reading is alive";
  FDevice.StartSealCheck();
  // The held inhalation reaches past the activation point (35 Pa) within the ramp.
  EXPECT_TRUE(WaitUntil([&] { return FDevice.CurrentPressure() < 101325 - 35; }, 2000));
}

TEST_F(DeviceTest, ReceivedLogCountsEveryCommand) {
  for (int i = 0; i < 3; ++i) FDevice.HandleCommand(16, {});
  FDevice.HandleCommand(8, {});
  EXPECT_EQ(FDevice.ReceivedCount(16), 3);
  EXPECT_EQ(FDevice.ReceivedCommands().size(), 4u);
  FDevice.ClearReceivedCommands();
  EXPECT_TRUE(FDevice.ReceivedCommands().empty());
  EXPECT_EQ(FDevice.ReceivedCount(16), 3);
}

}  // namespace
