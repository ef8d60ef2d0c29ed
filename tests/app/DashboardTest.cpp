// The dashboard and the alert page in the real window over a fake USB link: the pressure curve
// and its samples, seal checks and their wearer, LED states, sensor readings, and the KX5220's
// hazard alerts that block the working area until handled.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>

#include "KX52xx.AlertList.h"
#include "ShellFixture.h"
#include "TGlobals.Codecs.h"
#include "pages/uLiveMonitor.h"
#include "pages/uMonitoring.h"
#include "pages/uPageAlert.h"
#include "pages/uPageDashboard.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelLed.h"
#include "pages/uPanelResult.h"
#include "pages/uPanelSensors.h"
#include "pages/uPanelUsers.h"

namespace {
QByteArray Pressure(quint32 AValue) {
  QByteArray data;
  for (int shift = 24; shift >= 0; shift -= 8) data.append(static_cast<char>(AValue >> shift));
  return data;
}

// A hazard alert with its measured and reference value in hundredths.
QByteArray Hazard(quint8 AKind, quint32 AMeasured100, quint32 AReference100) {
  return QByteArray(1, static_cast<char>(AKind)) + Pressure(AMeasured100) + Pressure(AReference100);
}
}  // namespace

class TDashboardTest : public TShellTest {
 protected:
  void Connect(const QString& ADeviceName) {
    StartAndSettle();
    Window->SetAlertTickInterval(AlertTickMs);
    ConnectUsb(ADeviceName);
  }
  void Event(quint8 AKind) { Usb().Answer(255, QByteArray(1, static_cast<char>(AKind))); }
  void SendPressure(quint32 AValue) { Usb().Answer(16, Pressure(AValue)); }

  TDashboardPage* Dashboard() const { return Window->WorkingPage()->Dashboard(); }
  TLedPanel* Led() const { return Dashboard()->Led(); }
  TResultPanel* Result() const { return Dashboard()->Result(); }
  QLineSeries* Curve() const { return Result()->Series(); }
  TAlertPage* Alerts() const { return Window->WorkingPage()->Alert(); }
  bool FooterEnabled() const {
    return Window->WorkingPage()->FooterButton(TWorkingPage::ftDashboard)->isEnabled();
  }
  const std::vector<TResultsRecord>& Results() const { return dmDb->TableResults(); }

  int AlertTickMs = TAlertList::kTickIntervalMs;
};

TEST_F(TDashboardTest, LivePanelsStandOnTheDashboardAndTheLedWaitsForTheDevice) {
  StartAndSettle();
  for (const char* name : {"pnlLed",
                           "tcLed",
                           "rectLedColor",
                           "lblLedText",
                           "btnLedInfo",
                           "tabLedInfo",
                           "tcResult",
                           "chResult",
                           "btnResultInfo",
                           "tabResultInfo",
                           "pnlSensors",
                           "tcSensors",
                           "rectSensorsContent",
                           "rectSensorDistance",
                           "rectSensorTemperature",
                           "lblSensorTemperature",
                           "rectSensorHumidity",
                           "lblSensorHumidity",
                           "rectSensorDirection",
                           "lblSensorDirection",
                           "rectSensorSteps",
                           "lblSensorSteps",
                           "btnSensorsInfo",
                           "rectAlert",
                           "pnlAlertList",
                           "lvAlerts",
                           "btnAlertListInfo",
                           "pnlAlertCmd",
                           "btnAlertCmdInfo",
                           "tmrLedBlink",
                           "tmrBreathingColorOff",
                           "tmrRedAlert"}) {
    EXPECT_NE(Window->findChild<QObject*>(QLatin1String(name)), nullptr) << name;
  }
  // Translation keys go through the window.
  EXPECT_EQ(TLng::ControlKey(Led()->LedText(), QStringLiteral("Text")),
            QStringLiteral("frmMain|lblLedText|Text"));
  EXPECT_EQ(Led()->LedText()->text(), QStringLiteral("Waiting Seal Wise"));
  EXPECT_EQ(Led()->ColorRect()->Color(), 0xFFB803FEu);
  EXPECT_TRUE(Led()->BlinkTimer()->isActive());
  // The panel buttons of these panels take part in the common handler.
  Find<QToolButton>("btnResultInfo")->click();
  EXPECT_EQ(Result()->Pages()->ActivePage(), Find<QWidget>("tabResultInfo"));
}

