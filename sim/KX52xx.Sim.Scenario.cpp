#include "KX52xx.Sim.Scenario.h"

#include <algorithm>
#include <cmath>

namespace {

struct TScenarioName {
  KX52xxSimScenarioKind Kind;
  const char* Name;
};

constexpr TScenarioName kScenarioNames[] = {
    {KX52xxSimScenarioKind::Idle, "idle"},
    {KX52xxSimScenarioKind::Breathing, "breathing"},
    {KX52xxSimScenarioKind::SealCheckPass, "sealcheck-pass"},
    {KX52xxSimScenarioKind::SealCheckFail, "sealcheck-fail"},
    {KX52xxSimScenarioKind::Alerts, "alerts"},
};

constexpr int kAlertSpacingMs = 6000;

}  // namespace

QString ScenarioName(KX52xxSimScenarioKind kind) {
  for (const TScenarioName& entry : kScenarioNames)
    if (entry.Kind == kind) return QString::fromLatin1(entry.Name);
  return {};
}

std::optional<KX52xxSimScenarioKind> ParseScenario(const QString& text) {
  for (const TScenarioName& entry : kScenarioNames)
    if (text.compare(QLatin1String(entry.Name), Qt::CaseInsensitive) == 0) return entry.Kind;
  return std::nullopt;
}

KX52xxSimScenario::KX52xxSimScenario(KX52xxSimDevice& device, KX52xxSimScenarioKind kind,
                                     double timeScale, QObject* parent)
    : QObject(parent), FDevice(device), FKind(kind), FTimeScale(std::max(0.0, timeScale)) {
  FTimer.setSingleShot(true);
  connect(&FTimer, &QTimer::timeout, this, [this] { RunStep(); });
  switch (kind) {
    case KX52xxSimScenarioKind::Idle:
      break;
    case KX52xxSimScenarioKind::Breathing:
      BuildBreathing();
      break;
    case KX52xxSimScenarioKind::SealCheckPass:
      BuildSealChecks(true);
      break;
    case KX52xxSimScenarioKind::SealCheckFail:
      BuildSealChecks(false);
      break;
    case KX52xxSimScenarioKind::Alerts:
      BuildAlerts();
      break;
  }
}

// Waiting (yellow blinking), the check (purple blinking), the result shown for five
// seconds, then the LED goes off.
void KX52xxSimScenario::BuildSealChecks(bool passed) {
  KX52xxSimDevice& device = FDevice;
  FSteps = {
      {0, [&device] { device.RaiseLedState(KX52xxSimKind::LedYellowBlinking); }},
      {2000,
       [&device] {
         device.StartSealCheck();
         device.RaiseLedState(KX52xxSimKind::LedPurpleBlinking);
       }},
      {5000,
       [&device, passed] {
         device.FinishSealCheck(passed);
         device.RaiseLedState(passed ? KX52xxSimKind::LedGreen : KX52xxSimKind::LedRed);
       }},
      {10000, [&device] { device.RaiseLedState(KX52xxSimKind::LedsOff); }},
  };
  FCycleMs = 15000;
}

void KX52xxSimScenario::BuildBreathing() {
  KX52xxSimDevice& device = FDevice;
  FSteps = {
      {0, [&device] { device.RaiseLedState(KX52xxSimKind::LedBlue); }},
      {3000, [&device] { device.RaiseBreathingEvent(KX52xxSimKind::OverBreathing); }},
      {6000, [&device] { device.RaiseLedState(KX52xxSimKind::LedBlueBlinking); }},
      {9000, [&device] { device.RaiseBreathingEvent(KX52xxSimKind::DoubleBreathe); }},
  };
  FCycleMs = 12000;
}

// Every hazard alert in turn on a model that raises them; the others only have breathing
// events to warn with.
void KX52xxSimScenario::BuildAlerts() {
  if (!RaisesHazardAlerts(FDevice.Model())) {
    BuildBreathing();
    return;
  }
  KX52xxSimDevice& device = FDevice;
  int at = 0;
  for (quint8 kind : KX52xxSimKind::HazardKinds()) {
    FSteps.push_back({at, [&device, kind] { device.RaiseAlert(kind); }});
    at += kAlertSpacingMs;
  }
  FCycleMs = at;
}

void KX52xxSimScenario::Start() {
  if (FSteps.empty()) return;
  FNext = 0;
  ScheduleAfter(FSteps.front().AtMs);
}

void KX52xxSimScenario::Stop() { FTimer.stop(); }

void KX52xxSimScenario::RunStep() {
  const TStep& step = FSteps[FNext];
  step.Action();
  const int now = step.AtMs;
  FNext = (FNext + 1) % FSteps.size();
  const int next = FSteps[FNext].AtMs;
  ScheduleAfter(FNext == 0 ? FCycleMs - now + next : next - now);
}

void KX52xxSimScenario::ScheduleAfter(int cycleMs) {
  FTimer.start(static_cast<int>(std::lround(cycleMs * FTimeScale)));
}
