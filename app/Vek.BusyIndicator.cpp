#include "Vek.BusyIndicator.h"

#include <QPainter>
#include <QTimer>
#include <QtMath>

TBusyIndicator::TBusyIndicator(const QString& AName, QWidget* parent)
    : QWidget(parent), FTimer(new QTimer(this)) {
  setObjectName(AName);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  FTimer->setInterval(StepMs);
  connect(FTimer, &QTimer::timeout, this, [this] {
    FStep = (FStep + 1) % Dots;
    update();
  });
}

void TBusyIndicator::Start() {
  FTimer->start();
  update();
}

void TBusyIndicator::Stop() {
  FTimer->stop();
  update();
}

bool TBusyIndicator::IsRunning() const { return FTimer->isActive(); }

void TBusyIndicator::paintEvent(QPaintEvent*) {
  if (!IsRunning()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const qreal side = qMin(width(), height());
  const qreal dot = side / 10;
  const qreal radius = side / 2 - dot;
  painter.translate(width() / 2.0, height() / 2.0);
  for (int i = 0; i < Dots; ++i) {
    // The dot of the current step is brightest; the ones behind it fade.
    const int behind = (FStep - i + Dots) % Dots;
    QColor color(Qt::white);
    color.setAlphaF(1.0 - 0.8 * behind / Dots);
    painter.setBrush(color);
    const qreal angle = 2 * M_PI * i / Dots;
    painter.drawEllipse(QPointF(radius * qSin(angle), -radius * qCos(angle)), dot, dot);
  }
}
