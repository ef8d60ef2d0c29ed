// The activation threshold against the simulated device on a pseudo-terminal.
#include <QListWidget>

#include "KX52xx.Data.Phys.FTDI.h"
#include "KX52xx.Sim.Session.h"
#include "SettingsFixture.h"
#include "pages/uPageConnecting.h"
#include "uDemo.h"

namespace {
constexpr int ConnectTimeoutMs = 20000;
}  // namespace

class TSettingsSimulatorTest : public TSettingsTest {
 protected:
  void ConnectDemoAndOpenTheDevicePage() {
    ASSERT_TRUE(Demo.Start(QStringLiteral("KX5210"))) << qPrintable(Demo.ErrorString());
    Start(false, DefaultLinkFactory());
    auto* usb =
        dynamic_cast<TKX52xxDataPhysFTDI*>(Window->DevData().Connectors().value(CONN_FTDI).get());
    ASSERT_NE(usb, nullptr);
    usb->SetDiscoverIntervalMs(150);
    ProcessEventsFor(2 * TfrmBase::AfterShowDelayMs);
    TConnectingPage* page = Window->ConnectingPage();
    ASSERT_TRUE(
        WaitUntil([&] { return page->FindDevice(Demo.Key()) != nullptr; }, ConnectTimeoutMs));
    page->List()->setCurrentItem(page->FindDevice(Demo.Key()));
    page->TapItem(page->FindDevice(Demo.Key()));
    ASSERT_TRUE(
        WaitUntil([this] { return Window->DevData().KXActivatPt() == 35.0f; }, ConnectTimeoutMs));
    Find<QToolButton>("btnSettings")->click();
    Open("lbiMainDevice");
  }
  const KX52xxSimDevice& Device() const { return Demo.Session()->Device(); }

  TDemoDevice Demo;  // outlives the window
};

TEST_F(TSettingsSimulatorTest, EightyFiveIsRefusedAndTwentyReachesTheDevice) {
  ConnectDemoAndOpenTheDevicePage();
  auto* edit = Find<QLineEdit>("edtDevAppSettings_AlgSensitivity");
  EXPECT_EQ(edit->text(), QStringLiteral("35.00"));

  TypeAndLeave("edtDevAppSettings_AlgSensitivity", QStringLiteral("85"));
  ASSERT_EQ(Messages().size(), 1);
  EXPECT_TRUE(Messages().first()->text().startsWith(QStringLiteral("Wrong Threshold value.")));
  EXPECT_EQ(edit->text(), QStringLiteral("35.00"));
  CloseMessages();

  TypeAndLeave("edtDevAppSettings_AlgSensitivity", QStringLiteral("20"));
  EXPECT_TRUE(Messages().isEmpty());
  ASSERT_TRUE(WaitUntil([this] { return Device().ReceivedCount(254) == 1; }));
  EXPECT_EQ(Device().Settings().ActivationPoint100, 2000);
  EXPECT_FLOAT_EQ(Window->DevData().KXActivatPt(), 20.0f);
}
