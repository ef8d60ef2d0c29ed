// The live monitoring pieces on their own: the pressure average, compass points, LED states,
// alert rows and values, the LED and result panels, the sensor tiles and the alert page.
#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QValueAxis>
#include <cmath>
#include <limits>
#include <memory>

#include "KX52xx.AlertList.h"
#include "TGlobals.Paths.h"
#include "TestWait.h"
#include "Vek.Lang.h"
#include "pages/uMonitoring.h"
#include "pages/uPageAlert.h"
#include "pages/uPanelLed.h"
#include "pages/uPanelResult.h"
#include "pages/uPanelSensors.h"

TEST(TPressureAverageTest, DrawsNothingForTwoSamplesThenTheMeanOfTheLastThree) {
  TPressureAverage average;
  EXPECT_FALSE(average.Add(10).has_value());
  EXPECT_FALSE(average.Add(20).has_value());
  EXPECT_EQ(average.Size(), 2);
  EXPECT_DOUBLE_EQ(average.Add(31).value(), 61 / 3.0);  // a fractional mean is kept
  EXPECT_DOUBLE_EQ(average.Add(40).value(), 91 / 3.0);  // 20, 31, 40: the 10 dropped out
  EXPECT_DOUBLE_EQ(average.Add(-90).value(), -19 / 3.0);
  EXPECT_EQ(average.Size(), 3);
}

TEST(TPressureAverageTest, ExtremeSamplesWrapAsThirtyTwoBitSumsInsteadOfOverflowing) {
  TPressureAverage average;
  constexpr qint32 top = std::numeric_limits<qint32>::max();
  average.Add(top);
  average.Add(top);
  // 3 * (2^31 - 1) wraps to 2^31 - 3.
  EXPECT_DOUBLE_EQ(average.Add(top).value(), 2147483645 / 3.0);
}

class TFormatDirectionTest : public ::testing::TestWithParam<std::pair<int, const char*>> {};

