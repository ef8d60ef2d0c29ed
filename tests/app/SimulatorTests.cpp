// The real stack: the window, the device model and the USB link against the simulated device
// on a pseudo-terminal, started the way --demo starts it.
#include <QLabel>
#include <QListWidget>

#include "KX52xx.Data.Phys.FTDI.h"
#include "KX52xx.Sim.Session.h"
#include "ShellFixture.h"
#include "pages/uPageConnecting.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelDevInfo.h"
#include "uDemo.h"

namespace {
constexpr int ShortDiscoveryMs = 150;
constexpr int ConnectTimeoutMs = 20000;
}  // namespace

class TSimulatorTest : public TShellTest {
 protected:
  void StartWithDemo(const QString& AModel) {
    ASSERT_TRUE(Demo.Start(AModel)) << qPrintable(Demo.ErrorString());
    Start(false, DefaultLinkFactory());
    auto* usb =
        dynamic_cast<TKX52xxDataPhysFTDI*>(Window->DevData().Connectors().value(CONN_FTDI).get());
    ASSERT_NE(usb, nullptr);
    usb->SetDiscoverIntervalMs(ShortDiscoveryMs);
    // The after-show step starts discovery again and empties the list: tap after it.
    ProcessEventsFor(2 * TfrmBase::AfterShowDelayMs);
  }
  QListWidgetItem* Listed() const { return Window->ConnectingPage()->FindDevice(Demo.Key()); }
  void TapDemo() {
    QListWidgetItem* item = Listed();
    ASSERT_NE(item, nullptr);
    Window->ConnectingPage()->List()->setCurrentItem(item);
    Window->ConnectingPage()->TapItem(item);
    ASSERT_TRUE(WaitUntil([this] { return Shown() == Window->tabWorking(); }, ConnectTimeoutMs));
  }

  TDemoDevice Demo;  // outlives the window (TearDown frees the window first)
};

TEST_F(TSimulatorTest, TheSimulatedDeviceIsListedInTheUsbGroup) {
  StartWithDemo(QStringLiteral("KX5210"));
  ASSERT_TRUE(WaitUntil([this] { return Listed() != nullptr; }, ConnectTimeoutMs));
  QListWidget* list = Window->ConnectingPage()->List();
  const int row = list->row(Listed());
  ASSERT_GE(row, 1);
  const QListWidgetItem* header = list->item(row - 1);
  EXPECT_EQ(header->text(), QStringLiteral("USB Devices:"));
  EXPECT_EQ(header->data(TConnectingPage::PurposeRole).toInt(), TConnectingPage::ipHeader);
  EXPECT_EQ(Listed()->data(TConnectingPage::TagRole).toInt(), TConnectingPage::lkUSB);
}

TEST_F(TSimulatorTest, SelectingItConnectsStoresItAndSetsTheDeviceClock) {
  StartWithDemo(QStringLiteral("KX5211"));
  ASSERT_TRUE(WaitUntil([this] { return Listed() != nullptr; }, ConnectTimeoutMs));
  TapDemo();
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabDashboard());
  EXPECT_FALSE(Window->DevData().DeviceID().isEmpty());
  EXPECT_EQ(Configuration->GetRegisteredDevice(), Window->DevData().DeviceID());
  EXPECT_TRUE(WaitUntil([this] { return Demo.Session()->Device().LastTimeSet().has_value(); },
                        ConnectTimeoutMs));
  TDeviceInfoPanel* info = Window->WorkingPage()->DeviceInfo();
  EXPECT_TRUE(WaitUntil([info] { return !info->Serial()->text().isEmpty(); }, ConnectTimeoutMs));
  EXPECT_EQ(info->DevType()->text(), QStringLiteral("KX5211"));
  EXPECT_TRUE(
      WaitUntil([this] { return Find<QLabel>("lblDateTime")->text() != "---"; }, ConnectTimeoutMs));
}

TEST_F(TSimulatorTest, UnpluggingReturnsToTheConnectionPageAndClearsTheDeviceInformation) {
  StartWithDemo(QStringLiteral("KX5210"));
  ASSERT_TRUE(WaitUntil([this] { return Listed() != nullptr; }, ConnectTimeoutMs));
  TapDemo();
  TDeviceInfoPanel* info = Window->WorkingPage()->DeviceInfo();
  ASSERT_TRUE(WaitUntil([info] { return !info->Serial()->text().isEmpty(); }, ConnectTimeoutMs));
  Demo.Session()->Server().Unplug();
  ASSERT_TRUE(WaitUntil([this] { return Shown() == Window->tabConnecting(); }, ConnectTimeoutMs));
  EXPECT_TRUE(info->Serial()->text().isEmpty());
  EXPECT_TRUE(info->FirmwareRev()->text().isEmpty());
  EXPECT_TRUE(info->HardwareRev()->text().isEmpty());
  EXPECT_TRUE(info->MAC()->text().isEmpty());
  EXPECT_TRUE(Window->ContinueDiscoverDevices());
  EXPECT_FALSE(Window->NotifyTimer()->isActive());
}
