#include "DeviceFixture.h"

namespace {

using Payloads = std::vector<QByteArray>;

}  // namespace

class DeviceWritersTest : public DeviceModelTest {
 protected:
  // The payloads of ACmd written to each local link; both must agree.
  Payloads LocalWrites(TCmdID ACmd) {
    const Payloads usb = USB().PayloadsOf("Write", ACmd);
    EXPECT_EQ(BLE().PayloadsOf("Write", ACmd), usb);
    return usb;
  }
};

TEST_F(DeviceWritersTest, ActivationPointIsSentAsHundredths) {
  Model->SetKXActivatPt(80);
  EXPECT_EQ(LocalWrites(kCmdSetActivationPoint), Payloads{Bytes({0x1F, 0x40})});
  EXPECT_EQ(Model->KXActivatPt(), 80);
}

TEST_F(DeviceWritersTest, ActivationPointOutsideItsRangeRaisesAndChangesNothing) {
  Model->SetKXActivatPt(35);
  ClearCalls();
  for (float wrong : {80.5f, 19.99f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
    try {
      Model->SetKXActivatPt(wrong);
      ADD_FAILURE() << wrong << " was accepted";
    } catch (const ESealwiseError& e) {
      EXPECT_EQ(e.Message(), "Wrong Threshold value");
    }
  }
  EXPECT_EQ(Model->KXActivatPt(), 35);
  EXPECT_TRUE(LocalWrites(kCmdSetActivationPoint).empty());
}

TEST_F(DeviceWritersTest, ActivationPointWithTheSameHundredthsSendsNothing) {
  Model->SetKXActivatPt(35);
  ClearCalls();
  EXPECT_NO_THROW(Model->SetKXActivatPt(35.001f));
  EXPECT_TRUE(LocalWrites(kCmdSetActivationPoint).empty());
  EXPECT_EQ(Model->KXActivatPt(), 35);
  Model->SetKXActivatPt(20);
  EXPECT_EQ(LocalWrites(kCmdSetActivationPoint), Payloads{Bytes({0x07, 0xD0})});
}

TEST_F(DeviceWritersTest, SensitivityTravelsWithTheMaskType) {
  Model->SetMaskType(mtHM);
  EXPECT_TRUE(LocalWrites(kCmdSetSensitivity).empty());  // the mask type alone is only stored
  Model->SetAlgSensitivity(1.5f);
  EXPECT_EQ(LocalWrites(kCmdSetSensitivity), Payloads{Bytes({0x00, 0x96, 0x02})});
  Model->SetAlgSensitivity(1.505f);  // same hundredths
  EXPECT_EQ(LocalWrites(kCmdSetSensitivity).size(), 1u);
  Model->SetMaskType(mtFFM);
  Model->SetAlgSensitivity(37.5f);
  EXPECT_EQ(LocalWrites(kCmdSetSensitivity).back(), Bytes({0x0E, 0xA6, 0x01}));
}

TEST_F(DeviceWritersTest, DeviceNameKeepsTheTypeAndSendsTheUserPart) {
  Identify("KX5210_XYZ");
  Model->SetDeviceName("XYZ");
  EXPECT_TRUE(LocalWrites(kCmdSetDeviceName).empty());
  Model->SetDeviceName("ABC");
  EXPECT_EQ(Model->DeviceName(), "KX5210_ABC");
  EXPECT_EQ(LocalWrites(kCmdSetDeviceName), Payloads{Bytes({0x41, 0x42, 0x43})});
}

TEST_F(DeviceWritersTest, LongDeviceNameIsStoredCutButSentWhole) {
  Identify("KX5210_XYZ");
  Model->SetDeviceName("ABCDEFGHIJKL");
  EXPECT_EQ(Model->DeviceName(), "KX5210_ABCDEFGHI");
  EXPECT_EQ(LocalWrites(kCmdSetDeviceName), Payloads{"ABCDEFGHIJKL"});
}

TEST_F(DeviceWritersTest, UserNameIsCutToTenAndSentToEveryLinkEachTime) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_X");
  ClearCalls();
  Model->SetUserName("ABCDEFGHIJKL");
  Model->SetUserName("ABCDEFGHIJKL");
  EXPECT_EQ(Model->UserName(), "ABCDEFGHIJ");
  const Payloads twice{"ABCDEFGHIJ", "ABCDEFGHIJ"};
  EXPECT_EQ(LocalWrites(kCmdSetUserName), twice);
  EXPECT_EQ(cloud.PayloadsOf("Write", kCmdSetUserName), twice);
}

