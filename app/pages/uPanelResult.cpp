#include "uPanelResult.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineSeries>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "TGlobals.Paths.h"
#include "uMonitoring.h"
#include "uStyles.h"

namespace {
TPanelSpec ResultPanelSpec() {
  TPanelSpec panel = StemPanel(QStringLiteral("Result"), QStringLiteral("Result"),
                              QStringLiteral("Graph shows the result of the Sealwise."));
  panel.SecondButton = QStringLiteral("btnResultSettings");
  panel.SecondPage = QStringLiteral("tabResultSettings");
  return panel;
}

// The plot area is light so that the dark chart colour of the built-in look stays visible.
const QColor PlotArea(0xDF, 0xDF, 0xDF);

// A round step for an axis over ASpan: 1, 2 or 5 times a power of ten, about four per span.
double NiceStep(double ASpan) {
  const double raw = std::max(ASpan, 1.0) / 4;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= raw) return factor * power;
  }
  return 10 * power;
}
}  // namespace

TResultPanel::TResultPanel(QWidget* parent) : TPanel(ResultPanelSpec(), parent) {
  SecondButton()->hide();
  FChartView = new QChartView(MakeChart(), MainPage());
  FChartView->setObjectName(QStringLiteral("chResult"));
  FChartView->setRenderHint(QPainter::Antialiasing);
  FChartView->setRubberBand(QChartView::NoRubberBand);
  FChartView->setInteractive(false);
  FChartView->setFrameShape(QFrame::NoFrame);
  FChartView->setBackgroundBrush(TStyles::PanelBody);
  FChartView->viewport()->installEventFilter(this);
  MainPage()->installEventFilter(this);
  auto* column = new QVBoxLayout(MainPage());
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(FChartView);

  // A diagnostic text over the chart, kept hidden.
  FDebug = TStyles::MakeLabel(QStringLiteral("lblSealwiseDebug"), QString(), FChartView);
  FDebug->hide();

  FtmrBreathingColorOff = new QTimer(this);
  FtmrBreathingColorOff->setObjectName(QStringLiteral("tmrBreathingColorOff"));
  FtmrBreathingColorOff->setInterval(HighlightMs);
  FtmrBreathingColorOff->setSingleShot(true);
  FtmrBreathingColorOff->setTimerType(Qt::PreciseTimer);
  connect(FtmrBreathingColorOff, &QTimer::timeout, this,
          [this] { SetCurveColor(TGlobals::ColorChart()); });
}

QChart* TResultPanel::MakeChart() {
  auto* chart = new QChart();
  chart->legend()->hide();
  chart->setBackgroundVisible(false);
  chart->setPlotAreaBackgroundBrush(PlotArea);
  chart->setPlotAreaBackgroundVisible(true);
  chart->setMargins(QMargins(2, 6, 8, 4));
  chart->setBackgroundRoundness(0);
  chart->setAnimationOptions(QChart::NoAnimation);

  FSeries = new QLineSeries(chart);
  FSeries->setObjectName(QStringLiteral("serResult"));
  QPen pen(Qt::black);
  pen.setWidth(LineWidth);
  FSeries->setPen(pen);
  chart->addSeries(FSeries);

  FAxisX = new QValueAxis(chart);
  FAxisX->setRange(0, MaxPoints - 1);
  FAxisX->setVisible(false);
  chart->addAxis(FAxisX, Qt::AlignBottom);
  FSeries->attachAxis(FAxisX);

  FAxisY = new QValueAxis(chart);
  FAxisY->setRange(0, 1);
  FAxisY->setLabelsColor(Qt::white);
  FAxisY->setLabelsFont(TStyles::Font(10));
  FAxisY->setLabelFormat(QStringLiteral("%.0f"));
  // Ticks at multiples of the axis step, so the labels are round values.
  FAxisY->setTickType(QValueAxis::TicksDynamic);
  FAxisY->setTickAnchor(0);
  FAxisY->setTickInterval(1);
  FAxisY->setLineVisible(false);
  FAxisY->setGridLineVisible(false);
  FAxisY->setMinorGridLineVisible(false);
  chart->addAxis(FAxisY, Qt::AlignLeft);
  FSeries->attachAxis(FAxisY);
  return chart;
}

void TResultPanel::AddChartPoint(double AValue) {
  if (FPoints.size() >= MaxPoints) {
    for (qsizetype i = 0; i + 1 < FPoints.size(); ++i) FPoints[i].setY(FPoints[i + 1].y());
    FPoints.last().setY(AValue);
  } else {
    FPoints.append(QPointF(static_cast<qreal>(FPoints.size()), AValue));
  }
  FSeries->replace(FPoints);
  FitAxis();
}

void TResultPanel::FitAxis() {
  const auto [low, high] =
      std::minmax_element(FPoints.cbegin(), FPoints.cend(),
                          [](const QPointF& A, const QPointF& B) { return A.y() < B.y(); });
  const double step = NiceStep(high->y() - low->y());
  const double from = std::floor(low->y() / step) * step;
  const double to = std::max(std::ceil(high->y() / step) * step, from + step);
  if (from != FAxisY->min() || to != FAxisY->max()) FAxisY->setRange(from, to);
  if (step != FAxisY->tickInterval()) FAxisY->setTickInterval(step);
}

void TResultPanel::SetCurveColor(QRgb AColor) {
  QPen pen = FSeries->pen();
  pen.setColor(TStyles::FromArgb(AColor));
  FSeries->setPen(pen);
}

QRgb TResultPanel::CurveColor() const { return FSeries->pen().color().rgba(); }

void TResultPanel::ShowCheckRunning() {
  FtmrBreathingColorOff->stop();
  SetCurveColor(TCurveColor::Running);
}

void TResultPanel::HighlightResult(QRgb AColor) {
  SetCurveColor(AColor);
  FtmrBreathingColorOff->start();
}

bool TResultPanel::eventFilter(QObject* AWatched, QEvent* AEvent) {
  // Squeezed by the open users list, the chart would show a stray label: it steps aside.
  if (AWatched == MainPage() && AEvent->type() == QEvent::Resize)
    FChartView->setVisible(MainPage()->height() >= MinChartHeight);
  // A release outside the chart ends a swipe (or a press dragged away), not a tap.
  if (AWatched == FChartView->viewport() && AEvent->type() == QEvent::MouseButtonRelease &&
      FChartView->viewport()->rect().contains(
          static_cast<QMouseEvent*>(AEvent)->position().toPoint()))
    emit ChartTapped();
  return TPanel::eventFilter(AWatched, AEvent);
}
