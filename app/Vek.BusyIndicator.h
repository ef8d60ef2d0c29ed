#pragma once
#include <QWidget>

class QTimer;

// A busy indicator: a ring of dots whose bright dot goes round while it runs. It draws
// nothing and takes no timer while stopped.
class TBusyIndicator : public QWidget {
  Q_OBJECT
 public:
  TBusyIndicator(const QString& AName, QWidget* parent);

  void Start();
  void Stop();
  bool IsRunning() const;

  static constexpr int Dots = 12;
  static constexpr int StepMs = 80;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer* FTimer;
  int FStep = 0;
};
