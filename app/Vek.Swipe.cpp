#include "Vek.Swipe.h"

#include <QAbstractSlider>
#include <QChildEvent>
#include <QCoreApplication>
#include <QGestureEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSwipeGesture>
#include <QWidget>
#include <cmath>

namespace {
bool DragsItself(const QObject* AObject) {
  return qobject_cast<const QLineEdit*>(AObject) || qobject_cast<const QAbstractSlider*>(AObject);
}

bool IsPress(const QEvent* AEvent) {
  return AEvent->type() == QEvent::MouseButtonPress ||
         AEvent->type() == QEvent::MouseButtonDblClick;
}
}  // namespace

TSwipe::TSwipe(QWidget* ATarget) : QObject(ATarget) {
  ATarget->grabGesture(Qt::SwipeGesture);
  Watch(ATarget);
}

void TSwipe::Watch(QObject* AObject) {
  AObject->installEventFilter(this);
  for (QObject* child : AObject->children()) {
    if (child->isWidgetType()) Watch(child);
  }
}

bool TSwipe::eventFilter(QObject* AWatched, QEvent* AEvent) {
  if (IsPress(AEvent)) {
    Pressed(AWatched, static_cast<const QMouseEvent&>(*AEvent));
  } else if (AEvent->type() == QEvent::MouseButtonRelease) {
    return Released(AWatched, static_cast<const QMouseEvent&>(*AEvent));
  } else if (AEvent->type() == QEvent::Gesture) {
    return GestureFinished(static_cast<QGestureEvent&>(*AEvent));
  } else if (AEvent->type() == QEvent::ChildAdded) {
    QObject* child = static_cast<QChildEvent*>(AEvent)->child();
    if (child->isWidgetType()) Watch(child);
  }
  return false;
}

// A press that a child leaves to its parent comes by again, at the same place: harmless.
void TSwipe::Pressed(QObject* AWatched, const QMouseEvent& AEvent) {
  if (AEvent.button() != Qt::LeftButton || DragsItself(AWatched))
    FPressedAt.reset();
  else
    FPressedAt = AEvent.globalPosition();
}

bool TSwipe::Released(QObject* AWatched, const QMouseEvent& AEvent) {
  if (AEvent.button() != Qt::LeftButton || !FPressedAt) return false;
  const QPointF delta = AEvent.globalPosition() - *FPressedAt;
  FPressedAt.reset();
  const bool swipe =
      std::abs(delta.x()) >= MinDistance && 2 * std::abs(delta.y()) <= std::abs(delta.x());
  if (!swipe) return false;
  // The pressed control lets go without a click: the release it gets lies outside it.
  if (auto* widget = qobject_cast<QWidget*>(AWatched)) {
    const QPoint outside(-1, -1);
    QMouseEvent away(QEvent::MouseButtonRelease, outside, widget->mapTo(widget->window(), outside),
                     widget->mapToGlobal(outside), AEvent.button(), AEvent.buttons(),
                     AEvent.modifiers(), AEvent.pointingDevice());
    QCoreApplication::sendEvent(widget, &away);
  }
  EmitSwipe(delta.x() < 0);
  return true;
}

bool TSwipe::GestureFinished(QGestureEvent& AEvent) {
  auto* swipe = static_cast<QSwipeGesture*>(AEvent.gesture(Qt::SwipeGesture));
  if (!swipe) return false;
  AEvent.accept(swipe);
  if (swipe->state() != Qt::GestureFinished) return true;
  FPressedAt.reset();  // the fingers' drag is this swipe, not a second one
  if (swipe->horizontalDirection() != QSwipeGesture::NoDirection)
    EmitSwipe(swipe->horizontalDirection() == QSwipeGesture::Left);
  return true;
}

void TSwipe::EmitSwipe(bool ALeft) {
  if (ALeft)
    emit SwipedLeft();
  else
    emit SwipedRight();
}
