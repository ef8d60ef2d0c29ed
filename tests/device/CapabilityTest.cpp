#include <gtest/gtest.h>

#include <QStringList>

#include "KX52xx.Functionality.h"
#include "KX52xx.Sensors.h"
#include "TestValues.h"

namespace {

QByteArray BitsAsBytes(quint32 AWord) {
  return Bytes({int(AWord >> 16) & 0xFF, int(AWord >> 8) & 0xFF, int(AWord) & 0xFF});
}

// Every field that is set, as "Name" for a flag and "Name=value" for a number.
struct TSetFields {
  QStringList Set;
  void Flag(const char* AName, bool AValue) {
    if (AValue) Set << QLatin1String(AName);
  }
  void Number(const char* AName, int AValue) {
    if (AValue) Set << QStringLiteral("%1=%2").arg(QLatin1String(AName)).arg(AValue);
  }
  QString Text() const { return Set.join(QLatin1Char(' ')); }
};

QString Describe(const TKX52xxSensors& s) {
  TSetFields f;
  f.Flag("BatteryCharger", s.BatteryCharger());
  f.Flag("SerialPort", s.SerialPort());
  f.Number("USBConnectionType", s.USBConnectionType());
  f.Number("BluetoothVersion", s.BluetoothVersion());
  f.Number("FlashMemorySize", s.FlashMemorySize());
  f.Flag("Acceleration", s.Acceleration());
  f.Flag("Gyroscope", s.Gyroscope());
  f.Flag("MagneticSensor", s.MagneticSensor());
  f.Flag("Pressure1", s.Pressure1());
  f.Flag("Pressure2", s.Pressure2());
  f.Flag("Temperature", s.Temperature());
  f.Flag("Humidity", s.Humidity());
  f.Flag("RTC", s.RTC());
  f.Number("uController", s.uController());
  f.Flag("AirQualitySensor", s.AirQualitySensor());
  f.Flag("CO2Sensor", s.CO2Sensor());
  f.Flag("EthanolSensor", s.EthanolSensor());
  return f.Text();
}

QString Describe(const TKX52xxFunctionality& r) {
  TSetFields f;
  f.Flag("FixedSealwise", r.FixedSealwise());
  f.Flag("AutomaticSealwise", r.AutomaticSealwise());
  f.Flag("WorkOnBreathing", r.WorkOnBreathing());
  f.Number("Temperature", r.Temperature());
  f.Flag("Humidity", r.Humidity());
  f.Flag("Magnetic", r.Magnetic());
  f.Flag("Movement", r.Movement());
  f.Flag("ImpactDetection", r.ImpactDetection());
  f.Flag("FailProtection", r.FailProtection());
  f.Number("DFU", r.DFU());
  f.Flag("Alert_Sealwise", r.Alert_Sealwise());
  f.Flag("Alert_StopBreathing", r.Alert_StopBreathing());
  f.Flag("Alert_BreathingTooLow", r.Alert_BreathingTooLow());
  f.Flag("Alert_Impact", r.Alert_Impact());
  f.Flag("Alert_FallProtection", r.Alert_FallProtection());
  f.Flag("Alert_TemperatureTooLow", r.Alert_TemperatureTooLow());
  f.Flag("Alert_TemperatureTooHigh", r.Alert_TemperatureTooHigh());
  f.Flag("Alert_HumidityTooLow", r.Alert_HumidityTooLow());
  f.Flag("Alert_HumidityTooHigh", r.Alert_HumidityTooHigh());
  return f.Text();
}

template <class TRecord>
QString DescribeBit(int ABit) {
  TRecord record;
  record.Assign(BitsAsBytes(1u << ABit), 0);
  return Describe(record);
}

}  // namespace

TEST(CapabilityBitsTest, EverySensorBitSetsItsOwnField) {
  const QStringList expected = {"BatteryCharger",
                                "SerialPort",
                                "USBConnectionType=1",
                                "USBConnectionType=2",
                                "BluetoothVersion=1",
                                "BluetoothVersion=2",
                                "FlashMemorySize=1",
                                "FlashMemorySize=2",
                                "FlashMemorySize=4",
                                "FlashMemorySize=8",
                                "Acceleration",
                                "Gyroscope",
                                "MagneticSensor",
                                "Pressure1",
                                "Pressure2",
                                "Temperature",
                                "Humidity",
                                "RTC",
                                "uController=1",
                                "AirQualitySensor",
                                "CO2Sensor",
                                "EthanolSensor",
                                "",
                                ""};
  for (int bit = 0; bit < 24; ++bit)
    EXPECT_EQ(DescribeBit<TKX52xxSensors>(bit), expected[bit]) << "bit " << bit;
}

TEST(CapabilityBitsTest, EveryFunctionalityBitSetsItsOwnField) {
  const QStringList expected = {"FixedSealwise",
                                "AutomaticSealwise",
                                "WorkOnBreathing",
                                "Temperature=1",
                                "Temperature=2",
                                "Humidity",
                                "Magnetic",
                                "Movement",
                                "ImpactDetection",
                                "FailProtection",
                                "DFU=1",
                                "DFU=2",
                                "Alert_Sealwise",
                                "Alert_StopBreathing",
                                "Alert_BreathingTooLow",
                                "Alert_Impact",
                                "Alert_FallProtection",
                                "Alert_TemperatureTooLow",
                                "Alert_TemperatureTooHigh",
                                "Alert_HumidityTooLow",
                                "Alert_HumidityTooHigh",
                                "",
                                "",
                                ""};
  for (int bit = 0; bit < 24; ++bit)
    EXPECT_EQ(DescribeBit<TKX52xxFunctionality>(bit), expected[bit]) << "bit " << bit;
}

