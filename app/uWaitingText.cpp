#include "uWaitingText.h"

#include <QLabel>
#include <QTimer>

TWaitingText::TWaitingText(QLabel* ALabel) : FLabel(ALabel) {}

TWaitingText::~TWaitingText() = default;

void TWaitingText::Start(const QString& AWaitingText) {
  FWaitingText = AWaitingText;
  if (FTmrTextAnimation) return;
  FLabel->setText(FWaitingText);
  FTmrTextAnimation = std::make_unique<QTimer>();
  FTmrTextAnimation->setInterval(TickIntervalMs);
  QObject::connect(FTmrTextAnimation.get(), &QTimer::timeout, FLabel, [this] { Tick(); });
  FTmrTextAnimation->start();
}

void TWaitingText::Stop() {
  if (!FTmrTextAnimation) return;
  FTmrTextAnimation->stop();
  FLabel->clear();
  FTmrTextAnimation.reset();
}

void TWaitingText::Tick() {
  FTmrTextAnimation->stop();
  // The dots are what stands after the first line break (none when it is the first
  // character).
  const QString shown = FLabel->text();
  const int lineBreak = shown.indexOf(QLatin1Char('\n'));
  QString dots = lineBreak > 0 ? shown.mid(lineBreak + 1) : QString();
  dots = dots.size() < MaxDots ? dots + QLatin1Char('.') : QStringLiteral(".");
  FLabel->setText(FWaitingText + dots);
  FLabel->repaint();
  FTmrTextAnimation->start();
}
