#pragma once
#include <QString>

#include "KX52xx.CapabilityBits.h"

// What the device is built with (answer to command 10).
class TKX52xxSensors : public TKX52xxCapabilityBits {
 public:
  using TKX52xxCapabilityBits::Assign;
  void Assign(const TKX52xxSensors* AData) { AssignBits(AData); }

  bool BatteryCharger() const { return Bit(0); }
  bool SerialPort() const { return Bit(1); }
  int USBConnectionType() const { return Field(2, 2); }
  int BluetoothVersion() const { return Field(4, 2); }
  int FlashMemorySize() const { return Field(6, 4); }
  bool Acceleration() const { return Bit(10); }
  bool Gyroscope() const { return Bit(11); }
  bool MagneticSensor() const { return Bit(12); }
  bool Pressure1() const { return Bit(13); }
  bool Pressure2() const { return Bit(14); }
  bool Temperature() const { return Bit(15); }
  bool Humidity() const { return Bit(16); }
  bool RTC() const { return Bit(17); }
  int uController() const { return Field(18, 1); }
  bool AirQualitySensor() const { return Bit(19); }
  bool CO2Sensor() const { return Bit(20); }
  bool EthanolSensor() const { return Bit(21); }

  // Display texts of the coded fields; a value without a text gives the empty text.
  QString USBConnectionTypeAsString() const;
  QString BluetoothVersionAsString() const;
  QString FlashMemorySizeAsString() const;
  QString uControllerAsString() const;
};
