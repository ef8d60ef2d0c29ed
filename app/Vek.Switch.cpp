#include "Vek.Switch.h"

#include <QPainter>

#include "uStyles.h"

namespace {
const QColor TrackOn = QColor(0x00, 0x8B, 0xCE);
const QColor TrackOff = QColor(0x4A, 0x4A, 0x4A);
}  // namespace

TSwitch::TSwitch(const QString& AName, QWidget* parent) : QAbstractButton(parent) {
  setObjectName(AName);
  setCheckable(true);
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize TSwitch::sizeHint() const { return {TrackWidth, TrackHeight}; }

void TSwitch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setOpacity(isEnabled() ? 1.0 : 0.4);
  const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
  const qreal radius = track.height() / 2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(isChecked() ? TrackOn : TrackOff);
  painter.drawRoundedRect(track, radius, radius);
  const qreal knob = track.height() - 4;
  const qreal left = isChecked() ? track.right() - 2 - knob : track.left() + 2;
  painter.setBrush(TStyles::LightGrey);
  painter.drawEllipse(QRectF(left, track.top() + 2, knob, knob));
}