TEST_P(TFormatDirectionTest, GivesTheCompassPoint) {
  EXPECT_EQ(TGlobals::FormatDirection(GetParam().first), QLatin1String(GetParam().second))
      << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(
    Degrees, TFormatDirectionTest,
    ::testing::Values(std::pair{725, "N"}, std::pair{250, "W"}, std::pair{202, "SW"},
                      std::pair{-30, "N"}, std::pair{0, "N"}, std::pair{21, "N"},
                      std::pair{22, "NE"}, std::pair{66, "NE"}, std::pair{67, "E"},
                      std::pair{111, "E"}, std::pair{112, "SE"}, std::pair{157, "S"},
                      std::pair{201, "S"}, std::pair{246, "SW"}, std::pair{247, "W"},
                      std::pair{292, "NW"}, std::pair{336, "NW"}, std::pair{337, "N"},
                      std::pair{359, "N"}, std::pair{360, "N"}, std::pair{1000, "W"}));

struct TLedCase {
  int Alert;
  TLedState State;
  bool Blink;
  const char* Text;
  QRgb Color;
};

class TLedTableTest : public ::testing::TestWithParam<TLedCase> {};

TEST_P(TLedTableTest, DeviceEventAsksForItsLedState) {
  const TLedCase& c = GetParam();
  const std::optional<TLedRequest> request = LedRequestOfAlert(static_cast<quint8>(c.Alert));
  ASSERT_TRUE(request.has_value()) << c.Alert;
  EXPECT_EQ(request->State, c.State) << c.Alert;
  EXPECT_EQ(request->Blink, c.Blink) << c.Alert;
  EXPECT_EQ(request->Text, QLatin1String(c.Text)) << c.Alert;
  EXPECT_EQ(LedStateColor(c.State), std::optional<QRgb>(c.Color)) << c.Alert;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, TLedTableTest,
    ::testing::Values(TLedCase{20, ledPurple, true, "Over Breathing", 0xFFB803FE},
                      TLedCase{21, ledRed, true, "Double Breathe", 0xFFF13535},
                      TLedCase{80, ledOff, false, "", 0x00000000},
                      TLedCase{81, ledRed, false, "Sealwise FAIL", 0xFFF13535},
                      TLedCase{82, ledRed, true, "Sealwise FAIL", 0xFFF13535},
                      TLedCase{83, ledYellow, false, "Sealwise", 0xFFFFFF00},
                      TLedCase{84, ledYellow, true, "Waiting Sealwise", 0xFFFFFF00},
                      TLedCase{85, ledGreen, false, "Sealwise PASS", 0xFF7CF42E},
                      TLedCase{86, ledGreen, true, "Sealwise PASS", 0xFF7CF42E},
                      TLedCase{87, ledPurple, false, "Sealwise", 0xFFB803FE},
                      TLedCase{88, ledPurple, true, "Waiting Sealwise", 0xFFB803FE},
                      TLedCase{89, ledBlue, false, "", 0xFF007EF5},
                      TLedCase{90, ledBlue, true, "", 0xFF007EF5}));

TEST(TLedTableTest, OtherCodesLeaveTheLedAloneAndDoNotTouchKeepsTheColour) {
  for (int code : {0, 17, 18, 19, 22, 32, 36, 79, 91, 255})
    EXPECT_FALSE(LedRequestOfAlert(static_cast<quint8>(code)).has_value()) << code;
  EXPECT_FALSE(LedStateColor(ledDoNotTouch).has_value());
  EXPECT_EQ(LedStateColor(ledDisable), std::optional<QRgb>(0x00FFFFFF));
}

TEST(TAlertRowTest, ImageIndexByAlertCode) {
  EXPECT_EQ(AlertImageIndex(34), 3);
  EXPECT_EQ(AlertImageIndex(35), 2);
  for (int code : {0, 20, 21, 32, 33, 36, 37, 38, 39, 48, 49, 50, 51})
    EXPECT_EQ(AlertImageIndex(static_cast<quint8>(code)), 4) << code;
  for (int code : {17, 18, 19, 22, 31, 40, 47, 52, 80, 255})
    EXPECT_EQ(AlertImageIndex(static_cast<quint8>(code)), -1) << code;
}

TEST(TAlertRowTest, ValuesAreHundredthsAtBytesOneAndFive) {
  const QByteArray data = QByteArray::fromHex("24000009c400000fa1");
  const TAlertValues values = AlertValuesOf(data);
  EXPECT_DOUBLE_EQ(values.Measured, 25.0);
  EXPECT_DOUBLE_EQ(values.Reference, 40.01);
  const TAlertValues tooShort = AlertValuesOf(QByteArray::fromHex("240000"));
  EXPECT_DOUBLE_EQ(tooShort.Measured, 0);
  EXPECT_DOUBLE_EQ(tooShort.Reference, 0);
  // The largest 32-bit number stays positive.
  EXPECT_DOUBLE_EQ(AlertValuesOf(QByteArray::fromHex("24ffffffff")).Measured, 42949672.95);
}

TEST(TAlertRowTest, DetailShowsCountdownCounterAndState) {
  TAlertItem item(atTemperatureTooLow, 30, 3, 1, 2);
  item.IncCounter();
  item.DecTimeLeft();
  EXPECT_EQ(AlertDetailText(item),
            QStringLiteral("Timeout: 29/30\nCounter: 2\nWaiting for user cancel..."));
  item.SetOnAlert([](TAlertItem* AItem) {
    EXPECT_EQ(AlertDetailText(*AItem), QStringLiteral("Timeout: 0/30\nCounter: 2\nExecuting..."));
  });
  for (int i = 0; i < 29; ++i) item.DecTimeLeft();
  EXPECT_EQ(AlertDetailText(item), QStringLiteral("Timeout: 0/30\nCounter: 2\nDone."));
}

// --- the LED panel -------------------------------------------------------------------------

class TLedPanelTest : public ::testing::Test {
 protected:
  TLedPanel Panel{nullptr};
  QRgb Color() const { return Panel.ColorRect()->Color(); }
  QString Text() const { return Panel.LedText()->text(); }
  bool Blinking() const { return Panel.BlinkTimer()->isActive(); }
};

TEST_F(TLedPanelTest, NamedControlsAndAnOffLedAtStart) {
  EXPECT_EQ(Panel.objectName(), QStringLiteral("pnlLed"));
  EXPECT_EQ(Panel.ColorRect()->objectName(), QStringLiteral("rectLedColor"));
  EXPECT_EQ(Panel.LedText()->objectName(), QStringLiteral("lblLedText"));
  EXPECT_EQ(Panel.BlinkTimer()->objectName(), QStringLiteral("tmrLedBlink"));
  EXPECT_NE(Panel.findChild<QWidget*>(QStringLiteral("tabLedInfo")), nullptr);
  EXPECT_EQ(Panel.LastLedState(), ledOff);
  EXPECT_EQ(qAlpha(Color()), 0);
  EXPECT_FALSE(Blinking());
}

TEST_F(TLedPanelTest, SteadyStateColoursShowsAndStopsBlinking) {
  Panel.SetLed(ledRed, true, QStringLiteral("Sealwise FAIL"));
  EXPECT_TRUE(Blinking());
  EXPECT_EQ(Panel.BlinkTimer()->interval(), 500);
  Panel.ColorRect()->setVisible(false);  // caught in the dark half of a blink
  Panel.SetLed(ledGreen, false, QStringLiteral("Sealwise PASS"));
  EXPECT_EQ(Color(), 0xFF7CF42Eu);
  EXPECT_EQ(Text(), QStringLiteral("Sealwise PASS"));
  EXPECT_FALSE(Blinking());
  EXPECT_FALSE(Panel.ColorRect()->isHidden());
  EXPECT_EQ(Panel.LastLedState(), ledGreen);
}

TEST_F(TLedPanelTest, BlinkingShowsAndHidesTheColourEveryHalfSecond) {
  Panel.show();
  Panel.SetLed(ledPurple, true, QStringLiteral("Waiting Seal Wise"));
  EXPECT_EQ(Color(), 0xFFB803FEu);
  ASSERT_TRUE(WaitUntil([this] { return Panel.ColorRect()->isHidden(); }, 3000));
  EXPECT_TRUE(WaitUntil([this] { return !Panel.ColorRect()->isHidden(); }, 3000));
}

// The guard follows the state last applied, so the device's "LEDs off" works after any other
// state, while the same request again changes nothing (the blinking keeps its rhythm).
TEST_F(TLedPanelTest, OffAfterAnotherStateAppliesAndARepeatedRequestChangesNothing) {
  Panel.SetLed(ledBlue, true, QString());
  Panel.SetLed(ledOff, false, QString());
  EXPECT_EQ(Color(), 0x00000000u);
  EXPECT_FALSE(Blinking());
  EXPECT_EQ(Panel.LastLedState(), ledOff);

  Panel.SetLed(ledYellow, true, QStringLiteral("Waiting Sealwise"));
  Panel.LedText()->setText(QStringLiteral("marker"));
  Panel.BlinkTimer()->stop();
  Panel.SetLed(ledYellow, true, QStringLiteral("Waiting Sealwise"));
  EXPECT_EQ(Text(), QStringLiteral("marker"));
  EXPECT_FALSE(Blinking());
  // The same colour with another text or rhythm is a new request.
  Panel.SetLed(ledYellow, false, QStringLiteral("Sealwise"));
  EXPECT_EQ(Text(), QStringLiteral("Sealwise"));
}

TEST_F(TLedPanelTest, DoNotTouchKeepsColourAndTimerButSetsTheText) {
  Panel.SetLed(ledGreen, true, QStringLiteral("Sealwise PASS"));
  TGlobals::SetLedState(ledDoNotTouch, false, QStringLiteral("text"), Panel.ColorRect(),
                        Panel.LedText(), Panel.BlinkTimer());
  EXPECT_EQ(Color(), 0xFF7CF42Eu);
  EXPECT_EQ(Text(), QStringLiteral("text"));
  EXPECT_TRUE(Blinking());
  // Without a rectangle or a label nothing is drawn.
  TGlobals::SetLedState(ledRed, false, QStringLiteral("x"), nullptr, Panel.LedText(), nullptr);
  EXPECT_EQ(Text(), QStringLiteral("text"));
}

TEST_F(TLedPanelTest, TextIsTranslatedWhenShownAndAgainWhenTheLanguageChanges) {
  Lng = std::make_unique<TLng>();
  TLang::AddLang(QStringLiteral("Deutsch"),
                 QStringLiteral(SEALWISE_SOURCE_DIR "/translations/Deutsch.lng"));
  TLang::SetLang(QStringLiteral("Deutsch"));
  Panel.SetLed(ledPurple, true, QStringLiteral("Over Breathing"));
  EXPECT_EQ(Text(), QStringLiteral("Zu starke Atmung"));
  EXPECT_EQ(Panel.LastLedText(), QStringLiteral("Over Breathing"));
  TLang::SetLang(QStringLiteral("English"));
  Panel.ApplyLanguage();
  EXPECT_EQ(Text(), QStringLiteral("Over Breathing"));
  Lng.reset();
}

// --- the result panel ----------------------------------------------------------------------

class TResultPanelTest : public ::testing::Test {
 protected:
  TResultPanel Panel{nullptr};
  QLineSeries* Series() const { return Panel.Series(); }
};

TEST_F(TResultPanelTest, ChartWithOneThickLineAndOnlyTheLeftAxisLabels) {
  EXPECT_EQ(Panel.objectName(), QStringLiteral("pnlResult"));
  EXPECT_EQ(Panel.ChartView()->objectName(), QStringLiteral("chResult"));
  EXPECT_EQ(Series()->objectName(), QStringLiteral("serResult"));
  EXPECT_EQ(Series()->pen().width(), 3);
  EXPECT_EQ(Panel.CurveColor(), 0xFF000000u);
  QChart* chart = Panel.ChartView()->chart();
  EXPECT_TRUE(chart->title().isEmpty());
  EXPECT_FALSE(chart->legend()->isVisible());
  ASSERT_EQ(chart->axes(Qt::Horizontal).size(), 1);
  EXPECT_FALSE(chart->axes(Qt::Horizontal).first()->isVisible());
  ASSERT_EQ(chart->axes(Qt::Vertical).size(), 1);
  auto* left = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).first());
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(left->labelsColor(), QColor(Qt::white));
  EXPECT_FALSE(left->isGridLineVisible());
  EXPECT_EQ(Panel.ChartView()->rubberBand(), QChartView::NoRubberBand);
  EXPECT_TRUE(Panel.findChild<QLabel*>(QStringLiteral("lblSealwiseDebug"))->isHidden());
  EXPECT_TRUE(Panel.SecondButton()->isHidden());
}

