#pragma once
#include <gtest/gtest.h>

#include <QString>
#include <memory>

#include "KX52xx.Sim.Session.h"

class TfrmMain;

// A simulated device served on a pseudo-terminal inside the test and listed as a serial port,
// so the real USB link finds it like a cable. Create it before the window and free it after.
class TSimulatedUsbDevice {
 public:
  static constexpr int ShortDiscoveryMs = 150;
  static constexpr int TimeoutMs = 20000;

  explicit TSimulatedUsbDevice(const KX52xxSimOptions& AOptions);
  ~TSimulatedUsbDevice();
  TSimulatedUsbDevice(const TSimulatedUsbDevice&) = delete;
  TSimulatedUsbDevice& operator=(const TSimulatedUsbDevice&) = delete;

  bool IsServed() const { return FServed; }
  QString ErrorString() const { return FSession.ErrorString(); }
  KX52xxSimUsbSession& Session() { return FSession; }
  KX52xxSimDevice& Device() { return FSession.Device(); }

  // Lists the device in AWindow (made over the default links and shown) and taps it, as the
  // user does; succeeds once the working page is shown.
  ::testing::AssertionResult ConnectWindow(TfrmMain& AWindow);

 private:
  KX52xxSimUsbSession FSession;
  bool FServed = false;
};
