#include <gtest/gtest.h>

#include <QStringList>

#include "KX52xx.Functionality.h"
#include "KX52xx.Sensors.h"
#include "TestPrinters.h"

namespace {

QByteArray Bytes(std::initializer_list<int> AValues) {
  QByteArray out;
  for (int v : AValues) out.append(static_cast<char>(v));
  return out;
}

QByteArray BitsAsBytes(quint32 AWord) {
  return Bytes({int(AWord >> 16) & 0xFF, int(AWord >> 8) & 0xFF, int(AWord) & 0xFF});
}

// Every field that is set, as "Name" for a flag and "Name=value" for a number.
QString Describe(const TKX52xxSensors& s) {
  QStringList set;
  const auto flag = [&](const char* AName, bool AValue) {
    if (AValue) set << QLatin1String(AName);
  };
  const auto number = [&](const char* AName, int AValue) {
    if (AValue) set << QStringLiteral("%1=%2").arg(QLatin1String(AName)).arg(AValue);
  };
  flag("BatteryCharger", s.BatteryCharger());
  flag("SerialPort", s.SerialPort());
  number("USBConnectionType", s.USBConnectionType());
  number("BluetoothVersion", s.BluetoothVersion());
  number("FlashMemorySize", s.FlashMemorySize());
  flag("Acceleration", s.Acceleration());
  flag("Gyroscope", s.Gyroscope());
  flag("MagneticSensor", s.MagneticSensor());
  flag("Pressure1", s.Pressure1());
  flag("Pressure2", s.Pressure2());
  flag("Temperature", s.Temperature());
  flag("Humidity", s.Humidity());
  flag("RTC", s.RTC());
  number("uController", s.uController());
  flag("AirQualitySensor", s.AirQualitySensor());
  flag("CO2Sensor", s.CO2Sensor());
  flag("EthanolSensor", s.EthanolSensor());
  return set.join(QLatin1Char(' '));
}

QString Describe(const TKX52xxFunctionality& f) {
  QStringList set;
  const auto flag = [&](const char* AName, bool AValue) {
    if (AValue) set << QLatin1String(AName);
  };
  const auto number = [&](const char* AName, int AValue) {
    if (AValue) set << QStringLiteral("%1=%2").arg(QLatin1String(AName)).arg(AValue);
  };
  flag("FixedSealwise", f.FixedSealwise());
  flag("AutomaticSealwise", f.AutomaticSealwise());
  flag("WorkOnBreathing", f.WorkOnBreathing());
  number("Temperature", f.Temperature());
  flag("Humidity", f.Humidity());
  flag("Magnetic", f.Magnetic());
  flag("Movement", f.Movement());
  flag("ImpactDetection", f.ImpactDetection());
  flag("FailProtection", f.FailProtection());
  number("DFU", f.DFU());
  flag("Alert_Sealwise", f.Alert_Sealwise());
  flag("Alert_StopBreathing", f.Alert_StopBreathing());
  flag("Alert_BreathingTooLow", f.Alert_BreathingTooLow());
  flag("Alert_Impact", f.Alert_Impact());
  flag("Alert_FallProtection", f.Alert_FallProtection());
  flag("Alert_TemperatureTooLow", f.Alert_TemperatureTooLow());
  flag("Alert_TemperatureTooHigh", f.Alert_TemperatureTooHigh());
  flag("Alert_HumidityTooLow", f.Alert_HumidityTooLow());
  flag("Alert_HumidityTooHigh", f.Alert_HumidityTooHigh());
  return set.join(QLatin1Char(' '));
}

template <class TRecord>
QString DescribeBit(int ABit) {
  TRecord record;
  record.Assign(BitsAsBytes(1u << ABit), 0);
  return Describe(record);
}

}  // namespace

TEST(CapabilityBitsTest, EverySensorBitSetsItsOwnField) {
  const QStringList expected = {
      "BatteryCharger", "SerialPort", "USBConnectionType=1", "USBConnectionType=2",
      "BluetoothVersion=1", "BluetoothVersion=2", "FlashMemorySize=1", "FlashMemorySize=2",
      "FlashMemorySize=4", "FlashMemorySize=8", "Acceleration", "Gyroscope", "MagneticSensor",
      "Pressure1", "Pressure2", "Temperature", "Humidity", "RTC", "uController=1",
      "AirQualitySensor", "CO2Sensor", "EthanolSensor", "", ""};
  for (int bit = 0; bit < 24; ++bit)
    EXPECT_EQ(DescribeBit<TKX52xxSensors>(bit), expected[bit]) << "bit " << bit;
}

TEST(CapabilityBitsTest, EveryFunctionalityBitSetsItsOwnField) {
  const QStringList expected = {
      "FixedSealwise", "AutomaticSealwise", "WorkOnBreathing", "Temperature=1", "Temperature=2",
      "Humidity", "Magnetic", "Movement", "ImpactDetection", "FailProtection", "DFU=1", "DFU=2",
      "Alert_Sealwise", "Alert_StopBreathing", "Alert_BreathingTooLow", "Alert_Impact",
      "Alert_FallProtection", "Alert_TemperatureTooLow", "Alert_TemperatureTooHigh",
      "Alert_HumidityTooLow", "Alert_HumidityTooHigh", "", "", ""};
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
        TSensorCase{Bytes({0x00, 0x00, 0x80}), "FlashMemorySize=2", "No USB Port", "No BLE",
                    "64Mb", "nRF51422 (256k/32k)"},
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