TEST_F(TResultPanelTest, CurveScrollsAtTwoHundredPoints) {
  for (int i = 0; i < 199; ++i) Panel.AddChartPoint(i);
  EXPECT_EQ(Series()->count(), 199);
  Panel.AddChartPoint(199);
  ASSERT_EQ(Series()->count(), 200);
  Panel.AddChartPoint(1000.5);
  ASSERT_EQ(Series()->count(), 200);
  EXPECT_DOUBLE_EQ(Series()->at(0).y(), 1);  // the oldest value dropped out
  EXPECT_DOUBLE_EQ(Series()->at(198).y(), 199);
  EXPECT_DOUBLE_EQ(Series()->at(199).y(), 1000.5);
  for (int i = 0; i < 200; ++i) EXPECT_DOUBLE_EQ(Series()->at(i).x(), i);
  for (int i = 0; i < 300; ++i) Panel.AddChartPoint(-i);
  EXPECT_EQ(Series()->count(), 200);
  EXPECT_DOUBLE_EQ(Series()->at(0).y(), -100);
  EXPECT_DOUBLE_EQ(Series()->at(199).y(), -299);
}

TEST_F(TResultPanelTest, LeftAxisCoversTheShownValues) {
  for (double value : {-12.5, 30.0, 1234.0}) Panel.AddChartPoint(value);
  auto* left = qobject_cast<QValueAxis*>(Panel.ChartView()->chart()->axes(Qt::Vertical).first());
  EXPECT_LE(left->min(), -12.5);
  EXPECT_GE(left->max(), 1234.0);
  for (int i = 0; i < 200; ++i) Panel.AddChartPoint(7);  // a flat curve still has a range
  EXPECT_LE(left->min(), 7);
  EXPECT_GT(left->max(), 7);
}

