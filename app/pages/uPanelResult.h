#pragma once
#include <QList>
#include <QPointF>
#include <QRgb>

#include "Vek.Panel.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QTimer;
class QValueAxis;

// The result panel pnlResult of the dashboard: the live pressure curve (chart chResult with
// the one series serResult) whose colour shows a seal check running and its result.
class TResultPanel : public TPanel {
  Q_OBJECT
 public:
  static constexpr int MaxPoints = 200;
  static constexpr int LineWidth = 3;
  static constexpr int HighlightMs = 5000;
  // Below this content height the chart is hidden rather than drawn unreadably small.
  static constexpr int MinChartHeight = 60;

  explicit TResultPanel(QWidget* parent);

  // Appends a value to the curve; once it holds MaxPoints the curve scrolls instead (the
  // oldest value drops out, the new one comes in at the end).
  void AddChartPoint(double AValue);
  void SetCurveColor(QRgb AColor);
  // A seal check runs: the curve takes the running colour and keeps it (a highlight still
  // pending from the previous check is dropped).
  void ShowCheckRunning();
  // Colours the curve with a seal check's result for HighlightMs, then with the chart colour.
  void HighlightResult(QRgb AColor);

  QChartView* ChartView() const { return FChartView; }
  QLineSeries* Series() const { return FSeries; }
  QRgb CurveColor() const;
  QTimer* BreathingColorOffTimer() const { return FtmrBreathingColorOff; }

 signals:
  void ChartTapped();

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  QChart* MakeChart();
  // The left axis follows the shown values in round steps, so it rarely changes.
  void FitAxis();

  QChartView* FChartView = nullptr;
  QLineSeries* FSeries = nullptr;
  QValueAxis* FAxisX = nullptr;
  QValueAxis* FAxisY = nullptr;
  QLabel* FDebug = nullptr;
  QTimer* FtmrBreathingColorOff = nullptr;
  QList<QPointF> FPoints;  // what the series shows, kept to scroll without copying it back
};