struct TSensorCase {
  QByteArray Data;
  const char* Fields;
  const char* Usb;
  const char* Ble;
  const char* Flash;
  const char* Controller;
};

class SensorRecordTest : public ::testing::TestWithParam<TSensorCase> {};

TEST_P(SensorRecordTest, FieldsAndTexts) {
  const TSensorCase& c = GetParam();
  TKX52xxSensors s;
  s.Assign(c.Data, 0);
  EXPECT_EQ(Describe(s), c.Fields);
  EXPECT_EQ(s.USBConnectionTypeAsString(), c.Usb);
  EXPECT_EQ(s.BluetoothVersionAsString(), c.Ble);
  EXPECT_EQ(s.FlashMemorySizeAsString(), c.Flash);
  EXPECT_EQ(s.uControllerAsString(), c.Controller);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, SensorRecordTest,
    ::testing::Values(
        TSensorCase{Bytes({0, 0, 0}), "", "No USB Port", "No BLE", "No FLASH Memory",
                    "nRF51422 (256k/32k)"},
        TSensorCase{Bytes({0x00, 0x00, 0xD5}),
                    "BatteryCharger USBConnectionType=1 BluetoothVersion=1 FlashMemorySize=3",
                    "USB C", "BLE 4.2", "", "nRF51422 (256k/32k)"},
        TSensorCase{Bytes({0x00, 0x01, 0x40}), "FlashMemorySize=5", "No USB Port", "No BLE", "",
                    "nRF51422 (256k/32k)"},
        TSensorCase{Bytes({0x00, 0x00, 0x80}), "FlashMemorySize=2", "No USB Port", "No BLE", "64Mb",
                    "nRF51422 (256k/32k)"},
        TSensorCase{Bytes({0x3F, 0x00, 0x00}),
                    "Humidity RTC uController=1 AirQualitySensor CO2Sensor EthanolSensor",
                    "No USB Port", "No BLE", "No FLASH Memory", ""},
        TSensorCase{Bytes({0xFF, 0xFF, 0xFF, 0xFF}),
                    "BatteryCharger SerialPort USBConnectionType=3 BluetoothVersion=3 "
                    "FlashMemorySize=15 Acceleration Gyroscope MagneticSensor Pressure1 "
                    "Pressure2 Temperature Humidity RTC uController=1 AirQualitySensor "
                    "CO2Sensor EthanolSensor",
                    "", "", "", ""}));

struct TFunctionalityCase {
  QByteArray Data;
  const char* Fields;
  const char* Temperature;
  const char* Dfu;
};

class FunctionalityRecordTest : public ::testing::TestWithParam<TFunctionalityCase> {};

TEST_P(FunctionalityRecordTest, FieldsAndTexts) {
  const TFunctionalityCase& c = GetParam();
  TKX52xxFunctionality f;
  f.Assign(c.Data, 0);
  EXPECT_EQ(Describe(f), c.Fields);
  EXPECT_EQ(f.TemperatureAsString(), QString::fromUtf8(c.Temperature));
  EXPECT_EQ(f.DFUAsString(), c.Dfu);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, FunctionalityRecordTest,
    ::testing::Values(
        TFunctionalityCase{Bytes({0, 0, 0}), "", "No Temperature", "No DFU"},
        TFunctionalityCase{Bytes({0, 0, 0x08}), "Temperature=1", "Temperature in °C", "No DFU"},
        TFunctionalityCase{Bytes({0, 0, 0x10}), "Temperature=2", "Temperature in °F", "No DFU"},
        TFunctionalityCase{Bytes({0, 0, 0x18}), "Temperature=3", "", "No DFU"},
        TFunctionalityCase{Bytes({0, 0x08, 0}), "DFU=2", "No Temperature", "DFU by USB and BLE"},
        TFunctionalityCase{Bytes({0, 0x04, 0}), "DFU=1", "No Temperature", "DFU by USB"},
        TFunctionalityCase{Bytes({0, 0x0C, 0}), "DFU=3", "No Temperature", ""},
        TFunctionalityCase{Bytes({0x1F, 0, 0}),
                           "Alert_FallProtection Alert_TemperatureTooLow "
                           "Alert_TemperatureTooHigh Alert_HumidityTooLow Alert_HumidityTooHigh",
                           "No Temperature", "No DFU"}));

TEST(CapabilityBitsTest, ReadsFromTheStartIndexAndKeepsValuesOnShortAnswers) {
  TKX52xxSensors s;
  s.Assign(Bytes({0xEE, 0x00, 0x00, 0x01}), 1);
  EXPECT_EQ(Describe(s), "BatteryCharger");
  s.Assign(Bytes({0xFF, 0xFF}), 0);
  s.Assign(Bytes({0xFF, 0xFF, 0xFF}), 1);
  s.Assign(Bytes({0xFF, 0xFF, 0xFF}), -1);
  s.Assign(QByteArray(), 0);
  EXPECT_EQ(Describe(s), "BatteryCharger");
}

TEST(CapabilityBitsTest, RecordCopyAndClear) {
  TKX52xxFunctionality source;
  source.Assign(Bytes({0x00, 0x04, 0x01}), 0);
  TKX52xxFunctionality copy;
  copy.Assign(&source);
  EXPECT_EQ(Describe(copy), "FixedSealwise DFU=1");
  copy.Assign(static_cast<const TKX52xxFunctionality*>(nullptr));
  EXPECT_EQ(Describe(copy), "");
}
