#pragma once
#include <QObject>
#include <QPointF>
#include <optional>

class QGestureEvent;
class QMouseEvent;
class QWidget;

// Turns horizontal swipes on a control into signals: the platform's swipe gesture where it
// reports one, and a horizontal drag of the mouse (or of a finger, which the toolkit turns into
// mouse events) everywhere. A drag counts when it goes at least MinDistance sideways and at
// most half as far up or down; then the control under the press gets a release outside itself,
// so a button or list entry is not clicked. A shorter or steeper drag stays a click.
// Drags that begin in a text edit or a slider stay theirs (selecting text, moving the handle).
class TSwipe : public QObject {
  Q_OBJECT
 public:
  static constexpr int MinDistance = 40;

  // Watches ATarget and every control inside it, also those added later; owned by ATarget.
  explicit TSwipe(QWidget* ATarget);

 signals:
  // The finger (or mouse) moved from right to left.
  void SwipedLeft();
  // It moved from left to right.
  void SwipedRight();

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  void Watch(QObject* AObject);
  void Pressed(QObject* AWatched, const QMouseEvent& AEvent);
  bool Released(QObject* AWatched, const QMouseEvent& AEvent);
  bool GestureFinished(QGestureEvent& AEvent);
  void EmitSwipe(bool ALeft);

  std::optional<QPointF> FPressedAt;  // global position of the press of the drag under way
};
