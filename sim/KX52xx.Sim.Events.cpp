#include "KX52xx.Sim.Events.h"

#include "KX52xx.Sim.Wire.h"

#include <algorithm>

namespace KX52xxSimKind {

bool IsSealCheckResult(quint8 kind) { return kind == SealCheckPassed || kind == SealCheckFailed; }

bool IsHazard(quint8 kind) { return (kind >= 32 && kind <= 39) || (kind >= 48 && kind <= 51); }

bool IsLedState(quint8 kind) { return kind >= LedsOff && kind <= LedBlueBlinking; }

const std::vector<quint8>& HazardKinds() {
  static const std::vector<quint8> kinds = {32, 33, 34, 35, 36, 37, 38, 39, 48, 49, 50, 51};
  return kinds;
}

}  // namespace KX52xxSimKind

namespace {

int Uniform(std::mt19937& rng, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(rng);
}

qint16 Clamped16(int value) {
  return static_cast<qint16>(std::clamp(value, -32768, 32767));
}

// Typical reading and limit of each hazard alert, in hundredths of its unit.
KX52xxSimAlertValues NominalAlertValues(quint8 kind) {
  switch (kind) {
    case 32: return {1500, 1000};     // seconds without a breath
    case 33: return {420, 600};       // breaths per minute
    case 34: return {1250, 800};      // g
    case 35: return {230, 180};       // metres fallen
    case 36: return {300, 500};       // degrees
    case 37: return {4150, 4000};
    case 38: return {1200, 2000};     // percent
    case 39: return {9300, 9000};
    case 48: return {120000, 100000}; // ppm CO2
    case 49: return {520000, 500000};
    case 50: return {3500, 2000};     // ppm ethanol
    case 51: return {12000, 10000};
    default: return {0, 0};
  }
}

}  // namespace

KX52xxSimSealCheck TypicalSealCheck(bool passed, quint16 activationPoint100, std::mt19937& rng) {
  const int start = activationPoint100;
  KX52xxSimSealCheck check;
  check.Passed = passed;
  check.StartPoint = Clamped16(start);
  if (passed) {
    check.LowestPoint = Clamped16(start + Uniform(rng, 400, 900));
    check.EndPoint = Clamped16(start + Uniform(rng, 150, 600));
    check.Samples = static_cast<quint16>(Uniform(rng, 350, 450));
  } else {
    check.LowestPoint = Clamped16(start + Uniform(rng, 100, 500));
    check.FailPoint = Clamped16(start / 2 + Uniform(rng, 0, start / 4));
    check.EndPoint = Clamped16(start / 4 + Uniform(rng, 0, start / 8));
    check.Samples = static_cast<quint16>(Uniform(rng, 150, 250));
  }
  return check;
}

KX52xxSimAlertValues TypicalAlertValues(quint8 kind, std::mt19937& rng) {
  KX52xxSimAlertValues values = NominalAlertValues(kind);
  const int spread = static_cast<int>(values.Reference / 20);
  const int jitter = Uniform(rng, 0, spread);
  // The reading lies beyond the limit on the side the alert is about.
  values.Measured = values.Measured >= values.Reference ? values.Measured + jitter
                                                        : values.Measured - jitter / 2;
  return values;
}

QByteArray EventPayload(quint8 kind, quint32 deviceTime) {
  QByteArray out(1, static_cast<char>(kind));
  KX52xxSimWire::AppendUInt32(out, deviceTime);
  return out;
}

QByteArray SealCheckResultPayload(const KX52xxSimSealCheck& check, quint32 deviceTime) {
  QByteArray out = EventPayload(
      check.Passed ? KX52xxSimKind::SealCheckPassed : KX52xxSimKind::SealCheckFailed, deviceTime);
  for (qint16 value : {check.LowestPoint, check.StartPoint, check.EndPoint, check.FailPoint})
    KX52xxSimWire::AppendUInt16(out, static_cast<quint16>(value));
  KX52xxSimWire::AppendUInt16(out, check.Samples);
  return out;
}

QByteArray AlertPayload(quint8 kind, const KX52xxSimAlertValues& values) {
  QByteArray out(1, static_cast<char>(kind));
  KX52xxSimWire::AppendUInt32(out, values.Measured);
  KX52xxSimWire::AppendUInt32(out, values.Reference);
  return out;
}

QByteArray LedPayload(quint8 kind) { return QByteArray(1, static_cast<char>(kind)); }