TEST_F(DeviceWritersTest, DateTimeGoesAheadOfQueuedTrafficOneSecondLater) {
  const TDateTime at = TGlobals::MakeDateTime(2024, 6, 1, 12);
  Model->SetDateTime(at);
  Model->SetDateTime(at);
  const Payloads expected{Bytes({0x0A, 0x30, 0x5F, 0xC1})};
  EXPECT_EQ(USB().PayloadsOf("WriteNow", kCmdSetDateTime), expected);
  EXPECT_EQ(BLE().PayloadsOf("WriteNow", kCmdSetDateTime), expected);
  EXPECT_EQ(USB().CountOf("Write"), 0);
  EXPECT_EQ(Model->DateTime(), at);
}

TEST_F(DeviceWritersTest, PressureIsForwardedAsDecimalTextOnlyWithACloudLink) {
  Model->SetPressure(-12);
  EXPECT_EQ(USB().CountOf("Write"), 0);
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_X");
  Model->SetPressure(1234);
  EXPECT_EQ(cloud.PayloadsOf("Write", kCmdPressure), Payloads{"1234"});
  EXPECT_EQ(Model->Pressure(), 1234);
}

TEST_F(DeviceWritersTest, AskOperationsReadFromTheLocalLinksOnly) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_X");
  ClearCalls();
  Model->AskBattery();
  Model->AskMACAddress();
  Model->AskSensors();
  Model->AskDeviceFunctionality();
  Model->AskTempHumid();
  Model->AskAGM();
  Model->AskDateTime();
  Model->AskDFUMode();
  const std::vector<TCmdID> reads{8, 9, 10, 11, 17, 18, 20};
  EXPECT_EQ(USB().CodesOf("Read"), reads);
  EXPECT_EQ(BLE().CodesOf("Read"), reads);
  EXPECT_EQ(LocalWrites(kCmdDFUMode), Payloads{QByteArray()});
  EXPECT_TRUE(cloud.Calls.empty());
}

TEST_F(DeviceWritersTest, HistoryRequestGoesToConnectedLocalLinksOnly) {
  USB().State = dsConnected;
  Model->FillHistoryRecords(-1, 16);
  Model->FillHistoryRecords(0x01020304, 2);
  EXPECT_EQ(
      USB().PayloadsOf("Write", kCmdHistory),
      (Payloads{Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x10}), Bytes({1, 2, 3, 4, 0, 0, 0, 2})}));
  EXPECT_TRUE(BLE().Calls.empty());
}

TEST_F(DeviceWritersTest, StoringWritersSendNothing) {
  Model->SetBatteryLevel(50);
  Model->SetTemperature(21.5f);
  Model->SetSerialNumber("SN");
  Model->SetMACAddress("00:11");
  Model->SetDisableBLE(true);
  Model->SetAcceleration({2, 1, 2, 3});
  TKX52xxSensors sensors;
  sensors.Assign(Bytes({0, 0, 1}), 0);
  Model->SetSensors(sensors);
  EXPECT_TRUE(Model->Sensors().BatteryCharger());
  EXPECT_TRUE(Model->DisableBLE());
  EXPECT_EQ(Model->Acceleration(), (TAGMData{2, 1, 2, 3}));
  EXPECT_TRUE(USB().Calls.empty());
  EXPECT_TRUE(BLE().Calls.empty());
}
