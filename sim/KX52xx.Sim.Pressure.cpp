#include "KX52xx.Sim.Pressure.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kAmbient = 101325.0;
constexpr double kBreathAmplitude = 45.0;
constexpr qint64 kBreathPeriodMs = 4000;  // 15 breaths a minute
constexpr double kInhaleShare = 0.4;
constexpr double kRampMs = 600.0;
constexpr double kNoise = 1.5;
constexpr double kPi = 3.14159265358979323846;

double BreathingWave(qint64 ms) {
  const double phase = double(ms % kBreathPeriodMs) / kBreathPeriodMs;
  if (phase < kInhaleShare) return -kBreathAmplitude * std::sin(kPi * phase / kInhaleShare);
  return 0.7 * kBreathAmplitude * std::sin(kPi * (phase - kInhaleShare) / (1.0 - kInhaleShare));
}

// 0 at start, rising to 1 over the ramp.
double Ramp(qint64 sinceMs) { return std::clamp(sinceMs / kRampMs, 0.0, 1.0); }

}  // namespace

KX52xxSimPressure::KX52xxSimPressure(quint32 seed) : FRng(seed) { FClock.start(); }

quint32 KX52xxSimPressure::Sample() {
  const double noise = std::uniform_real_distribution<double>(-kNoise, kNoise)(FRng);
  return static_cast<quint32>(std::lround(kAmbient + Relative(FClock.elapsed()) + noise));
}

void KX52xxSimPressure::BeginHold(double depth) {
  FDepth = depth;
  FHoldStartMs = FClock.elapsed();
  FHoldEndMs = -1;
}

void KX52xxSimPressure::EndHold() {
  if (FHoldStartMs >= 0 && FHoldEndMs < 0) FHoldEndMs = FClock.elapsed();
}

double KX52xxSimPressure::Relative(qint64 ms) const {
  // Weight of the held inhalation: ramps in at the start of a check and out after its end.
  double held = 0;
  if (FHoldStartMs >= 0) {
    held = Ramp(ms - FHoldStartMs);
    if (FHoldEndMs >= 0) held = std::min(held, 1.0 - Ramp(ms - FHoldEndMs));
  }
  return -FDepth * held + BreathingWave(ms) * (1.0 - held);
}
