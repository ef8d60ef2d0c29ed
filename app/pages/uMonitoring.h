#pragma once
#include <QByteArray>
#include <QRgb>
#include <QString>
#include <array>
#include <optional>

#include "Vek.Panel.h"

class TAlertItem;

// The on-screen LED states.
enum TLedState : quint8 {
  ledDoNotTouch = 0,
  ledOff = 1,
  ledDisable = 2,
  ledPurple = 3,
  ledRed = 4,
  ledGreen = 5,
  ledBlue = 6,
  ledYellow = 7
};

// The colour a state gives the LED rectangle; none for ledDoNotTouch (the colour stays).
std::optional<QRgb> LedStateColor(TLedState AState);

// What the LED shows: a state, whether it blinks, and its untranslated text.
struct TLedRequest {
  TLedState State = ledOff;
  bool Blink = false;
  QString Text;
};
bool operator==(const TLedRequest& A, const TLedRequest& B);
inline bool operator!=(const TLedRequest& A, const TLedRequest& B) { return !(A == B); }

// The LED request a device event asks for (breathing events 20 and 21, LED states 80 to 90);
// none for any other code.
std::optional<TLedRequest> LedRequestOfAlert(quint8 AAlert);

// Curve colours of a seal check: running, passed, failed.
namespace TCurveColor {
inline constexpr QRgb Running = 0xFFB803FE;
inline constexpr QRgb Passed = 0xFF7CF42E;
inline constexpr QRgb Failed = 0xFFF13535;
}  // namespace TCurveColor

// The moving average of the last three pressure samples that the live curve draws. The first
// two samples only fill the buffer.
class TPressureAverage {
 public:
  static constexpr int Length = 3;

  // The mean of the last three samples, or none while fewer than three have come in.
  std::optional<double> Add(qint32 ASample);
  int Size() const { return FSize; }

 private:
  std::array<qint32, Length> FBuffer{};
  int FSize = 0;
};

// The measured and the reference value of a hazard alert, in the device's unit.
struct TAlertValues {
  double Measured = 0;
  double Reference = 0;
};
// Hundredths at bytes 1 and 5 of the alert's data (big-endian); short data gives zeros.
TAlertValues AlertValuesOf(const QByteArray& AAlertData);

// The entry of ilSealwise that stands for an alert code in the alert list; -1 for none.
int AlertImageIndex(quint8 AAlert);

// The detail line of an alert row: its countdown, counter and state, translated.
QString AlertDetailText(const TAlertItem& AItem);

namespace TGlobals {
// The compass point of a direction in degrees; negative directions count as north.
QString FormatDirection(int ADirection);
}  // namespace TGlobals