TEST_F(TDashboardTest, CurveDrawsTheMeanOfThreeFromTheThirdSampleAndStoresIt) {
  Connect(QStringLiteral("KX5210_A"));
  SendPressure(100);
  SendPressure(200);
  EXPECT_EQ(Curve()->count(), 0);
  EXPECT_TRUE(dmDb->TablePressures().empty());
  SendPressure(301);
  ASSERT_EQ(Curve()->count(), 1);
  EXPECT_DOUBLE_EQ(Curve()->at(0).y(), 601 / 3.0);
  ASSERT_EQ(dmDb->TablePressures().size(), 1u);
  EXPECT_EQ(dmDb->TablePressures()[0].GetPressure(), 200);  // truncated toward zero
  SendPressure(400);
  EXPECT_DOUBLE_EQ(Curve()->at(1).y(), 901 / 3.0);

  for (quint32 i = 0; i < 250; ++i) SendPressure(i);
  EXPECT_EQ(Curve()->count(), 200);
  EXPECT_DOUBLE_EQ(Curve()->at(199).y(), 248);  // mean of 247, 248, 249
  EXPECT_EQ(dmDb->TablePressures().size(), 252u);
}

TEST_F(TDashboardTest, EventsFromTheCloudLinkChangeNothing) {
  Connect(QStringLiteral("KX5220_A"));
  TKX52xxDeviceData& device = Window->DevData();
  for (int i = 0; i < 5; ++i) device.OnReceivedPressure(&device, CONN_CLOUD, TGlobals::Now(), 50);
  device.OnReceivedAlert(&device, CONN_CLOUD, TGlobals::Now(), atSealwiseStart, {});
  device.OnReceivedAlert(&device, CONN_CLOUD, TGlobals::Now(), atTemperatureTooLow,
                         Hazard(36, 100, 200));
  device.OnReceivedAlert(&device, CONN_CLOUD, TGlobals::Now(), atLEDGreen, {});
  EXPECT_EQ(Curve()->count(), 0);
  EXPECT_TRUE(Results().empty());
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabDashboard());
  EXPECT_EQ(Led()->LedText()->text(), QStringLiteral("Waiting Seal Wise"));
}

TEST_F(TDashboardTest, SealCheckOnAKx5210IsRecordedForTheSelectedUserWhoIsClearedOnPass) {
  Connect(QStringLiteral("KX5210_A"));
  dmDb->AddUser(QStringLiteral("Anna"));
  dmDb->AddUser(QStringLiteral("Ben"));
  Window->UsersPanel()->SelectUser(QStringLiteral("Ben"));
  const qint32 ben = dmDb->GetUserID(QStringLiteral("Ben"));
  ASSERT_NE(ben, 0);
  ASSERT_EQ(Window->SelectedUserID(), ben);

  Event(atSealwiseStart);
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].GetUserID(), ben);
  EXPECT_EQ(Result()->CurveColor(), 0xFFB803FEu);
  Event(atSealwisePassed);
  EXPECT_TRUE(Results()[0].GetPass());
  EXPECT_EQ(Results()[0].GetAlert(), atSealwisePassed);
  EXPECT_EQ(Result()->CurveColor(), 0xFF7CF42Eu);
  EXPECT_TRUE(Result()->BreathingColorOffTimer()->isActive());
  EXPECT_EQ(Window->SelectedUserID(), 0);
  EXPECT_TRUE(Window->UsersPanel()->SelectedName().isEmpty());

  // A failed check keeps the wearer.
  Window->UsersPanel()->SelectUser(QStringLiteral("Anna"));
  Event(atSealwiseStart);
  Event(atSealwiseFailed);
  ASSERT_EQ(Results().size(), 2u);
  const qint32 anna = dmDb->GetUserID(QStringLiteral("Anna"));
  EXPECT_EQ(Results()[1].GetUserID(), anna);
  EXPECT_FALSE(Results()[1].GetPass());
  EXPECT_EQ(Result()->CurveColor(), 0xFFF13535u);
  EXPECT_EQ(Window->SelectedUserID(), anna);
}

TEST_F(TDashboardTest, SealCheckOnAKx5220IsRecordedForTheDefaultUserName) {
  Configuration->SetDefaultUserName(QStringLiteral("Ben"));
  Connect(QStringLiteral("KX5220_A"));
  EXPECT_TRUE(Window->UsersPanel()->isHidden());
  dmDb->AddUser(QStringLiteral("Anna"));
  dmDb->AddUser(QStringLiteral("Ben"));
  Window->UsersPanel()->SelectUser(QStringLiteral("Anna"));
  Event(atSealwiseStart);
  Event(atSealwisePassed);
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].GetUserID(), dmDb->GetUserID(QStringLiteral("Ben")));
  EXPECT_TRUE(Results()[0].GetPass());
  // The window's selection is not the KX5220's.
  EXPECT_EQ(Window->SelectedUserID(), dmDb->GetUserID(QStringLiteral("Anna")));
}

