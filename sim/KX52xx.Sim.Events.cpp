#include "KX52xx.Sim.Events.h"

#include <algorithm>

#include "KX52xx.Sim.Wire.h"

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

qint16 Clamped16(int value) { return static_cast<qint16>(std::clamp(value, -32768, 32767)); }

struct TNominalAlert {
  quint8 Kind;
  KX52xxSimAlertValues Values;
};

// Typical reading and limit of each hazard alert, in hundredths of its unit.
constexpr TNominalAlert kNominalAlerts[] = {
    {32, {1500, 1000}},      // seconds without a breath
    {33, {420, 600}},        // breaths a minute
    {34, {1250, 800}},       // g
    {35, {230, 180}},        // metres fallen
    {36, {300, 500}},        // degrees
    {37, {4150, 4000}},      // degrees
    {38, {1200, 2000}},      // percent humidity
    {39, {9300, 9000}},      // percent humidity
    {48, {120000, 100000}},  // ppm CO2
    {49, {520000, 500000}},  // ppm CO2
    {50, {3500, 2000}},      // ppm ethanol
    {51, {12000, 10000}},    // ppm ethanol
};

KX52xxSimAlertValues NominalAlertValues(quint8 kind) {
  for (const TNominalAlert& alert : kNominalAlerts)
    if (alert.Kind == kind) return alert.Values;
  return {};
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
  values.Measured =
      values.Measured >= values.Reference ? values.Measured + jitter : values.Measured - jitter / 2;
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
