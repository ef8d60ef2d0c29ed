#include <gtest/gtest.h>

#include <QThread>
#include <cmath>

#include "KX52xx.Data.Commands.h"
#include "SealwiseError.h"
#include "TestWait.h"
#include "UsbRig.h"

namespace {

KX52xxSimOptions OptionsFor(KX52xxSimModel model, int historyCount = 12) {
  KX52xxSimOptions options;
  options.Device.Model = model;
  options.Device.SerialNumber = QStringLiteral("SN-4711");
  options.Device.HistoryCount = historyCount;
  return options;
}

class UsbEndToEnd : public ::testing::Test {
 protected:
  void StartAndConnect(const KX52xxSimOptions& options) {
    FRig = std::make_unique<TUsbRig>(options);
    ASSERT_TRUE(FRig->Start());
    ASSERT_TRUE(FRig->Connect());
  }
  void TearDown() override { FRig.reset(); }

  std::unique_ptr<TUsbRig> FRig;
};

class UsbEndToEndModel : public UsbEndToEnd,
                         public ::testing::WithParamInterface<KX52xxSimModel> {};

TEST_P(UsbEndToEndModel, TheConnectionSequenceFillsTheDeviceModel) {
  StartAndConnect(OptionsFor(GetParam()));
  ASSERT_TRUE(FRig->WaitForConnectionSequence());
  TKX52xxDeviceData& model = FRig->Model();
  const KX52xxSimConfig device = Completed(FRig->Sim().Device().Config());
  const QString modelName = ModelName(GetParam());

  EXPECT_EQ(model.DeviceID(), modelName);
  EXPECT_EQ(model.DeviceType(), modelName);
  EXPECT_EQ(model.DeviceName(), modelName + "_SIM");
  EXPECT_TRUE(model.IsUSBConnected());
  EXPECT_EQ(model.Is5220(), GetParam() == KX52xxSimModel::KX5220);
  EXPECT_EQ(model.ManufacturerName(), device.Manufacturer);
  EXPECT_EQ(model.SerialNumber(), device.SerialNumber);
  EXPECT_EQ(model.FirmwareRev(), device.FirmwareRev);
  EXPECT_EQ(model.HardwareRev(), device.HardwareRev);
  EXPECT_EQ(model.SoftwareRev(), device.SoftwareRev);
  EXPECT_EQ(model.MACAddress(), MACAddressText(device.MacAddress));
  EXPECT_EQ(model.BatteryLevel(), device.BatteryLevel);
  EXPECT_EQ(model.NrReportsAvailable(), device.HistoryCount);
  EXPECT_LT(std::abs(model.DateTime().secsTo(TGlobals::Now())), 5);
  EXPECT_GT(model.Pressure(), 0);
  EXPECT_FLOAT_EQ(model.KXActivatPt(), FRig->Sim().Device().Settings().ActivationPoint100 / 100.0f);
  EXPECT_FLOAT_EQ(model.AlgSensitivity(), FRig->Sim().Device().Settings().Sensitivity100 / 100.0f);
  EXPECT_EQ(model.MaskType(), TMaskType(FRig->Sim().Device().Settings().MaskType));

  const auto motion = DecodeAGM(MotionRecord(RestingMotion(GetParam())));
  ASSERT_TRUE(motion.has_value());
  EXPECT_EQ(model.Acceleration(), motion->Acceleration);
  EXPECT_EQ(model.Gyroscope(), motion->Gyroscope);
  EXPECT_EQ(model.Magnetometer(), motion->Magnetometer);

  TKX52xxSensors sensors;
  sensors.Assign(SensorRecord(GetParam()), 0);
  EXPECT_EQ(model.Sensors().FlashMemorySize(), sensors.FlashMemorySize());
  EXPECT_EQ(model.Sensors().Gyroscope(), sensors.Gyroscope());
  EXPECT_EQ(model.Sensors().MagneticSensor(), sensors.MagneticSensor());
  TKX52xxFunctionality functions;
  functions.Assign(FunctionalityRecord(GetParam()), 0);
  EXPECT_EQ(model.DeviceFunctionality().ImpactDetection(), functions.ImpactDetection());
  EXPECT_EQ(model.DeviceFunctionality().Alert_Impact(), functions.Alert_Impact());

  model.AskTempHumid();
  EXPECT_TRUE(WaitUntil([&] { return model.Humidity() == device.Humidity; }));
  EXPECT_FLOAT_EQ(model.Temperature(), device.Temperature);
}

INSTANTIATE_TEST_SUITE_P(UsbEndToEnd, UsbEndToEndModel,
                         ::testing::Values(KX52xxSimModel::KX5210, KX52xxSimModel::KX5211,
                                           KX52xxSimModel::KX5220),
                         [](const auto& info) { return ModelName(info.param).toStdString(); });

TEST_F(UsbEndToEnd, ThePressureStreamArrivesWhileConnected) {
  StartAndConnect(OptionsFor(KX52xxSimModel::KX5210));
  std::vector<int> pressures;
  FRig->Model().OnReceivedPressure = [&](TKX52xxDeviceData*, const QString& connector,
                                         const TDateTime& at, int pressure) {
    EXPECT_EQ(connector, CONN_FTDI);
    EXPECT_TRUE(at.isValid());
    pressures.push_back(pressure);
  };
  // Twenty requests a second at the send pace; a generous share of them is enough here.
  ProcessEventsFor(2000);
  EXPECT_GE(pressures.size(), 20u);
  EXPECT_GT(*std::max_element(pressures.begin(), pressures.end()),
            *std::min_element(pressures.begin(), pressures.end()));
}

TEST_F(UsbEndToEnd, AFortyRecordHistoryIsReadAndAssembledInOrder) {
  StartAndConnect(OptionsFor(KX52xxSimModel::KX5220, 40));
  ASSERT_TRUE(FRig->WaitForConnectionSequence());
  TKX52xxDeviceData& model = FRig->Model();
  int completed = 0;
  model.OnReceivedCmdAnswer = [&](TKX52xxDeviceData*, const QString&, TCmdID code,
                                  const QByteArray&) { completed += code == kCmdHistory; };

  model.FillHistoryRecords(-1, 40);

  ASSERT_TRUE(WaitUntil([&] { return completed == 40; }, 10000)) << completed;
  const auto& stored = FRig->Sim().Device().History();
  ASSERT_EQ(model.HistoryRecords().size(), 40u);
  for (size_t i = 0; i < 40; ++i) {
    const THistoryRecord& record = *model.HistoryRecords()[i];
    const KX52xxSimHistoryRecord& sent = stored[stored.size() - 40 + i];
    EXPECT_EQ(record.AlertType(), ToAlertType(sent.Kind)) << i;
    EXPECT_EQ(record.DateTime(), TGlobals::DecodeDateTime(sent.DeviceTime)) << i;
    EXPECT_EQ(record.CrcOk(), sent.CrcGood) << i;
  }
  EXPECT_EQ(model.LastRetrievedReport(), 40);
}

TEST_F(UsbEndToEnd, ALineCorruptingFivePercentOfItsBytesCrashesNothingAndPressureGoesOn) {
  StartAndConnect(OptionsFor(KX52xxSimModel::KX5220, 40));
  ASSERT_TRUE(FRig->WaitForConnectionSequence());
  TKX52xxDeviceData& model = FRig->Model();
  int pressures = 0;
  model.OnReceivedPressure = [&](TKX52xxDeviceData*, const QString&, const TDateTime&, int) {
    ++pressures;
  };
  KX52xxSimFaults faults;
  faults.CorruptFraction = 0.05;
  FRig->Sim().Server().SetFaults(faults);

  model.FillHistoryRecords(-1, 40);
  model.AskSensors();
  model.AskAGM();
  ProcessEventsFor(3000);

  EXPECT_GT(FRig->Sim().Server().Statistics().CorruptedOut, 0);
  EXPECT_GE(pressures, 15);
  EXPECT_LE(model.HistoryRecords().size(), 40u);
  EXPECT_TRUE(model.IsUSBConnected());
}

TEST_F(UsbEndToEnd, UnpluggingIsReportedOnTheGuiThreadAndDisconnectEndsTheLink) {
  StartAndConnect(OptionsFor(KX52xxSimModel::KX5211));
  FRig->Sim().Server().Unplug();

  ASSERT_TRUE(WaitUntil([&] { return FRig->Disconnected == 1; }));
  EXPECT_FALSE(FRig->DisconnectedOffGuiThread);
  EXPECT_FALSE(FRig->Model().IsUSBConnected());

  FRig->Model().Disconnect();
  EXPECT_EQ(FRig->Link().DeviceState(), dsDisconnected);
}

TEST_F(UsbEndToEnd, APortThatCannotBeOpenedReachesTheCallerAsCantOpenPort) {
  FRig = std::make_unique<TUsbRig>(OptionsFor(KX52xxSimModel::KX5210));
  ASSERT_TRUE(FRig->Start());
  const QString path = QStringLiteral("/nonexistent/ttyUSB7");
  TComPortDevices::AddExtraPort(path);
  FRig->Link().SetDiscoverIntervalMs(20);
  FRig->Model().DiscoverDevices(CONN_FTDI);
  const bool discovered = WaitUntil([&] { return FRig->Link().DeviceState() == dsDiscovered; });
  TComPortDevices::RemoveExtraPort(path);
  ASSERT_TRUE(discovered);
  try {
    FRig->Model().Connect(CONN_FTDI, path);
    FAIL() << "connected to a port that does not exist";
  } catch (const ESealwiseError& e) {
    EXPECT_EQ(e.Message(), "Can't open port /nonexistent/ttyUSB7");
  }
  EXPECT_EQ(FRig->Link().DeviceState(), dsDisconnected);
}

}  // namespace
