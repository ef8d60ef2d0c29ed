// The main window: start-up, agreement, page entry, panel buttons, periodic queries, the
// connection events and the header.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QToolButton>
#include <algorithm>

#include "ShellFixture.h"
#include "TGlobals.Shell.h"
#include "Vek.Controls.h"
#include "pages/uPageConnecting.h"
#include "pages/uPageLicense.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelDevInfo.h"
#include "pages/uPanelUsers.h"
#include "uPanelButtons.h"

using TWindowTest = TShellTest;

TEST_F(TWindowTest, FixedPortraitWindowWithTheNamedPages) {
  StartAndSettle();
  EXPECT_EQ(Window->objectName(), QStringLiteral("frmMain"));
  EXPECT_EQ(Window->windowTitle(), QStringLiteral("KX52xx"));
  EXPECT_EQ(Window->size(), QSize(309, 548));
  EXPECT_EQ(Window->minimumSize(), Window->maximumSize());
  const char* pages[] = {"tabLicense", "tabTutorial", "tabConnecting", "tabWorking", "tabFirmware"};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(Window->tcMain()->widget(i)->objectName(), QLatin1String(pages[i]));
  const char* working[] = {"tabDashboard", "tabReport", "tabSettings", "tabAlert"};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(Window->WorkingPage()->Pages()->widget(i)->objectName(), QLatin1String(working[i]));
  for (const char* name :
       {"tlbHeader",        "imgLogo",          "lblDateTime",      "imgBattery",
        "imgUploadCloud",   "imgLocation",      "tlbWorking",       "btnDashboard",
        "btnReports",       "btnSettings",      "rectTabSelected",  "lblConnectingWaiting",
        "imgConnecting",    "rectConnecting",   "lblConnecting",    "lvConnecting",
        "rectWarning",      "lblWarning1",      "lblWarning2",      "lblLicense",
        "btnLicenseAccept", "btnLicenseCancel", "tcTutorial",       "swTutorial",
        "btnTutorialBack",  "btnTutorialNext",  "btnTutorialClose", "pnlUser",
        "tcUser",           "tcUserSel",        "lblUsers",         "edtUserAdd",
        "lstUserSel"}) {
    EXPECT_NE(Window->findChild<QObject*>(QLatin1String(name)), nullptr) << name;
  }
}

