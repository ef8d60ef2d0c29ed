// The live monitoring over the real stack: the window, the device model and the USB link
// against the simulated device on a pseudo-terminal, which the test makes breathe, run seal
// checks and raise alerts.
#include <QLineSeries>
#include <QToolButton>
#include <memory>

#include "ShellFixture.h"
#include "SimulatedDevice.h"
#include "pages/uPageAlert.h"
#include "pages/uPageDashboard.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelResult.h"
#include "pages/uPanelUsers.h"

class TLiveSimulatorTest : public TShellTest {
 protected:
  static constexpr int DeviceTimeoutMs = TSimulatedUsbDevice::TimeoutMs;

  // Serves a simulated device of AModel that does nothing by itself, and connects to it.
  void ConnectTo(KX52xxSimModel AModel) {
    KX52xxSimOptions options;
    options.Device.Model = AModel;
    FDevice = std::make_unique<TSimulatedUsbDevice>(options);
    ASSERT_TRUE(FDevice->IsServed()) << qPrintable(FDevice->ErrorString());
    Start(false, DefaultLinkFactory());
    ASSERT_TRUE(FDevice->ConnectWindow(*Window));
    // The device model knows the model once the name answer is in.
    ASSERT_TRUE(
        WaitUntil([this] { return !Window->DevData().DeviceType().isEmpty(); }, DeviceTimeoutMs));
  }

  KX52xxSimDevice& Device() { return FDevice->Device(); }
  TResultPanel* Result() const { return Window->WorkingPage()->Dashboard()->Result(); }
  TAlertPage* Alerts() const { return Window->WorkingPage()->Alert(); }
  const std::vector<TResultsRecord>& Results() const { return dmDb->TableResults(); }

 private:
  // Freed after TearDown, so after the window that still has its terminal open.
  std::unique_ptr<TSimulatedUsbDevice> FDevice;
};

TEST_F(TLiveSimulatorTest, Kx5210StreamsTheCurveAndRecordsASealCheckForTheSelectedUser) {
  ConnectTo(KX52xxSimModel::KX5210);
  ASSERT_TRUE(WaitUntil([this] { return Result()->Series()->count() >= 20; }, DeviceTimeoutMs));
  EXPECT_EQ(dmDb->TablePressures().size(), static_cast<size_t>(Result()->Series()->count()));

  dmDb->AddUser(QStringLiteral("Anna"));
  Window->UsersPanel()->SelectUser(QStringLiteral("Anna"));
  Device().StartSealCheck();
  ASSERT_TRUE(WaitUntil([this] { return !Results().empty(); }, DeviceTimeoutMs));
  EXPECT_EQ(Results()[0].GetUserID(), dmDb->GetUserID(QStringLiteral("Anna")));
  EXPECT_NE(Results()[0].GetUserID(), 0);
  EXPECT_EQ(Result()->CurveColor(), 0xFFB803FEu);
  Device().FinishSealCheck(true);
  ASSERT_TRUE(
      WaitUntil([this] { return Results()[0].GetAlert() == atSealwisePassed; }, DeviceTimeoutMs));
  EXPECT_TRUE(Results()[0].GetPass());
  EXPECT_EQ(Result()->CurveColor(), 0xFF7CF42Eu);
  EXPECT_EQ(Window->SelectedUserID(), 0);
}

TEST_F(TLiveSimulatorTest, Kx5220AlertIsListedStoredAndCancelledBackToTheDashboard) {
  ConnectTo(KX52xxSimModel::KX5220);
  ASSERT_NE(Window->AlertList(), nullptr);
  Device().RaiseAlert(atTemperatureTooLow, {1250, 1500});
  ASSERT_TRUE(WaitUntil([this] { return ShownWorking() == Window->WorkingPage()->tabAlert(); },
                        DeviceTimeoutMs));
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_DOUBLE_EQ(Results()[0].GetValueMeasured(), 12.5);
  EXPECT_DOUBLE_EQ(Results()[0].GetValueReference(), 15);
  ASSERT_NE(Alerts()->RowAccessory(atTemperatureTooLow), nullptr);
  EXPECT_FALSE(Find<QToolButton>("btnDashboard")->isEnabled());
  Alerts()->RowAccessory(atTemperatureTooLow)->click();
  EXPECT_EQ(ShownWorking(), Window->WorkingPage()->tabDashboard());
  EXPECT_TRUE(Find<QToolButton>("btnDashboard")->isEnabled());
}
