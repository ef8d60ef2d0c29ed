#include "DeviceFixture.h"

namespace {

enum TExpectedEvent { evNone, evCmdAnswer, evReceivedData, evPressure, evAlert };

struct TDecodeCase {
  const char* Name;
  TCmdID Code;
  QByteArray Data;
  bool FromCloud;
  TExpectedEvent Event;
  std::function<void(const TKX52xxDeviceData&)> Check;
};

std::ostream& operator<<(std::ostream& os, const TDecodeCase& c) { return os << c.Name; }

const QByteArray kAGM = Bytes({0xFF, 0xFE, 0x00, 0x02, 0x00, 0x03,  // magnetometer Z Y X
                               0x00, 0x04, 0x80, 0x00, 0x7F, 0xFF,  // gyroscope Z Y X
                               0x00, 0x07, 0x00, 0x08, 0xFF, 0xFF,  // accelerometer Z Y X
                               0x0C, 0x97});

// Values the model holds before each case, so that a short answer can be seen to keep them.
void Prime(TFakeUSBLink& AUsb) {
  AUsb.Feed(kCmdDeviceName, "KX5210_PRIME");
  AUsb.Feed(kCmdManufacturer, "PRIMECO");
  AUsb.Feed(kCmdSensors, Bytes({0x00, 0x00, 0x01}));
  AUsb.Feed(kCmdFunctionality, Bytes({0x00, 0x00, 0x01}));
  AUsb.Feed(kCmdTempHumid, Bytes({5, 6}));
  AUsb.Feed(kCmdAGM, Bytes({0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 3, 0x66}));
  AUsb.Feed(kCmdSensitivity, Bytes({0x13, 0x88, 0x02}));
  AUsb.Feed(kCmdBattery, Bytes({42}));
}

void ExpectPrimedMotion(const TKX52xxDeviceData& m) {
  EXPECT_EQ(m.Acceleration(), (TAGMData{2, 1, 1, 1}));
  EXPECT_EQ(m.Gyroscope(), (TAGMData{125, 1, 1, 1}));
  EXPECT_EQ(m.Magnetometer(), (TAGMData{4, 1, 1, 1}));
}

auto Text(QString (TKX52xxDeviceData::*AGetter)() const, const char* AExpected) {
  return [AGetter, AExpected](const TKX52xxDeviceData& m) {
    EXPECT_EQ((m.*AGetter)(), QString::fromLatin1(AExpected));
  };
}

auto Time(int h, int n, int s, int y = 2019, int mo = 1, int d = 1) {
  return [=](const TKX52xxDeviceData& m) {
    EXPECT_EQ(m.DateTime(), TGlobals::MakeDateTime(y, mo, d, h, n, s));
  };
}

auto Sensitivity(float AValue, TMaskType AMask) {
  return [=](const TKX52xxDeviceData& m) {
    EXPECT_FLOAT_EQ(m.AlgSensitivity(), AValue);
    EXPECT_EQ(m.MaskType(), AMask);
  };
}

auto Nothing() {
  return [](const TKX52xxDeviceData& m) {
    EXPECT_EQ(m.DeviceName(), "KX5210_PRIME");
    EXPECT_EQ(m.ManufacturerName(), "PRIMECO");
    EXPECT_EQ(m.BatteryLevel(), 42);
    EXPECT_EQ(m.Temperature(), 5);
    Sensitivity(50, mtHM)(m);
    ExpectPrimedMotion(m);
  };
}

using M = TKX52xxDeviceData;

const TDecodeCase kCases[] = {
    {"Name", 2, QByteArray("KX5220_WEARER\0\0", 15), false, evReceivedData,
     [](const M& m) {
       EXPECT_EQ(m.DeviceName(), "KX5220_WEARER");
       EXPECT_EQ(m.DeviceType(), "KX5220");
       EXPECT_TRUE(m.Is5220());
       EXPECT_FALSE(m.Is5210());
     }},
    {"NameEmpty",
     2,
     {},
     false,
     evReceivedData,
     [](const M& m) {
       EXPECT_EQ(m.DeviceName(), "");
       EXPECT_EQ(m.DeviceType(), "");
       EXPECT_TRUE(m.Is5210());
     }},
    {"NameFromCloud", 2, "KX5220_CLOUD", true, evNone, Nothing()},
    {"Manufacturer", 3, " ACME\x01", false, evReceivedData, Text(&M::ManufacturerName, "ACME")},
    {"ManufacturerEmpty", 3, {}, false, evReceivedData, Text(&M::ManufacturerName, "")},
    {"ManufacturerFromCloud", 3, "X", true, evNone, Nothing()},
    {"Serial", 4, "SN-42\0", false, evReceivedData, Text(&M::SerialNumber, "SN-42")},
    {"SerialEmpty", 4, {}, false, evReceivedData, Text(&M::SerialNumber, "")},
    {"SerialFromCloud", 4, "SN-9", true, evNone, Text(&M::SerialNumber, "SN-0001")},
    {"Firmware", 5, "1.2.3", false, evReceivedData, Text(&M::FirmwareRev, "1.2.3")},
    {"FirmwareEmpty", 5, {}, false, evReceivedData, Text(&M::FirmwareRev, "")},
    {"FirmwareFromCloud", 5, "9", true, evNone, Text(&M::FirmwareRev, "")},
    {"Hardware", 6, "HW2", false, evReceivedData, Text(&M::HardwareRev, "HW2")},
    {"HardwareEmpty", 6, {}, false, evReceivedData, Text(&M::HardwareRev, "")},
    {"HardwareFromCloud", 6, "9", true, evNone, Text(&M::HardwareRev, "")},
    {"Software", 7, "SW3", false, evReceivedData, Text(&M::SoftwareRev, "SW3")},
    {"SoftwareEmpty", 7, {}, false, evReceivedData, Text(&M::SoftwareRev, "")},
    {"SoftwareFromCloud", 7, "9", true, evNone, Text(&M::SoftwareRev, "")},
    {"Battery", 8, Bytes({0xFF}), false, evCmdAnswer,
     [](const M& m) { EXPECT_EQ(m.BatteryLevel(), -1); }},
    {"BatteryEmpty", 8, {}, false, evCmdAnswer, [](const M& m) { EXPECT_EQ(m.BatteryLevel(), 0); }},
    {"BatteryFromCloud", 8, Bytes({77}), true, evCmdAnswer,
     [](const M& m) { EXPECT_EQ(m.BatteryLevel(), 77); }},
    {"Mac", 9, Bytes({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F}), false, evCmdAnswer,
     Text(&M::MACAddress, "00:1A:2B:3C:4D:5E")},
    {"MacShort", 9, Bytes({0x00, 0x1A, 0x2B}), false, evCmdAnswer,
     Text(&M::MACAddress, "00:1A:2B")},
    {"MacEmpty", 9, {}, false, evCmdAnswer, Text(&M::MACAddress, "")},
    {"Sensors", 10, Bytes({0x00, 0x00, 0xD5}), false, evCmdAnswer,
     [](const M& m) { EXPECT_EQ(m.Sensors().FlashMemorySize(), 3); }},
    {"SensorsShort", 10, Bytes({0xFF, 0xFF}), false, evCmdAnswer,
     [](const M& m) {
       EXPECT_TRUE(m.Sensors().BatteryCharger());
       EXPECT_FALSE(m.Sensors().SerialPort());
     }},
    {"SensorsEmpty",
     10,
     {},
     false,
     evCmdAnswer,
     [](const M& m) { EXPECT_TRUE(m.Sensors().BatteryCharger()); }},
    {"Functionality", 11, Bytes({0x00, 0x08, 0x00}), false, evCmdAnswer,
     [](const M& m) { EXPECT_EQ(m.DeviceFunctionality().DFU(), 2); }},
    {"FunctionalityEmpty",
     11,
     {},
     false,
     evCmdAnswer,
     [](const M& m) { EXPECT_TRUE(m.DeviceFunctionality().FixedSealwise()); }},
    {"FunctionalityShort", 11, Bytes({0xFF}), false, evCmdAnswer,
     [](const M& m) { EXPECT_TRUE(m.DeviceFunctionality().FixedSealwise()); }},
    {"Pressure", 16, Bytes({0x00, 0x00, 0x01, 0x00}), false, evPressure,
     [](const M& m) { EXPECT_EQ(m.Pressure(), 256); }},
    {"PressureShort", 16, Bytes({0x01, 0x00, 0x00}), false, evPressure,
     [](const M& m) { EXPECT_EQ(m.Pressure(), 0); }},
    {"PressureEmpty", 16, {}, false, evPressure, [](const M& m) { EXPECT_EQ(m.Pressure(), 0); }},
    {"PressureFromCloud", 16, Bytes({0, 0, 0, 9}), true, evNone,
     [](const M& m) { EXPECT_EQ(m.Pressure(), 0); }},
    {"TempHumid", 17, Bytes({0xC8, 45}), false, evCmdAnswer,
     [](const M& m) {
       EXPECT_EQ(m.Temperature(), 200);
       EXPECT_EQ(m.Humidity(), 45);
     }},
    {"TempHumidShort", 17, Bytes({30}), false, evCmdAnswer,
     [](const M& m) {
       EXPECT_EQ(m.Temperature(), 5);
       EXPECT_EQ(m.Humidity(), 6);
     }},
    {"TempHumidEmpty", 17, {}, false, evCmdAnswer, [](const M& m) { EXPECT_EQ(m.Humidity(), 6); }},
    {"TempHumidFromCloud", 17, Bytes({30, 31}), true, evNone, Nothing()},
    {"Motion", 18, kAGM, false, evCmdAnswer,
     [](const M& m) {
       EXPECT_EQ(m.Magnetometer(), (TAGMData{16, 3, 2, -2}));
       EXPECT_EQ(m.Gyroscope(), (TAGMData{1000, 32767, -32768, 4}));
       EXPECT_EQ(m.Acceleration(), (TAGMData{4, -1, 8, 7}));
     }},
    {"MotionShort", 18, kAGM.left(19), false, evCmdAnswer, ExpectPrimedMotion},
    {"MotionEmpty", 18, {}, false, evCmdAnswer, ExpectPrimedMotion},
    {"MotionFromCloud", 18, kAGM, true, evNone, ExpectPrimedMotion},
    {"Time", 20, Bytes({0x0A, 0x30, 0x5F, 0xC0}), false, evCmdAnswer, Time(12, 0, 0, 2024, 6, 1)},
    {"TimeShort", 20, Bytes({0x01, 0x00}), false, evCmdAnswer, Time(0, 4, 16)},
    {"TimeEmpty", 20, {}, false, evCmdAnswer, Time(0, 0, 0)},
    {"ReportCount", 32, Bytes({0, 0, 1, 0}), false, evCmdAnswer,
     [](const M& m) { EXPECT_EQ(m.NrReportsAvailable(), 256); }},
    {"ReportCountShort", 32, Bytes({0, 0, 1}), false, evCmdAnswer,
     [](const M& m) { EXPECT_EQ(m.NrReportsAvailable(), 0); }},
    {"ReportCountEmpty",
     32,
     {},
     false,
     evCmdAnswer,
     [](const M& m) { EXPECT_EQ(m.NrReportsAvailable(), 0); }},
    {"HistoryShort", 33, Bytes({0x80, 0, 0}), false, evNone,
     [](const M& m) { EXPECT_TRUE(m.HistoryRecords().empty()); }},
    {"HistoryEmpty",
     33,
     {},
     false,
     evNone,
     [](const M& m) { EXPECT_TRUE(m.HistoryRecords().empty()); }},
    {"CommandChannel", 204, Bytes({0xAA, 0x01}), false, evCmdAnswer, Nothing()},
    {"CommandChannelEmpty", 204, {}, false, evCmdAnswer, Nothing()},
    {"SetTimeAnswerEmpty", 241, {}, false, evNone, Nothing()},
    {"SetTimeAnswerZero", 241, Bytes({0}), false, evNone, Nothing()},
    {"DfuMode", 242, {}, false, evCmdAnswer, Nothing()},
    {"DfuModeWithData", 242, Bytes({1, 2}), false, evCmdAnswer, Nothing()},
    {"DfuModeFromCloud", 242, {}, true, evCmdAnswer, Nothing()},
    {"TimeFromCloudShort", 20, Bytes({1}), true, evNone, Time(0, 0, 1)},
    {"SensitivityFFM", 251, Bytes({0x0E, 0xA6, 0x01}), false, evCmdAnswer,
     Sensitivity(37.5, mtFFM)},
    {"SensitivityHM", 251, Bytes({0x13, 0x88, 0x02}), false, evCmdAnswer, Sensitivity(50, mtHM)},
    {"SensitivityOtherMask", 251, Bytes({0x00, 0x64, 0x07}), false, evCmdAnswer,
     Sensitivity(1, mtUndefined)},
    {"SensitivityWithoutMask", 251, Bytes({0x0E, 0xA6}), false, evCmdAnswer,
     Sensitivity(37.5, mtHM)},
    {"SensitivityOneByte", 251, Bytes({0x0E}), false, evNone, Nothing()},
    {"SensitivityEmpty", 251, {}, false, evNone, Nothing()},
    {"ActivationPoint", 252, Bytes({0x0D, 0xAC}), false, evCmdAnswer,
     [](const M& m) { EXPECT_FLOAT_EQ(m.KXActivatPt(), 35); }},
    {"ActivationPointOutOfRange", 252, Bytes({0x27, 0x10}), false, evCmdAnswer,
     [](const M& m) { EXPECT_FLOAT_EQ(m.KXActivatPt(), 100); }},
    {"ActivationPointEmpty",
     252,
     {},
     false,
     evCmdAnswer,
     [](const M& m) { EXPECT_FLOAT_EQ(m.KXActivatPt(), 0); }},
    {"ActivationPointShort", 252, Bytes({0x0D}), false, evCmdAnswer,
     [](const M& m) { EXPECT_FLOAT_EQ(m.KXActivatPt(), 0); }},
    {"Alert", 255, Bytes({34, 0, 0, 0, 1}), false, evAlert, Nothing()},
    {"AlertEmpty", 255, {}, false, evAlert, Nothing()},
    {"AlertFromCloud", 255, Bytes({18}), true, evAlert, Nothing()},
    {"UnknownZero", 0, Bytes({1, 2, 3}), false, evNone, Nothing()},
    {"ModelNumberNotDecoded", 1, "MODEL", false, evNone,
     [](const M& m) { EXPECT_EQ(m.ModelNumber(), ""); }},
    {"UnknownTwelve", 12, Bytes({1}), false, evNone, Nothing()},
    {"WriteOnlyCode", 253, Bytes({0, 1, 2}), false, evNone, Nothing()},
};

}  // namespace