TEST_F(TWindowTest, FirstStartShowsTheAgreementAndAcceptGoesToTheConnectionPage) {
  Start(true);
  ASSERT_TRUE(WaitUntil([this] { return Shown() == Window->tabLicense(); }));
  Find<QToolButton>("btnLicenseAccept")->click();
  EXPECT_EQ(Shown(), Window->tabConnecting());
  EXPECT_FALSE(Configuration->GetShowLicense());
  EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(TWindowTest, DeclineShowsTheMessageAndTheAgreementStays) {
  Start(true);
  ASSERT_TRUE(WaitUntil([this] { return Shown() == Window->tabLicense(); }));
  Find<QToolButton>("btnLicenseCancel")->click();
  EXPECT_EQ(Shown(), Window->tabLicense());
  EXPECT_TRUE(Configuration->GetShowLicense());
  ASSERT_EQ(Messages().size(), 1);
  EXPECT_EQ(Messages().first()->text(),
            QStringLiteral("You can't run this application without accept EULA."));
  CloseMessages();
  Find<QToolButton>("btnLicenseAccept")->click();  // the user can still accept
  EXPECT_EQ(Shown(), Window->tabConnecting());
}

// The show puts the connection page up at once and leaves the search and the working area to
// the after-show step.
TEST_F(TWindowTest, AcceptedAgreementStartsOnTheConnectionPageAndDiscoversOnceSettled) {
  Start(false);
  EXPECT_EQ(Shown(), Window->tabConnecting());
  EXPECT_TRUE(Window->ConnectingPage()->Waiting().IsRunning());
  EXPECT_EQ(Usb().DiscoverCalls, 0);
  EXPECT_EQ(Window->findChild<TWorkingPage*>(), nullptr);
  ASSERT_TRUE(WaitUntil([this] { return Usb().DiscoverCalls == 1; }));
  EXPECT_NE(Window->findChild<TWorkingPage*>(), nullptr);
  EXPECT_TRUE(Window->ContinueDiscoverDevices());
  ProcessEventsFor(2 * TfrmBase::AfterShowDelayMs);
  EXPECT_EQ(Usb().DiscoverCalls, 1);
}

// The agreement shown first: the search still starts with the after-show step.
TEST_F(TWindowTest, SearchRunsUnderTheAgreement) {
  Start(true);
  ASSERT_TRUE(WaitUntil([this] { return Shown() == Window->tabLicense(); }));
  EXPECT_EQ(Usb().DiscoverCalls, 1);
  EXPECT_TRUE(Window->ContinueDiscoverDevices());
}

TEST_F(TWindowTest, NewDiscoveryStartEmptiesTheList) {
  StartAndSettle();
  Usb().Devices = {{QStringLiteral("ttyUSB0"), QStringLiteral("KX5210_A")}};
  Usb().EndDiscovery();
  EXPECT_EQ(Window->ConnectingPage()->List()->count(), 2);
  TGlobals::SwitchTab(Window->tabConnecting());
  EXPECT_EQ(Window->ConnectingPage()->List()->count(), 0);
}

TEST_F(TWindowTest, SwitchTabToTheShownPageRunsItsEntryStepAgain) {
  StartAndSettle();
  const int before = Usb().DiscoverCalls;
  TGlobals::SwitchTab(Window->tabConnecting());
  EXPECT_EQ(Usb().DiscoverCalls, before + 1);
  EXPECT_EQ(Shown(), Window->tabConnecting());
}

TEST_F(TWindowTest, SwitchTabIgnoresWhatIsNotAPage) {
  StartAndSettle();
  TGlobals::SwitchTab(nullptr);
  TGlobals::SwitchTab(Find<QLabel>("lblConnecting"));
  EXPECT_EQ(Shown(), Window->tabConnecting());
}

TEST_F(TWindowTest, MissingBluetoothIsReportedOnceAndUsbStaysAvailable) {
  TfrmMain::HasBluetoothAdapter = [] { return false; };
  TKX52xxLinkFactory factory = FakeLinkFactory();
  factory.insert(CONN_BLE, UnavailableLinkKind());
  Start(false, factory);
  EXPECT_TRUE(Messages().isEmpty());  // not before the first paint
  ProcessEventsFor(2 * TfrmBase::AfterShowDelayMs);
  ASSERT_EQ(Messages().size(), 1);
  EXPECT_EQ(Messages().first()->text(),
            QStringLiteral("No necessary permissions to use this application."));
  EXPECT_TRUE(Window->DevData().Connectors().contains(CONN_FTDI));
  CloseMessages();
  Window->hide();
  Window->show();
  ProcessEventsFor(2 * TfrmBase::AfterShowDelayMs);
  EXPECT_TRUE(Messages().isEmpty());
}

// --- connection --------------------------------------------------------------------------

TEST_F(TWindowTest, ConnectingShowsTheDashboardStoresTheDeviceAndSetsItsClock) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_A"));
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabDashboard());
  EXPECT_FALSE(Window->IsStarting());
  EXPECT_FALSE(Window->ContinueDiscoverDevices());
  EXPECT_EQ(Window->ConnectingPage()->List()->count(), 0);
  EXPECT_EQ(Configuration->GetRegisteredDevice(), QStringLiteral("ttyUSB0"));
  EXPECT_NE(std::count(Usb().Writes.begin(), Usb().Writes.end(), TCmdID(241)), 0);
  EXPECT_TRUE(Window->NotifyTimer()->isActive());
  // The text goes in whole, though longer than a typed name may be.
  EXPECT_EQ(Find<QLineEdit>("edtUserAdd")->text(), QStringLiteral("CHOOSE USER"));
}

TEST_F(TWindowTest, UnplugReturnsToTheConnectionPageAndClearsTheDeviceInformation) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_A"));
  Usb().Answer(4, TGlobals::String_ToData(QStringLiteral("SN-1")));
  Usb().Answer(5, TGlobals::String_ToData(QStringLiteral("2.4.1")));
  TDeviceInfoPanel* info = Window->WorkingPage()->DeviceInfo();
  ASSERT_TRUE(WaitUntil([info] { return info->Serial()->text() == QLatin1String("SN-1"); }));
  EXPECT_EQ(info->FirmwareRev()->text(), QStringLiteral("2.4.1"));
  EXPECT_EQ(info->DevType()->text(), QStringLiteral("KX5210"));
  EXPECT_EQ(info->SoftwareRev()->text(), TGlobals::Version());

  const int discoveries = Usb().DiscoverCalls;
  Usb().Unplug();
  EXPECT_EQ(Shown(), Window->tabConnecting());
  EXPECT_FALSE(Window->NotifyTimer()->isActive());
  EXPECT_TRUE(info->Serial()->text().isEmpty());
  EXPECT_TRUE(info->FirmwareRev()->text().isEmpty());
  EXPECT_TRUE(info->MAC()->text().isEmpty());
  EXPECT_EQ(Usb().DiscoverCalls, discoveries + 1);
  EXPECT_TRUE(Window->ContinueDiscoverDevices());
}

