#pragma once
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "KX52xx.Data.Phys.FTDI.h"
#include "KX52xx.Data.h"
#include "KX52xx.Sim.Session.h"

// The application's device model over the real USB link, against a simulated device served
// in-process on a pseudo-terminal. The model gets settings and a record store of its own in a
// temporary folder. Shared by the end-to-end tests and the USB benchmarks; GUI thread only.
class TUsbRig {
 public:
  explicit TUsbRig(const KX52xxSimOptions& AOptions);
  ~TUsbRig();
  TUsbRig(const TUsbRig&) = delete;
  TUsbRig& operator=(const TUsbRig&) = delete;

  // Serves the device and makes the model; false when the pseudo-terminal could not be made.
  bool Start();
  // Lists the device's port and connects to it; true once the model reports the connection.
  bool Connect(int ATimeoutMs = 10000);
  // Waits until the answers of the whole connection sequence have been decoded.
  bool WaitForConnectionSequence(int ATimeoutMs = 10000);

  KX52xxSimUsbSession& Sim() { return *FSim; }
  TKX52xxDeviceData& Model() { return *FModel; }
  TKX52xxDataPhysFTDI& Link() const;
  QString PortPath() const { return FSim->SlavePath(); }

  // What the model reported; its other events are free for the caller.
  int Connected = 0;
  int Disconnected = 0;
  bool DisconnectedOffGuiThread = false;

 private:
  QTemporaryDir FDir;
  std::unique_ptr<KX52xxSimUsbSession> FSim;
  std::unique_ptr<TKX52xxDeviceData> FModel;
  bool FDiscovered = false;
};