class DeviceDecodingTest : public DeviceModelTest,
                           public ::testing::WithParamInterface<TDecodeCase> {};

TEST_P(DeviceDecodingTest, DecodesAndRaisesExactlyTheExpectedEvent) {
  const TDecodeCase& c = GetParam();
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_PRIME");
  Prime(USB());
  Events = TModelEvents();
  Events.Attach(*Model);

  if (c.FromCloud)
    cloud.Feed(c.Code, c.Data);
  else
    USB().Feed(c.Code, c.Data);

  const QString key = c.FromCloud ? CONN_CLOUD : CONN_FTDI;
  const size_t expectedCount = c.Event == evNone ? 0 : 1;
  EXPECT_EQ(Events.Count(), expectedCount);
  switch (c.Event) {
    case evNone:
      break;
    case evCmdAnswer:
      ASSERT_EQ(Events.CmdAnswers.size(), 1u);
      EXPECT_EQ(Events.CmdAnswers[0].Key, key);
      EXPECT_EQ(Events.CmdAnswers[0].Code, c.Code);
      EXPECT_EQ(Events.CmdAnswers[0].Data, c.Data);
      break;
    case evReceivedData:
      ASSERT_EQ(Events.ReceivedData.size(), 1u);
      EXPECT_EQ(Events.ReceivedData[0].Key, key);
      EXPECT_EQ(Events.ReceivedData[0].Code, c.Code);
      break;
    case evPressure:
      ASSERT_EQ(Events.Pressures.size(), 1u);
      EXPECT_EQ(Events.Pressures[0], std::make_pair(key, Model->Pressure()));
      break;
    case evAlert:
      ASSERT_EQ(Events.Alerts.size(), 1u);
      EXPECT_EQ(Events.Alerts[0].first, ToAlertType(TGlobals::DataTo_UInt8(c.Data, 0)));
      EXPECT_EQ(Events.Alerts[0].second, c.Data);
      break;
  }
  c.Check(*Model);
}

