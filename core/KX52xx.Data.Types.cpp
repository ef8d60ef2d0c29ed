#include "KX52xx.Data.Types.h"

#include <QLocale>

namespace {

const char* TextOf(quint8 value) {
  switch (value) {
    case atUnknown: return "Unknown";
    case atSealwiseStart: return "Sealwise Start";
    case atSealwisePassed: return "Sealwise Passed";
    case atSealwiseFailed: return "Sealwise Failed";
    case atOverBreathing: return "Over Breathing";
    case atDoubleBreathe: return "Double Breathe";
    case atStopBreathing: return "Stop Breathing";
    case atBreathingTooLow: return "Breathing TooLow";
    case atImpact: return "Impact";
    case atFallProtection: return "Fall Protection";
    case atTemperatureTooLow: return "Temperature Too Low";
    case atTemperatureTooHigh: return "Temperature Too High";
    case atHumidityTooLow: return "Humidity Too Low";
    case atHumidityTooHigh: return "Humidity Too High";
    case atAQICO2TooHigh:
    case atAQICO2TooHigh2: return "AQI CO2 Too High";
    case atAQIEthanolDetected: return "AQI Ethanol Detected";
    case atAQIEthanolTooHigh: return "AQI Ethanol Too High";
    case atLEDsOff: return "LEDs Off";
    case atLEDRed: return "LED Red";
    case atLEDRedBlinking: return "LED Red Blinking";
    case atLEDYellow: return "LED Yellow";
    case atLEDYellowBlinking: return "LED Yello Blinking";
    case atLEDGreen: return "LED Green";
    case atLEDGreenBlinking: return "LED Green Blinking";
    case atLEDPurple: return "LED Purple";
    case atLEDPurpleBlinking: return "LED Purple Blinking";
    case atLEDBlue: return "LED Blue";
    case atLEDBlueBlinking: return "LED Blue Blinking";
    default: return nullptr;
  }
}

}  // namespace

bool IsDefinedAlertType(quint8 b) { return TextOf(b) != nullptr; }

QString AlertTypeText(quint8 value) {
  const char* text = TextOf(value);
  return QString::fromLatin1(text ? text : "Not Recognized");
}

QString AlertTypeText(TAlertType value) { return AlertTypeText(static_cast<quint8>(value)); }

TAlertType ToAlertType(quint8 b) {
  return IsDefinedAlertType(b) ? static_cast<TAlertType>(b) : atUnknown;
}

bool IsAlertKind(quint8 value) { return value >= 32 && value <= 51; }

namespace TGlobals {

QString GetRODevNamePart(const QString& ADevName) { return ADevName.left(6); }

QString GetRWDevNamePart(const QString& ADevName) {
  if (!ADevName.startsWith(QLatin1String("KX52"))) return ADevName;
  return ADevName.left(16).mid(7, 9);
}

bool IsKX5220(const QString& ADeviceName) {
  return QLocale().toUpper(ADeviceName).startsWith(QLatin1String("KX5220"));
}

}  // namespace TGlobals
