#include "uPanelLed.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "Vek.Lang.h"
#include "uStyles.h"

TColorRect::TColorRect(const QString& AName, QWidget* parent) : QWidget(parent) {
  setObjectName(AName);
  // A blinking LED hides and shows the rectangle; its place stays reserved meanwhile.
  QSizePolicy policy = sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  setSizePolicy(policy);
  setCursor(Qt::PointingHandCursor);
}

void TColorRect::SetColor(QRgb AColor) {
  if (AColor == FColor) return;
  FColor = AColor;
  update();
}

void TColorRect::paintEvent(QPaintEvent*) {
  const QColor color = TStyles::FromArgb(FColor);
  if (color.alpha() == 0) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
}

void TColorRect::mouseReleaseEvent(QMouseEvent* event) {
  if (rect().contains(event->position().toPoint())) emit Clicked();
  QWidget::mouseReleaseEvent(event);
}

namespace TGlobals {

void SetLedState(TLedState AState, bool ABlink, const QString& AText, TColorRect* AColorRect,
                 QLabel* ALabel, QTimer* ATimer) {
  if (AColorRect == nullptr || ALabel == nullptr) return;
  if (const std::optional<QRgb> color = LedStateColor(AState)) AColorRect->SetColor(*color);
  ALabel->setText(AText);
  if (AState == ledDoNotTouch) return;
  if (ATimer != nullptr) {
    if (ABlink) {
      ATimer->setInterval(TLedPanel::BlinkIntervalMs);
      ATimer->start();
    } else {
      ATimer->stop();
    }
  }
  if (!ABlink) AColorRect->setVisible(true);
}

}  // namespace TGlobals

TLedPanel::TLedPanel(QWidget* parent)
    : TPanel(StemPanel(QStringLiteral("Led"), QStringLiteral("Sealwise"),
                       QStringLiteral("Perform test and await result. ")),
             parent) {
  auto* row = new QHBoxLayout(MainPage());
  row->setContentsMargins(10, 6, 10, 6);
  row->setSpacing(12);
  FColorRect = new TColorRect(QStringLiteral("rectLedColor"), MainPage());
  FColorRect->setFixedSize(56, 28);
  row->addWidget(FColorRect);
  FLedText = TStyles::MakeLabel(QStringLiteral("lblLedText"), QString(), MainPage());
  FLedText->setFont(TStyles::Font(15, true));
  TStyles::SetTextColor(FLedText, Qt::white);
  row->addWidget(FLedText, 1);
  setFixedHeight(HeaderHeight + 44);

  FtmrLedBlink = new QTimer(this);
  FtmrLedBlink->setObjectName(QStringLiteral("tmrLedBlink"));
  FtmrLedBlink->setInterval(BlinkIntervalMs);
  connect(FtmrLedBlink, &QTimer::timeout, this,
          [this] { FColorRect->setVisible(!FColorRect->isVisible()); });
  connect(FColorRect, &TColorRect::Clicked, this, &TLedPanel::ColorTapped);
  MainPage()->installEventFilter(this);
}

void TLedPanel::SetLed(TLedState AState, bool ABlink, const QString& AText) {
  const TLedRequest request{AState, ABlink, AText};
  if (request == FLast) return;
  FLast = request;
  if (!ABlink) FtmrLedBlink->stop();
  TGlobals::SetLedState(AState, ABlink, TranslateText(AText), FColorRect, FLedText,
                        ABlink ? FtmrLedBlink : nullptr);
}

void TLedPanel::ApplyLanguage() { FLedText->setText(TranslateText(FLast.Text)); }

bool TLedPanel::eventFilter(QObject* AWatched, QEvent* AEvent) {
  if (AWatched == MainPage() && AEvent->type() == QEvent::MouseButtonRelease) emit ContentTapped();
  return TPanel::eventFilter(AWatched, AEvent);
}