INSTANTIATE_TEST_SUITE_P(EveryCode, DeviceDecodingTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DeviceModelTest, IsA5210UntilANameIsRead) {
  EXPECT_TRUE(Model->Is5210());
  EXPECT_FALSE(Model->Is5220());
  Identify("kx5220_lower");  // the model's own test is case-sensitive
  EXPECT_TRUE(Model->Is5210());
}

TEST_F(DeviceModelTest, KX5220NameSendsTheDefaultUserAfterReportingTheName) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_FIRST");
  Configuration->SetDefaultUserName("WEARER");
  ClearCalls();
  size_t writesWhenReported = 99;
  Model->OnReceivedData = [&](TKX52xxDeviceData*, const QString&, TCmdID) {
    writesWhenReported = USB().PayloadsOf("Write", kCmdSetUserName).size();
  };
  USB().Feed(kCmdDeviceName, QByteArray("KX5220_WEARER\0\0\0", 16));
  EXPECT_EQ(writesWhenReported, 0u);
  EXPECT_EQ(cloud.Device_Type(), "KX5220");
  const std::vector<QByteArray> sent{"WEARER"};
  EXPECT_EQ(USB().PayloadsOf("Write", kCmdSetUserName), sent);
  EXPECT_EQ(BLE().PayloadsOf("Write", kCmdSetUserName), sent);
  EXPECT_EQ(cloud.PayloadsOf("Write", kCmdSetUserName), sent);
  EXPECT_EQ(Model->UserName(), "WEARER");
}