TEST_F(TResultPanelTest, AxisTicksFallOnRoundValues) {
  for (double value : {101277.0, 101362.0, 101301.0}) Panel.AddChartPoint(value);
  auto* left = qobject_cast<QValueAxis*>(Panel.ChartView()->chart()->axes(Qt::Vertical).first());
  ASSERT_EQ(left->tickType(), QValueAxis::TicksDynamic);
  EXPECT_DOUBLE_EQ(left->tickAnchor(), 0);
  EXPECT_DOUBLE_EQ(left->tickInterval(), 50);
  EXPECT_DOUBLE_EQ(std::fmod(left->min(), left->tickInterval()), 0);
}

TEST_F(TResultPanelTest, TheChartStepsAsideWhileSqueezedAndComesBack) {
  Panel.resize(300, 300);
  Panel.show();
  ProcessEventsFor(50);
  EXPECT_TRUE(Panel.ChartView()->isVisible());
  Panel.resize(300, 80);
  ProcessEventsFor(50);
  EXPECT_FALSE(Panel.ChartView()->isVisible());
  Panel.resize(300, 300);
  ProcessEventsFor(50);
  EXPECT_TRUE(Panel.ChartView()->isVisible());
}

TEST_F(TResultPanelTest, ResultHighlightEndsInTheChartColourAndANewCheckKeepsItsColour) {
  Panel.BreathingColorOffTimer()->setInterval(30);
  Panel.HighlightResult(TCurveColor::Passed);
  EXPECT_EQ(Panel.CurveColor(), 0xFF7CF42Eu);
  ASSERT_TRUE(WaitUntil([this] { return Panel.CurveColor() == TGlobals::ColorChart(); }, 3000));
  EXPECT_FALSE(Panel.BreathingColorOffTimer()->isActive());

  Panel.HighlightResult(TCurveColor::Failed);
  EXPECT_EQ(Panel.CurveColor(), 0xFFF13535u);
  Panel.ShowCheckRunning();
  ProcessEventsFor(100);
  EXPECT_EQ(Panel.CurveColor(), 0xFFB803FEu);
}

