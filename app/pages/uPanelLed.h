#pragma once
#include <QLabel>
#include <QRgb>
#include <QString>
#include <QWidget>

#include "Vek.Panel.h"
#include "uMonitoring.h"

class QTimer;

// A rounded area filled with one colour (transparent colours let the panel show through); it
// stands for the device's LED.
class TColorRect : public QWidget {
  Q_OBJECT
 public:
  TColorRect(const QString& AName, QWidget* parent);
  void SetColor(QRgb AColor);
  QRgb Color() const { return FColor; }

 signals:
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QRgb FColor = 0x00000000;
};

namespace TGlobals {
// Draws a LED state: colours the rectangle (not for ledDoNotTouch), sets the label's text
// (already translated) and, unless the state is ledDoNotTouch, runs the blink timer exactly
// while ABlink (500 ms) and shows the rectangle when it does not blink. Without a rectangle
// or a label nothing is drawn.
void SetLedState(TLedState AState, bool ABlink, const QString& AText, TColorRect* AColorRect,
                 QLabel* ALabel, QTimer* ATimer);
}  // namespace TGlobals

// The LED panel pnlLed of the dashboard: the LED's colour (rectLedColor) and its text
// (lblLedText), blinking through tmrLedBlink.
class TLedPanel : public TPanel {
  Q_OBJECT
 public:
  static constexpr int BlinkIntervalMs = 500;

  explicit TLedPanel(QWidget* parent);

  // Shows a LED state with its untranslated text. A request equal to the one shown changes
  // nothing, so a repeated state keeps its blinking rhythm.
  void SetLed(TLedState AState, bool ABlink, const QString& AText);
  // The shown text in the current language.
  void ApplyLanguage();

  TColorRect* ColorRect() const { return FColorRect; }
  QLabel* LedText() const { return FLedText; }
  QTimer* BlinkTimer() const { return FtmrLedBlink; }
  QString LastLedText() const { return FLast.Text; }
  TLedState LastLedState() const { return FLast.State; }

 signals:
  // The LED colour was tapped.
  void ColorTapped();
  // The panel's content was tapped elsewhere.
  void ContentTapped();

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  TColorRect* FColorRect = nullptr;
  QLabel* FLedText = nullptr;
  QTimer* FtmrLedBlink = nullptr;
  TLedRequest FLast;  // the request last applied; the LED starts off
};