TEST_F(TDashboardTest, PassedCheckColoursTheCurveGreenForFiveSeconds) {
  Connect(QStringLiteral("KX5211_A"));
  EXPECT_EQ(Result()->BreathingColorOffTimer()->interval(), 5000);
  QElapsedTimer clock;
  clock.start();
  Event(atSealwisePassed);
  EXPECT_EQ(Result()->CurveColor(), 0xFF7CF42Eu);
  ASSERT_TRUE(
      WaitUntil([this] { return Result()->CurveColor() == TGlobals::ColorChart(); }, 15000));
  EXPECT_GE(clock.elapsed(), 4900);  // a timer never fires early
}

TEST_F(TDashboardTest, LedFollowsTheDeviceEventsAndTheirTable) {
  Connect(QStringLiteral("KX5210_A"));
  for (int code = 80; code <= 90; ++code) {
    const TLedRequest expected = LedRequestOfAlert(static_cast<quint8>(code)).value();
    Event(static_cast<quint8>(code));
    EXPECT_EQ(Led()->ColorRect()->Color(), LedStateColor(expected.State).value()) << code;
    EXPECT_EQ(Led()->LedText()->text(), expected.Text) << code;
    EXPECT_EQ(Led()->BlinkTimer()->isActive(), expected.Blink) << code;
  }
  Event(atLEDGreen);
  Event(atLEDsOff);  // off after another state
  EXPECT_EQ(qAlpha(Led()->ColorRect()->Color()), 0);
  EXPECT_TRUE(Led()->LedText()->text().isEmpty());

  Event(atDoubleBreathe);
  EXPECT_EQ(Led()->ColorRect()->Color(), 0xFFF13535u);
  EXPECT_EQ(Led()->LedText()->text(), QStringLiteral("Double Breathe"));
  EXPECT_TRUE(Led()->BlinkTimer()->isActive());
  Event(atOverBreathing);
  ASSERT_EQ(Results().size(), 2u);
  EXPECT_EQ(Results()[0].GetAlert(), atDoubleBreathe);
  EXPECT_EQ(Results()[1].GetAlert(), atOverBreathing);
  EXPECT_DOUBLE_EQ(Results()[1].GetValueMeasured(), 0);
  EXPECT_EQ(Led()->LedText()->text(), QStringLiteral("Over Breathing"));
}

TEST_F(TDashboardTest, ALanguageChangeTranslatesTheLedTextAgain) {
  Connect(QStringLiteral("KX5210_A"));
  Event(atLEDYellowBlinking);
  if (!Window->Languages().contains(QStringLiteral("Deutsch")))  // not beside the program
    TLang::AddLang(QStringLiteral("Deutsch"),
                   QStringLiteral(SEALWISE_SOURCE_DIR "/translations/Deutsch.lng"));
  Configuration->SetLanguage(QStringLiteral("Deutsch"));
  Window->ApplyLanguage();
  EXPECT_EQ(Led()->LedText()->text(), QStringLiteral("Warten auf Sealwise"));
  Configuration->SetLanguage(QStringLiteral("English"));
  Window->ApplyLanguage();
  EXPECT_EQ(Led()->LedText()->text(), QStringLiteral("Waiting Sealwise"));
}

TEST_F(TDashboardTest, SensorAnswersFillTheirTiles) {
  Connect(QStringLiteral("KX5220_A"));
  TSensorsPanel* sensors = Dashboard()->Sensors();
  Usb().Answer(17, QByteArray::fromHex("152d"));
  EXPECT_EQ(sensors->Value(TSensorsPanel::stTemperature)->text(),
            Configuration->GetTemperature(21));
  EXPECT_EQ(sensors->Value(TSensorsPanel::stHumidity)->text(), Configuration->GetHumidity(45));
  Usb().Answer(18, QByteArray::fromHex("00fa00000000"
                                       "000000000000"
                                       "000000000000"
                                       "0907"));
  EXPECT_EQ(sensors->Value(TSensorsPanel::stDirection)->text(),
            TGlobals::FormatDirection(Window->DevData().Magnetometer().X));
  EXPECT_NE(sensors->Value(TSensorsPanel::stDirection)->text(), QStringLiteral("---"));
  // A language change keeps the readings.
  Window->ApplyLanguage();
  EXPECT_EQ(sensors->Value(TSensorsPanel::stHumidity)->text(), Configuration->GetHumidity(45));
  EXPECT_NE(sensors->Value(TSensorsPanel::stDirection)->text(), QStringLiteral("---"));
  // The tiles left visible are centred.
  const QWidget* first = sensors->Tile(TSensorsPanel::stTemperature);
  const QWidget* last = sensors->Tile(TSensorsPanel::stHumidity);
  EXPECT_NEAR(first->x(), sensors->Content()->width() - last->x() - last->width(), 2);
}

