#include "Vek.PageControl.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

namespace {
bool GAnimationsEnabled = true;
}

TPageControl::TPageControl(QWidget* parent) : QStackedWidget(parent) {
  connect(this, &QStackedWidget::currentChanged, this, [this](int) { RaiseChange(); });
}

QWidget* TPageControl::AddPage(const QString& AName) {
  auto* page = new QWidget(this);
  page->setObjectName(AName);
  addWidget(page);
  return page;
}

bool TPageControl::HasPage(const QWidget* ATab) const {
  return ATab != nullptr && indexOf(const_cast<QWidget*>(ATab)) >= 0;
}

void TPageControl::RaiseChange() {
  if (OnChange) OnChange();
}

void TPageControl::SetAnimationsEnabled(bool AEnabled) { GAnimationsEnabled = AEnabled; }

bool TPageControl::AnimationsEnabled() { return GAnimationsEnabled; }

void TPageControl::SetActivePage(QWidget* ATab, TTabTransition ATransition, bool AForward) {
  if (!HasPage(ATab) || ATab == currentWidget()) return;
  FinishSlide();
  QWidget* previous = currentWidget();
  setCurrentWidget(ATab);
  const bool animate = ATransition == TTabTransition::Slide && GAnimationsEnabled &&
                       previous != nullptr && isVisible();
  if (animate) Slide(previous, ATab, AForward);
}

void TPageControl::Slide(QWidget* APrevious, QWidget* ANext, bool AForward) {
  const QRect home = ANext->geometry();
  const int shift = AForward ? home.width() : -home.width();
  FSlidingOut = APrevious;
  APrevious->setGeometry(home);
  APrevious->show();

  auto* group = new QParallelAnimationGroup(this);
  auto* out = new QPropertyAnimation(APrevious, "geometry", group);
  out->setDuration(SlideDurationMs);
  out->setStartValue(home);
  out->setEndValue(home.translated(-shift, 0));
  auto* in = new QPropertyAnimation(ANext, "geometry", group);
  in->setDuration(SlideDurationMs);
  in->setStartValue(home.translated(shift, 0));
  in->setEndValue(home);
  group->addAnimation(out);
  group->addAnimation(in);
  connect(group, &QAbstractAnimation::finished, this, &TPageControl::FinishSlide);
  FSlide = group;
  group->start(QAbstractAnimation::DeleteWhenStopped);
}

// Puts both pages where the stack expects them; safe to call when nothing slides.
void TPageControl::FinishSlide() {
  if (FSlide) {
    QParallelAnimationGroup* group = FSlide;
    FSlide.clear();
    group->stop();  // deletes itself (DeleteWhenStopped)
  }
  const QRect home = contentsRect();
  if (FSlidingOut) {
    if (FSlidingOut != currentWidget()) FSlidingOut->hide();
    FSlidingOut->setGeometry(home);
    FSlidingOut.clear();
  }
  if (QWidget* current = currentWidget()) current->setGeometry(home);
}
