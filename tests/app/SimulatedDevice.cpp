#include "SimulatedDevice.h"

#include <QListWidget>

#include "KX52xx.Data.Phys.FTDI.h"
#include "TestWait.h"
#include "Vek.ComPort.h"
#include "Vek.PageControl.h"
#include "pages/uPageConnecting.h"
#include "uMain.h"

TSimulatedUsbDevice::TSimulatedUsbDevice(const KX52xxSimOptions& AOptions) : FSession(AOptions) {
  FServed = FSession.Start();
  if (FServed) TComPortDevices::AddExtraPort(FSession.SlavePath());
}

TSimulatedUsbDevice::~TSimulatedUsbDevice() {
  if (FServed) TComPortDevices::RemoveExtraPort(FSession.SlavePath());
}

::testing::AssertionResult TSimulatedUsbDevice::ConnectWindow(TfrmMain& AWindow) {
  auto* usb =
      dynamic_cast<TKX52xxDataPhysFTDI*>(AWindow.DevData().Connectors().value(CONN_FTDI).get());
  if (usb == nullptr) return ::testing::AssertionFailure() << "no USB link";
  usb->SetDiscoverIntervalMs(ShortDiscoveryMs);
  // The after-show step starts discovery afresh and empties the list: tap after it.
  ProcessEventsFor(2 * TfrmBase::AfterShowDelayMs);
  TConnectingPage* page = AWindow.ConnectingPage();
  const QString key = FSession.SlavePath();
  if (!WaitUntil([page, key] { return page->FindDevice(key) != nullptr; }, TimeoutMs))
    return ::testing::AssertionFailure() << "the device is not listed";
  page->List()->setCurrentItem(page->FindDevice(key));
  page->TapItem(page->FindDevice(key));
  if (!WaitUntil([&AWindow] { return AWindow.tcMain()->ActivePage() == AWindow.tabWorking(); },
                 TimeoutMs))
    return ::testing::AssertionFailure() << "the device does not connect";
  return ::testing::AssertionSuccess();
}
