#pragma once
#include <QString>

#include "KX52xx.CapabilityBits.h"

// What the device can do (answer to command 11).
class TKX52xxFunctionality : public TKX52xxCapabilityBits {
 public:
  using TKX52xxCapabilityBits::Assign;
  void Assign(const TKX52xxFunctionality* AData) { AssignBits(AData); }

  bool FixedSealwise() const { return Bit(0); }
  bool AutomaticSealwise() const { return Bit(1); }
  bool WorkOnBreathing() const { return Bit(2); }
  int Temperature() const { return Field(3, 2); }
  bool Humidity() const { return Bit(5); }
  bool Magnetic() const { return Bit(6); }
  bool Movement() const { return Bit(7); }
  bool ImpactDetection() const { return Bit(8); }
  bool FailProtection() const { return Bit(9); }
  int DFU() const { return Field(10, 2); }
  bool Alert_Sealwise() const { return Bit(12); }
  bool Alert_StopBreathing() const { return Bit(13); }
  bool Alert_BreathingTooLow() const { return Bit(14); }
  bool Alert_Impact() const { return Bit(15); }
  bool Alert_FallProtection() const { return Bit(16); }
  bool Alert_TemperatureTooLow() const { return Bit(17); }
  bool Alert_TemperatureTooHigh() const { return Bit(18); }
  bool Alert_HumidityTooLow() const { return Bit(19); }
  bool Alert_HumidityTooHigh() const { return Bit(20); }

  // Display texts of the coded fields; a value without a text gives the empty text.
  QString TemperatureAsString() const;
  QString DFUAsString() const;
};