TEST_F(TWindowTest, LogoDisconnectsAndResetsTheClock) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_A"));
  QLabel* clock = Find<QLabel>("lblDateTime");
  Usb().Answer(20, TGlobals::UInt32_ToData(
                       TGlobals::EncodeDateTimeInt(TGlobals::MakeDateTime(2024, 3, 1, 10, 0, 0))));
  ASSERT_TRUE(WaitUntil([clock] { return clock->text() == QLatin1String("01-03-2024 10:00:00"); }));
  emit Window->WorkingPage()->Logo()->Clicked();
  EXPECT_EQ(clock->text(), QStringLiteral("---"));
  EXPECT_EQ(Shown(), Window->tabConnecting());
  ProcessEventsFor(1500);  // the clock of the gone device does not come back
  EXPECT_EQ(clock->text(), QStringLiteral("---"));
}

TEST_F(TWindowTest, DeviceClockAdvancesOneSecondPerTick) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_A"));
  Usb().Answer(20, TGlobals::UInt32_ToData(TGlobals::EncodeDateTimeInt(
                       TGlobals::MakeDateTime(2024, 3, 1, 23, 59, 59))));
  QLabel* clock = Find<QLabel>("lblDateTime");
  EXPECT_TRUE(
      WaitUntil([clock] { return clock->text() == QLatin1String("02-03-2024 00:00:00"); }, 3000));
}

TEST_F(TWindowTest, CloudUploadFlashesTheUploadSymbol) {
  StartAndSettle();
  TGlyph* upload = Window->WorkingPage()->UploadCloud();
  EXPECT_EQ(upload->ImageIndex(), -1);
  Window->DevData().OnCloudSend(&Window->DevData());
  EXPECT_EQ(upload->ImageIndex(), TIcon::IconUploadCloud);
  EXPECT_TRUE(WaitUntil([upload] { return upload->ImageIndex() == -1; }, 2000));
}

TEST_F(TWindowTest, BatteryAnswerPicksTheBatteryPicture) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_A"));
  TGlyph* battery = Window->WorkingPage()->Battery();
  EXPECT_EQ(battery->ImageIndex(), TIcon::BatteryNone);
  Usb().Answer(8, TGlobals::UInt8_ToData(5));
  EXPECT_TRUE(WaitUntil([battery] { return battery->ImageIndex() == TIcon::BatteryCharging; }));
  EXPECT_FALSE(battery->Shown().isNull());
}

TEST_F(TWindowTest, Kx5220HidesTheUsersPanelAndGetsAnAlertList) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5220_A"));
  ASSERT_TRUE(WaitUntil([this] { return Window->AlertList() != nullptr; }));
  EXPECT_FALSE(Window->UsersPanel()->isVisible());
  Usb().Unplug();
  EXPECT_EQ(Window->AlertList(), nullptr);
  ConnectUsb(QStringLiteral("KX5211_B"));
  ASSERT_TRUE(WaitUntil([this] { return Window->UsersPanel()->isVisibleTo(Window.get()); }));
  EXPECT_EQ(Window->AlertList(), nullptr);
}

TEST_F(TWindowTest, FooterButtonsSwitchPagesAndMoveTheMarker) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_A"));
  TWorkingPage* working = Window->WorkingPage();
  QWidget* marker = working->TabMarker();
  for (auto tag : {TWorkingPage::ftSettings, TWorkingPage::ftReports, TWorkingPage::ftDashboard}) {
    working->FooterButton(tag)->click();
    EXPECT_EQ(ShownWorking(), working->PageOfTag(tag));
    EXPECT_EQ(marker->x(), working->FooterButton(tag)->x());
    EXPECT_EQ(marker->width(), working->FooterButton(tag)->width());
    EXPECT_EQ(marker->height(), TWorkingPage::MarkerHeight);
  }
  EXPECT_NEAR(working->FooterButton(TWorkingPage::ftReports)->width(), 309 / 3, 2);
}

TEST_F(TWindowTest, AlertPageDisablesTheFooterAndMakesTheLogoInert) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5220_A"));
  TWorkingPage* working = Window->WorkingPage();
  TGlobals::SwitchTab(working->tabAlert());
  for (auto tag : {TWorkingPage::ftDashboard, TWorkingPage::ftReports, TWorkingPage::ftSettings})
    EXPECT_FALSE(working->FooterButton(tag)->isEnabled());
  emit working->Logo()->Clicked();
  EXPECT_EQ(Shown(), Window->tabWorking());
  EXPECT_TRUE(Window->DevData().IsDevConnected());
  TGlobals::SwitchTab(working->tabDashboard());
  EXPECT_TRUE(working->FooterButton(TWorkingPage::ftReports)->isEnabled());
}

// --- periodic queries --------------------------------------------------------------------

struct TQueryCase {
  const char* DeviceName;
  int Ticks;
  int Battery;
  int TempHumid;
  int Motion;
};

