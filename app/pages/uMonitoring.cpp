#include "uMonitoring.h"

#include <QString>

#include "KX52xx.AlertList.h"
#include "TGlobals.Codecs.h"
#include "Vek.Lang.h"
#include "dIcons.h"

std::optional<QRgb> LedStateColor(TLedState AState) {
  switch (AState) {
    case ledDoNotTouch:
      return std::nullopt;
    case ledOff:
      return 0x00000000;
    case ledDisable:
      return 0x00FFFFFF;
    case ledPurple:
      return 0xFFB803FE;
    case ledRed:
      return 0xFFF13535;
    case ledGreen:
      return 0xFF7CF42E;
    case ledBlue:
      return 0xFF007EF5;
    case ledYellow:
      return 0xFFFFFF00;
  }
  return std::nullopt;
}

bool operator==(const TLedRequest& A, const TLedRequest& B) {
  return A.State == B.State && A.Blink == B.Blink && A.Text == B.Text;
}

std::optional<TLedRequest> LedRequestOfAlert(quint8 AAlert) {
  const QString fail = QStringLiteral("Sealwise FAIL");
  const QString pass = QStringLiteral("Sealwise PASS");
  const QString steady = QStringLiteral("Sealwise");
  const QString waiting = QStringLiteral("Waiting Sealwise");
  switch (AAlert) {
    case atOverBreathing:
      return TLedRequest{ledPurple, true, QStringLiteral("Over Breathing")};
    case atDoubleBreathe:
      return TLedRequest{ledRed, true, QStringLiteral("Double Breathe")};
    case atLEDsOff:
      return TLedRequest{ledOff, false, QString()};
    case atLEDRed:
      return TLedRequest{ledRed, false, fail};
    case atLEDRedBlinking:
      return TLedRequest{ledRed, true, fail};
    case atLEDYellow:
      return TLedRequest{ledYellow, false, steady};
    case atLEDYellowBlinking:
      return TLedRequest{ledYellow, true, waiting};
    case atLEDGreen:
      return TLedRequest{ledGreen, false, pass};
    case atLEDGreenBlinking:
      return TLedRequest{ledGreen, true, pass};
    case atLEDPurple:
      return TLedRequest{ledPurple, false, steady};
    case atLEDPurpleBlinking:
      return TLedRequest{ledPurple, true, waiting};
    case atLEDBlue:
      return TLedRequest{ledBlue, false, QString()};
    case atLEDBlueBlinking:
      return TLedRequest{ledBlue, true, QString()};
    default:
      return std::nullopt;
  }
}

std::optional<double> TPressureAverage::Add(qint32 ASample) {
  if (FSize < Length - 1) {
    FBuffer[static_cast<size_t>(FSize++)] = ASample;
    return std::nullopt;
  }
  if (FSize == Length - 1) {
    FBuffer[Length - 1] = ASample;
    FSize = Length;
  } else {
    FBuffer[0] = FBuffer[1];
    FBuffer[1] = FBuffer[2];
    FBuffer[2] = ASample;
  }
  // The samples add as 32-bit integers: a sum beyond the range wraps as the device's own
  // arithmetic does, without undefined behaviour.
  quint32 sum = 0;
  for (qint32 sample : FBuffer) sum += static_cast<quint32>(sample);
  return static_cast<qint32>(sum) / 3.0;
}

TAlertValues AlertValuesOf(const QByteArray& AAlertData) {
  return {TGlobals::DataTo_UInt32(AAlertData, 1) / 100.0,
          TGlobals::DataTo_UInt32(AAlertData, 5) / 100.0};
}

int AlertImageIndex(quint8 AAlert) {
  switch (AAlert) {
    case atImpact:
      return TIcon::SealImpact;
    case atFallProtection:
      return TIcon::SealFall;
    case atUnknown:
    case atOverBreathing:
    case atDoubleBreathe:
    case atStopBreathing:
    case atBreathingTooLow:
      return TIcon::SealWarning;
    default:
      break;
  }
  const bool climate = AAlert >= atTemperatureTooLow && AAlert <= atHumidityTooHigh;
  const bool airQuality = AAlert >= atAQICO2TooHigh && AAlert <= atAQIEthanolTooHigh;
  return climate || airQuality ? TIcon::SealWarning : -1;
}

namespace {
QString AlertStateText(TAlertState AState) {
  switch (AState) {
    case asWaiting:
      return QStringLiteral("Waiting for user cancel...");
    case asExecuting:
      return QStringLiteral("Executing...");
    case asExecuted:
      return QStringLiteral("Done.");
  }
  return QString();
}
}  // namespace

QString AlertDetailText(const TAlertItem& AItem) {
  return TranslateText(QStringLiteral("Timeout: ")) + QString::number(AItem.TimeLeft()) +
         QLatin1Char('/') + QString::number(AItem.Timeout()) + QLatin1Char('\n') +
         TranslateText(QStringLiteral("Counter: ")) + QString::number(AItem.Counter()) +
         QLatin1Char('\n') + TranslateText(AlertStateText(AItem.State()));
}

namespace TGlobals {

QString FormatDirection(int ADirection) {
  const int direction = ADirection < 0 ? 0 : ADirection % 360;
  struct TSector {
    int From;
    int To;
    const char* Name;
  };
  static const TSector sectors[] = {{22, 66, "NE"},  {67, 111, "E"},   {112, 156, "SE"},
                                    {157, 201, "S"}, {202, 246, "SW"}, {247, 291, "W"},
                                    {292, 336, "NW"}};
  for (const TSector& sector : sectors) {
    if (direction >= sector.From && direction <= sector.To)
      return TranslateText(QLatin1String(sector.Name));
  }
  return TranslateText(QStringLiteral("N"));
}

}  // namespace TGlobals
