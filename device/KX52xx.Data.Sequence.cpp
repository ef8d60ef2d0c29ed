#include "KX52xx.Data.Sequence.h"

#include <QTimer>

TPacedSteps::TPacedSteps() : FTimer(std::make_unique<QTimer>()) {
  FTimer->setSingleShot(true);
  // A pause is a lower bound: a coarse timer could end it a little early.
  FTimer->setTimerType(Qt::PreciseTimer);
  QObject::connect(FTimer.get(), &QTimer::timeout, FTimer.get(), [this] { RunUntilPause(); });
}

TPacedSteps::~TPacedSteps() = default;

void TPacedSteps::Start(std::vector<TStep> ASteps, std::function<void()> AOnDone) {
  Abort();
  FSteps = std::move(ASteps);
  FOnDone = std::move(AOnDone);
  FRunning = true;
  RunUntilPause();
}

void TPacedSteps::Abort() {
  ++FGeneration;
  FTimer->stop();
  FSteps.clear();
  FNext = 0;
  FOnDone = nullptr;
  FRunning = false;
}

void TPacedSteps::RunUntilPause() {
  const quint64 generation = FGeneration;
  while (FNext < FSteps.size()) {
    const TStep step = FSteps[FNext++];
    if (step.Action) step.Action();
    if (generation != FGeneration) return;
    if (step.PauseAfterMs > 0 && FNext < FSteps.size()) {
      FTimer->start(step.PauseAfterMs);
      return;
    }
  }
  const auto onDone = std::move(FOnDone);
  Abort();
  if (onDone) onDone();
}
