#pragma once
#include <QString>
#include <memory>

class KX52xxSimUsbSession;

// The demonstration device: a simulated KX52xx served on a pseudo-terminal inside this
// process, listed as a serial port so the USB link finds it like a cable.
class TDemoDevice {
 public:
  TDemoDevice();
  ~TDemoDevice();
  TDemoDevice(const TDemoDevice&) = delete;
  TDemoDevice& operator=(const TDemoDevice&) = delete;

  // AModel: KX5210, KX5211 or KX5220. False with ErrorString when no terminal can be made.
  bool Start(const QString& AModel);
  // The discovery key of the device: its terminal's path.
  QString Key() const;
  QString ErrorString() const { return FError; }
  KX52xxSimUsbSession* Session() const { return FSession.get(); }

 private:
  std::unique_ptr<KX52xxSimUsbSession> FSession;
  QString FError;
};