TEST_F(DeviceModelTest, KX5210NameSendsNoUserName) {
  Identify("KX5210_LAB");
  EXPECT_TRUE(USB().PayloadsOf("Write", kCmdSetUserName).empty());
}

TEST_F(DeviceModelTest, EmptySerialNumberSwitchesTheCloudOff) {
  IdentifyWithCloud("KX5210_LAB");
  USB().Feed(kCmdSerialNumber, {});
  EXPECT_EQ(Model->SerialNumber(), "");
  EXPECT_EQ(Cloud(), nullptr);
}

TEST_F(DeviceModelTest, SerialNumberReachesAnExistingCloudLink) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_LAB");
  USB().Feed(kCmdSerialNumber, "SN-0002");
  EXPECT_EQ(cloud.DeviceIDs.back(), "SN-0002");
  EXPECT_EQ(Cloud(), &cloud);
}

TEST_F(DeviceModelTest, CloudLinkThatRejectsItsServerIsDroppedBeforeTheSerialIsReported) {
  TKX52xxLinkFactory factory = FakeLinkFactory();
  factory[CONN_CLOUD].Create = [](void* AOwner, const QString& AName) {
    auto cloud = std::make_shared<TFakeCloudLink>(AOwner, AName);
    cloud->StateAfterConnect = dsServerError;
    return cloud;
  };
  Model = std::make_unique<TKX52xxDeviceData>(factory);
  Configuration->SetUseCloud(true);
  bool cloudWhenReported = true;
  Model->OnReceivedData = [&](TKX52xxDeviceData* m, const QString&, TCmdID ACode) {
    if (ACode == kCmdSerialNumber) cloudWhenReported = m->Connectors().contains(CONN_CLOUD);
  };
  Identify("KX5210_LAB", "SN-1");
  EXPECT_FALSE(cloudWhenReported);
  EXPECT_EQ(Cloud(), nullptr);
}

