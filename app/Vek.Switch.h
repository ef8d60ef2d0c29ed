#pragma once
#include <QAbstractButton>

// An on/off switch: a rounded track with a knob that sits on the right while the switch is on.
// A click flips it; toggled() reports every change, made by the user or by code.
class TSwitch : public QAbstractButton {
  Q_OBJECT
 public:
  TSwitch(const QString& AName, QWidget* parent);
  QSize sizeHint() const override;

  static constexpr int TrackWidth = 44;
  static constexpr int TrackHeight = 22;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
