#pragma once
#include <QtGlobal>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

// Runs a list of actions in order on the GUI thread. Where an action asks for a pause, the
// next one runs from a timer, so the window keeps working while the list is under way.
class TPacedSteps {
 public:
  struct TStep {
    std::function<void()> Action;
    int PauseAfterMs = 0;  // waited only when another step follows
  };

  TPacedSteps();
  ~TPacedSteps();
  TPacedSteps(const TPacedSteps&) = delete;
  TPacedSteps& operator=(const TPacedSteps&) = delete;

  // Replaces whatever runs; AOnDone follows the last step. Actions and AOnDone may call
  // Start or Abort themselves.
  void Start(std::vector<TStep> ASteps, std::function<void()> AOnDone);
  // Drops the remaining steps; AOnDone is not called.
  void Abort();
  bool IsRunning() const { return FRunning; }

 private:
  void RunUntilPause();

  std::vector<TStep> FSteps;
  size_t FNext = 0;
  std::function<void()> FOnDone;
  bool FRunning = false;
  // Changes on every Start and Abort, so a run notices that an action replaced it.
  quint64 FGeneration = 0;
  std::unique_ptr<QTimer> FTimer;
};