TEST_F(TResultPanelTest, TappingTheChartIsReported) {
  QSignalSpy taps(&Panel, &TResultPanel::ChartTapped);
  Panel.resize(300, 200);
  Panel.show();
  QWidget* viewport = Panel.ChartView()->viewport();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 20),
                    viewport->mapToGlobal(QPointF(20, 20)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(20, 20),
                      viewport->mapToGlobal(QPointF(20, 20)), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &press);
  QCoreApplication::sendEvent(viewport, &release);
  EXPECT_EQ(taps.count(), 1);
}

// --- the sensor tiles ----------------------------------------------------------------------

TEST(TSensorsPanelTest, TilesStartEmptyAndTheVisibleOnesAreCentred) {
  TSensorsPanel panel(nullptr);
  const char* labels[] = {"lblSensorTemperature", "lblSensorHumidity", "lblSensorDirection",
                          "lblSensorSteps"};
  for (const char* name : labels) {
    auto* label = panel.findChild<QLabel*>(QLatin1String(name));
    ASSERT_NE(label, nullptr) << name;
    EXPECT_EQ(label->text(), QStringLiteral("---"));
  }
  EXPECT_NE(panel.findChild<QWidget*>(QStringLiteral("rectSensorDistance")), nullptr);
  EXPECT_TRUE(panel.Tile(TSensorsPanel::stDirection)->isHidden());
  EXPECT_TRUE(panel.Tile(TSensorsPanel::stSteps)->isHidden());

  panel.resize(301, panel.height());
  panel.show();
  ASSERT_TRUE(WaitUntil([&] { return panel.Content()->width() > 0; }));
  panel.ArrangeTiles();
  const QWidget* first = panel.Tile(TSensorsPanel::stTemperature);
  const QWidget* last = panel.Tile(TSensorsPanel::stHumidity);
  const int leftGap = first->x();
  const int rightGap = panel.Content()->width() - (last->x() + last->width());
  EXPECT_NEAR(leftGap, rightGap, 2);
  EXPECT_LT(first->x() + first->width(), last->x());
  EXPECT_EQ(panel.Distance()->width() + (panel.Content()->width() - 4 * 62) / 8, first->x());
}

// --- the alert page ------------------------------------------------------------------------

class TAlertPageTest : public ::testing::Test {
 protected:
  static constexpr int TickMs = 5;
  void SetUp() override { Page.SetAlertList(&Alerts); }
  void TearDown() override { Page.SetAlertList(nullptr); }

  TAlertPage Page{nullptr};
  TAlertList Alerts{TickMs};
};

