#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <random>
#include <vector>

// The kinds the device reports on code 255, and the payloads it sends with them.
namespace KX52xxSimKind {
constexpr quint8 SealCheckStart = 17;
constexpr quint8 SealCheckPassed = 18;
constexpr quint8 SealCheckFailed = 19;
constexpr quint8 OverBreathing = 20;
constexpr quint8 DoubleBreathe = 21;
constexpr quint8 StopBreathing = 32;
constexpr quint8 Impact = 34;
constexpr quint8 FallProtection = 35;
constexpr quint8 LedsOff = 80;
constexpr quint8 LedRed = 81;
constexpr quint8 LedYellowBlinking = 84;
constexpr quint8 LedGreen = 85;
constexpr quint8 LedPurpleBlinking = 88;
constexpr quint8 LedBlue = 89;
constexpr quint8 LedBlueBlinking = 90;

bool IsSealCheckResult(quint8 kind);
bool IsHazard(quint8 kind);  // the defined alerts 32..39 and 48..51
bool IsLedState(quint8 kind);
// The hazard alerts in order.
const std::vector<quint8>& HazardKinds();
}  // namespace KX52xxSimKind

// The five values of a finished seal check (pressures in hundredths).
struct KX52xxSimSealCheck {
  bool Passed = true;
  qint16 LowestPoint = 0;
  qint16 StartPoint = 0;
  qint16 EndPoint = 0;
  qint16 FailPoint = 0;
  quint16 Samples = 0;
};

// What a hazard alert measured and the limit it crossed, in hundredths.
struct KX52xxSimAlertValues {
  quint32 Measured = 0;
  quint32 Reference = 0;
};

// Plausible values: a passing check holds the pressure past the activation point, a failing
// one loses it before the end.
KX52xxSimSealCheck TypicalSealCheck(bool passed, quint16 activationPoint100, std::mt19937& rng);
KX52xxSimAlertValues TypicalAlertValues(quint8 kind, std::mt19937& rng);

// Kind and device time (seal-check start, breathing events).
QByteArray EventPayload(quint8 kind, quint32 deviceTime);
// Kind 18 or 19, device time, then the five 16-bit values.
QByteArray SealCheckResultPayload(const KX52xxSimSealCheck& check, quint32 deviceTime);
// Kind, then the measured and the reference value as unsigned 32-bit hundredths.
QByteArray AlertPayload(quint8 kind, const KX52xxSimAlertValues& values);
// An LED state is the kind alone.
QByteArray LedPayload(quint8 kind);