// --- the KX5220's alerts -------------------------------------------------------------------

TEST_F(TDashboardTest, Kx5220AlertOpensTheAlertPageThatOnlyCancellingLeaves) {
  Connect(QStringLiteral("KX5220_A"));
  ASSERT_NE(Window->AlertList(), nullptr);
  Usb().Answer(255, Hazard(atTemperatureTooLow, 2550, 4000));
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabAlert());
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].GetAlert(), atTemperatureTooLow);
  EXPECT_DOUBLE_EQ(Results()[0].GetValueMeasured(), 25.5);
  EXPECT_DOUBLE_EQ(Results()[0].GetValueReference(), 40);
  EXPECT_EQ(Alerts()->RowImage(atTemperatureTooLow), TIcon::SealWarning);
  EXPECT_EQ(Alerts()->RowText(atTemperatureTooLow), AlertTypeText(atTemperatureTooLow));
  EXPECT_DOUBLE_EQ(Window->AlertList()->Get(atTemperatureTooLow)->Value(), 25.5);
  EXPECT_FALSE(FooterEnabled());
  EXPECT_TRUE(Alerts()->RedAlertTimer()->isActive());

  Find<QToolButton>("btnDashboard")->click();  // disabled: nothing
  Window->WorkingPage()->Logo()->Clicked();    // inert while alerts wait
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabAlert());
  EXPECT_TRUE(Window->DevData().IsUSBConnected());

  Usb().Answer(255, Hazard(atImpact, 0, 0));
  Usb().Answer(255, Hazard(atTemperatureTooLow, 2600, 4000));
  EXPECT_EQ(Alerts()->List()->count(), 2);
  Alerts()->RowAccessory(atImpact)->click();
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabAlert());
  Alerts()->RowAccessory(atTemperatureTooLow)->click();
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabDashboard());
  EXPECT_TRUE(FooterEnabled());
  EXPECT_FALSE(Alerts()->RedAlertTimer()->isActive());
  EXPECT_EQ(Window->AlertList()->Count(), 0);
}

TEST_F(TDashboardTest, AnExpiredAlertIsRemovedAndTheDashboardReturns) {
  AlertTickMs = 5;
  Connect(QStringLiteral("KX5220_A"));
  Usb().Answer(255, Hazard(atFallProtection, 0, 0));
  ASSERT_EQ(ShownWorking(), Window->WorkingPage()->tabAlert());
  EXPECT_EQ(Alerts()->RowImage(atFallProtection), TIcon::SealFall);
  ASSERT_TRUE(WaitUntil([this] { return Alerts()->List()->count() == 0; }, 5000));
  EXPECT_EQ(Window->AlertList()->Count(), 0);
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabDashboard());
}

TEST_F(TDashboardTest, Kx5211SendingAHazardAlertChangesNothingAndStoresNothing) {
  Connect(QStringLiteral("KX5211_A"));
  EXPECT_EQ(Window->AlertList(), nullptr);
  Usb().Answer(255, Hazard(atTemperatureTooLow, 2550, 4000));
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabDashboard());
  EXPECT_EQ(Alerts()->List()->count(), 0);
  EXPECT_TRUE(Results().empty());
  EXPECT_TRUE(FooterEnabled());
}

TEST_F(TDashboardTest, UnpluggingAKx5220DropsItsAlertsWithTheList) {
  Connect(QStringLiteral("KX5220_A"));
  Usb().Answer(255, Hazard(atImpact, 0, 0));
  ASSERT_EQ(Alerts()->List()->count(), 1);
  Usb().Unplug();
  EXPECT_EQ(Shown(), Window->tabConnecting());
  EXPECT_EQ(Window->AlertList(), nullptr);
  EXPECT_EQ(Alerts()->List()->count(), 0);
  // The next device is a KX5210: hazard alerts are not its business.
  ConnectUsb(QStringLiteral("KX5210_B"), QStringLiteral("ttyUSB1"));
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabDashboard());
  Usb().Answer(255, Hazard(atImpact, 0, 0));
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabDashboard());
}