TEST_F(TAlertPageTest, AnAlertAddsOneRowWhichARepeatUpdates) {
  Alerts.Add(atTemperatureTooLow, 25, 40);
  ASSERT_EQ(Page.List()->count(), 1);
  EXPECT_EQ(Page.List()->objectName(), QStringLiteral("lvAlerts"));
  QListWidgetItem* row = Page.RowOf(atTemperatureTooLow);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->data(TAlertPage::TagRole).toInt(), 36);
  EXPECT_EQ(row->sizeHint().height(), 64);
  EXPECT_FALSE(row->flags() & Qt::ItemIsSelectable);
  EXPECT_EQ(Page.RowImage(atTemperatureTooLow), 4);
  EXPECT_EQ(Page.RowText(atTemperatureTooLow), AlertTypeText(atTemperatureTooLow));
  EXPECT_TRUE(Page.RowDetail(atTemperatureTooLow)
                  .startsWith(QStringLiteral("Timeout: 30/30\nCounter: 1\n")));

  Alerts.Add(atTemperatureTooLow, 26, 40);
  EXPECT_EQ(Page.List()->count(), 1);
  EXPECT_TRUE(Page.RowDetail(atTemperatureTooLow).contains(QStringLiteral("Counter: 2")));
  Alerts.Add(atImpact, 0, 0);
  EXPECT_EQ(Page.List()->count(), 2);
  EXPECT_EQ(Page.RowImage(atImpact), 3);
}

TEST_F(TAlertPageTest, TicksCountDownEveryRowAndAnExpiredAlertGoes) {
  QSignalSpy emptied(&Page, &TAlertPage::Emptied);
  Alerts.Add(atFallProtection, 0, 0);
  ASSERT_TRUE(WaitUntil([this] {
    return Page.RowDetail(atFallProtection).startsWith(QStringLiteral("Timeout: 2"));
  }));
  // 30 ticks: the item executes and its row goes.
  ASSERT_TRUE(WaitUntil([this] { return Page.List()->count() == 0; }, 5000));
  EXPECT_EQ(Alerts.Count(), 0);
  EXPECT_EQ(emptied.count(), 1);
}

TEST_F(TAlertPageTest, CancellingARowDeletesItsAlertAndTheLastOneEmptiesThePage) {
  QSignalSpy emptied(&Page, &TAlertPage::Emptied);
  Alerts.Add(atHumidityTooHigh, 80, 70);
  Alerts.Add(atStopBreathing, 0, 0);
  Page.RowAccessory(atHumidityTooHigh)->click();
  EXPECT_EQ(Page.RowOf(atHumidityTooHigh), nullptr);
  EXPECT_EQ(Alerts.Get(atHumidityTooHigh), nullptr);
  EXPECT_EQ(emptied.count(), 0);
  Page.RowAccessory(atStopBreathing)->click();
  EXPECT_EQ(Page.List()->count(), 0);
  EXPECT_EQ(Alerts.Count(), 0);
  EXPECT_EQ(emptied.count(), 1);
  Page.RemoveAlert(nullptr, true);  // no item: nothing
  EXPECT_EQ(emptied.count(), 1);
}

TEST_F(TAlertPageTest, RowsGoWithTheirListAndTheFrameFlashesWhileActive) {
  Alerts.Add(atImpact, 0, 0);
  Page.SetAlertList(nullptr);
  EXPECT_EQ(Page.List()->count(), 0);
  EXPECT_FALSE(Alerts.OnAlertChanged);  // the old list no longer reaches the page
  Alerts.Add(atFallProtection, 0, 0);
  EXPECT_EQ(Page.List()->count(), 0);

  EXPECT_EQ(Page.StrokeColor(), TAlertPage::StrokeBlack);
  Page.SetRedAlert(true);
  EXPECT_EQ(Page.RedAlertTimer()->interval(), 500);
  ASSERT_TRUE(WaitUntil([this] { return Page.StrokeColor() == TAlertPage::StrokeRed; }, 3000));
  ASSERT_TRUE(WaitUntil([this] { return Page.StrokeColor() == TAlertPage::StrokeBlack; }, 3000));
  Page.SetRedAlert(false);
  EXPECT_FALSE(Page.RedAlertTimer()->isActive());
}
