#pragma once
#include <QString>
#include <memory>

class QLabel;
class QTimer;

// The animated waiting text: the text, then on its own line one to five dots that grow by one
// every half second. The timer exists only while the animation runs.
class TWaitingText {
 public:
  explicit TWaitingText(QLabel* ALabel);
  ~TWaitingText();
  TWaitingText(const TWaitingText&) = delete;
  TWaitingText& operator=(const TWaitingText&) = delete;

  // Starts the animation, or retargets a running one (the new text shows from the next tick).
  void Start(const QString& AWaitingText);
  // Stops the animation and empties the label.
  void Stop();
  bool IsRunning() const { return FTmrTextAnimation != nullptr; }
  QString WaitingText() const { return FWaitingText; }

  static constexpr int TickIntervalMs = 500;
  static constexpr int MaxDots = 5;

 private:
  void Tick();

  QLabel* FLabel;
  std::unique_ptr<QTimer> FTmrTextAnimation;
  QString FWaitingText;
};