class TPeriodicQueryTest : public TShellTest, public ::testing::WithParamInterface<TQueryCase> {};

TEST_P(TPeriodicQueryTest, CountdownsAskEachValueAtItsPeriod) {
  const TQueryCase& c = GetParam();
  StartAndSettle();
  ConnectUsb(QLatin1String(c.DeviceName));
  ASSERT_TRUE(WaitUntil([this] { return !Window->DevData().DeviceType().isEmpty(); }));
  Window->NotifyTimer()->stop();
  ProcessEventsFor(300);  // the connection sequence has been sent
  Usb().Reads.clear();
  for (int i = 0; i < c.Ticks; ++i) Window->NotifyTick();
  Window->NotifyTimer()->stop();
  EXPECT_EQ(Usb().CountReads(8), c.Battery);
  EXPECT_EQ(Usb().CountReads(17), c.TempHumid);
  EXPECT_EQ(Usb().CountReads(18), c.Motion);
}

INSTANTIATE_TEST_SUITE_P(Models, TPeriodicQueryTest,
                         ::testing::Values(TQueryCase{"KX5210_A", 1, 1, 1, 0},
                                           TQueryCase{"KX5211_A", 61, 2, 7, 0},
                                           TQueryCase{"KX5220_A", 1, 1, 1, 1},
                                           TQueryCase{"KX5220_A", 11, 1, 2, 6}));

TEST_F(TWindowTest, NotifyTimerTicksEverySecond) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_A"));
  EXPECT_EQ(Window->NotifyTimer()->interval(), 1000);
  ProcessEventsFor(300);
  Usb().Reads.clear();
  EXPECT_TRUE(WaitUntil([this] { return Usb().CountReads(17) >= 1; }, 3000));
}

// --- panel buttons -------------------------------------------------------------------------

TEST_F(TWindowTest, PanelButtonsCarryTheirTags) {
  StartAndSettle();
  EXPECT_EQ(Find<QToolButton>("btnUserInfo")->property(TPanelButtons::TagProperty).toInt(), 1);
  EXPECT_EQ(Find<QToolButton>("btnUserSettings")->property(TPanelButtons::TagProperty).toInt(), 2);
  EXPECT_EQ(Find<QToolButton>("btnInfoInfo")->property(TPanelButtons::TagProperty).toInt(), 9);
  EXPECT_FALSE(Find<QToolButton>("btnUserSettings")->isVisibleTo(Window.get()));
}

TEST_F(TWindowTest, InfoButtonTwiceReturnsAtOnce) {
  StartAndSettle();
  auto* pages = Find<TPageControl>("tcUser");
  Find<QToolButton>("btnUserInfo")->click();
  EXPECT_EQ(pages->ActivePage()->objectName(), QStringLiteral("tabUserInfo"));
  Find<QToolButton>("btnUserInfo")->click();
  EXPECT_EQ(pages->ActivePage()->objectName(), QStringLiteral("tabUserMain"));
  ProcessEventsFor(200);
  EXPECT_EQ(pages->ActivePage()->objectName(), QStringLiteral("tabUserMain"));
}

TEST_F(TWindowTest, InfoPageReturnsAfterThreeSeconds) {
  StartAndSettle();
  auto* pages = Find<TPageControl>("tcInfo");
  QElapsedTimer clock;
  clock.start();
  Find<QToolButton>("btnInfoInfo")->click();
  EXPECT_EQ(pages->ActivePage()->objectName(), QStringLiteral("tabInfoInfo"));
  ASSERT_TRUE(WaitUntil(
      [pages] { return pages->ActivePage()->objectName() == QLatin1String("tabInfoMain"); },
      10000));
  EXPECT_GE(clock.elapsed(), TPanelButtons::ReturnMs);
}

TEST_F(TWindowTest, ATapWhileTheInfoIsShownCancelsThePendingReturn) {
  StartAndSettle();
  Window->PanelButtons()->SetReturnDelay(100);
  auto* pages = Find<TPageControl>("tcUser");
  Find<QToolButton>("btnUserInfo")->click();
  Find<QToolButton>("btnUserInfo")->click();  // back at once, return timer gone
  Window->PanelButtons()->ButtonClicked(2);   // the settings page stays
  ProcessEventsFor(300);
  EXPECT_EQ(pages->ActivePage()->objectName(), QStringLiteral("tabUserSettings"));
  Window->PanelButtons()->ButtonClicked(1);
  EXPECT_EQ(pages->ActivePage()->objectName(), QStringLiteral("tabUserInfo"));
  EXPECT_TRUE(WaitUntil(
      [pages] { return pages->ActivePage()->objectName() == QLatin1String("tabUserMain"); }));
}