TEST_F(DeviceModelTest, CloudTimeSetsTheDeviceClockWithoutAnEvent) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_LAB");
  Events = TModelEvents();
  Events.Attach(*Model);
  const QByteArray now = Bytes({0x0A, 0x30, 0x5F, 0xC0});
  cloud.Feed(kCmdDateTime, now);
  cloud.Feed(kCmdDateTime, now);  // unchanged: not sent again
  const std::vector<QByteArray> sent{Bytes({0x0A, 0x30, 0x5F, 0xC1})};
  EXPECT_EQ(USB().PayloadsOf("WriteNow", kCmdSetDateTime), sent);
  EXPECT_EQ(BLE().PayloadsOf("WriteNow", kCmdSetDateTime), sent);
  EXPECT_EQ(Events.Count(), 0u);
  EXPECT_EQ(Model->DateTime(), TGlobals::MakeDateTime(2024, 6, 1, 12));
}

TEST_F(DeviceModelTest, DeviceTimeFromALocalLinkIsOnlyStored) {
  USB().Feed(kCmdDateTime, Bytes({0x0A, 0x30, 0x5F, 0xC0}));
  EXPECT_EQ(USB().CountOf("WriteNow"), 0);
  EXPECT_EQ(Model->DateTime(), TGlobals::MakeDateTime(2024, 6, 1, 12));
}

