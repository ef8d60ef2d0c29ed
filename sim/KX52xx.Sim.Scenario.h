#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

#include "KX52xx.Sim.Device.h"

// What the simulated wearer does, over and over: nothing (idle, the pressure still breathes),
// breathing events, seal checks that pass or fail, or hazard alerts.
enum class KX52xxSimScenarioKind { Idle, Breathing, SealCheckPass, SealCheckFail, Alerts };

// "idle", "breathing", "sealcheck-pass", "sealcheck-fail", "alerts"
QString ScenarioName(KX52xxSimScenarioKind kind);
std::optional<KX52xxSimScenarioKind> ParseScenario(const QString& text);

// Plays a scenario on a device with GUI-thread timers. timeScale shortens (below 1) or
// stretches every interval; a seal-check cycle takes 15 s at scale 1. The device must outlive
// the scenario.
class KX52xxSimScenario : public QObject {
  Q_OBJECT
 public:
  KX52xxSimScenario(KX52xxSimDevice& device, KX52xxSimScenarioKind kind, double timeScale = 1.0,
                    QObject* parent = nullptr);
  void Start();
  void Stop();
  KX52xxSimScenarioKind Kind() const { return FKind; }

 private:
  struct TStep {
    int AtMs;  // within one cycle
    std::function<void()> Action;
  };
  void BuildSealChecks(bool passed);
  void BuildBreathing();
  void BuildAlerts();
  void RunStep();
  void ScheduleAfter(int cycleMs);

  KX52xxSimDevice& FDevice;
  KX52xxSimScenarioKind FKind;
  double FTimeScale;
  std::vector<TStep> FSteps;
  int FCycleMs = 0;
  size_t FNext = 0;
  QTimer FTimer;
};
