#pragma once
#include <QString>
#include <QtGlobal>

// One-byte device command code; converts to and from its byte unchanged.
using TCmdID = quint8;

// The kind of a device event, alert or LED state. Only the listed values are kinds; every
// other byte maps to atUnknown through ToAlertType.
enum TAlertType : quint8 {
  atUnknown = 0,
  atSealwiseStart = 17,
  atSealwisePassed = 18,
  atSealwiseFailed = 19,
  atOverBreathing = 20,
  atDoubleBreathe = 21,
  atStopBreathing = 32,
  atBreathingTooLow = 33,
  atImpact = 34,
  atFallProtection = 35,
  atTemperatureTooLow = 36,
  atTemperatureTooHigh = 37,
  atHumidityTooLow = 38,
  atHumidityTooHigh = 39,
  atAQICO2TooHigh = 48,
  atAQICO2TooHigh2 = 49,
  atAQIEthanolDetected = 50,
  atAQIEthanolTooHigh = 51,
  atLEDsOff = 80,
  atLEDRed = 81,
  atLEDRedBlinking = 82,
  atLEDYellow = 83,
  atLEDYellowBlinking = 84,
  atLEDGreen = 85,
  atLEDGreenBlinking = 86,
  atLEDPurple = 87,
  atLEDPurpleBlinking = 88,
  atLEDBlue = 89,
  atLEDBlueBlinking = 90,
};

// The display text of a defined kind; "Not Recognized" for any other value.
QString AlertTypeText(TAlertType value);
QString AlertTypeText(quint8 value);
// b itself when it is a defined kind, else atUnknown.
TAlertType ToAlertType(quint8 b);
bool IsDefinedAlertType(quint8 b);
// True for 32..51: the alert range.
bool IsAlertKind(quint8 value);

namespace TGlobals {
// The read-only device type: the first six characters.
QString GetRODevNamePart(const QString& ADevName);
// The user-chosen part after "KX52xx_" (at most 9 characters); other names unchanged.
QString GetRWDevNamePart(const QString& ADevName);
bool IsKX5220(const QString& ADeviceName);
}  // namespace TGlobals