TEST_F(DeviceModelTest, SetTimeAnswerOneAsksTheTimeAgain) {
  USB().Feed(kCmdSetDateTime, Bytes({1}));
  EXPECT_EQ(USB().CodesOf("Read"), std::vector<TCmdID>{kCmdDateTime});
  EXPECT_EQ(BLE().CodesOf("Read"), std::vector<TCmdID>{kCmdDateTime});
}

TEST_F(DeviceModelTest, AnswersNeverSendSettingsBack) {
  for (TCmdID code : {kCmdSensitivity, kCmdActivationPoint})
    USB().Feed(code, Bytes({0x0D, 0xAC, 0x01}));
  EXPECT_TRUE(USB().Calls.empty());
  EXPECT_TRUE(BLE().Calls.empty());
}

TEST_F(DeviceModelTest, PressureIsForwardedToTheCloudAsText) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_LAB");
  USB().Feed(kCmdPressure, Bytes({0, 0, 0x30, 0x39}));
  EXPECT_EQ(cloud.PayloadsOf("Write", kCmdPressure), std::vector<QByteArray>{"12345"});
}

struct TForwardCase {
  int Kind;
  bool OnKX5210;
  bool OnKX5220;
};

class AlertForwardingTest : public DeviceModelTest,
                            public ::testing::WithParamInterface<TForwardCase> {};

TEST_P(AlertForwardingTest, ForwardsByKindAndModel) {
  const TForwardCase& c = GetParam();
  for (const char* name : {"KX5210_A", "KX5220_A"}) {
    TFakeCloudLink& cloud = IdentifyWithCloud(name);
    cloud.Calls.clear();
    const QByteArray payload = Bytes({c.Kind, 0, 0, 0, 5, 1, 2});
    USB().Feed(kCmdAlert, payload);
    const bool expected = Model->Is5210() ? c.OnKX5210 : c.OnKX5220;
    EXPECT_EQ(cloud.PayloadsOf("Write", kCmdAlert),
              expected ? std::vector<QByteArray>{payload} : std::vector<QByteArray>{})
        << name << " kind " << c.Kind;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AlertForwardingTest,
    ::testing::Values(TForwardCase{0, false, false}, TForwardCase{7, false, false},
                      TForwardCase{17, true, true}, TForwardCase{18, true, true},
                      TForwardCase{19, true, true}, TForwardCase{20, true, true},
                      TForwardCase{21, true, true}, TForwardCase{32, false, true},
                      TForwardCase{34, false, true}, TForwardCase{39, false, true},
                      TForwardCase{44, false, false}, TForwardCase{48, false, true},
                      TForwardCase{51, false, true}, TForwardCase{80, false, false},
                      TForwardCase{85, false, false}, TForwardCase{90, false, false}),
    [](const auto& info) { return "Kind" + std::to_string(info.param.Kind); });

TEST_F(DeviceModelTest, AlertWithoutCloudIsOnlyReported) {
  USB().Feed(kCmdAlert, Bytes({18, 0, 0, 0, 1}));
  ASSERT_EQ(Events.Alerts.size(), 1u);
  EXPECT_EQ(Events.Alerts[0].first, atSealwisePassed);
}
