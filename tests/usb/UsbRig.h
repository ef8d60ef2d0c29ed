#pragma once
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "KX52xx.Data.Phys.FTDI.h"
#include "KX52xx.Data.h"
#include "KX52xx.Sim.Session.h"

// The application's device model over the real USB link, against a device on a pseudo-terminal:
// a simulated device the rig serves in-process, or one served by someone else. The model gets
// settings and a record store of its own in a temporary folder. Shared by the end-to-end tests
// and the USB benchmarks; GUI thread only.
class TUsbRig {
 public:
  explicit TUsbRig(const KX52xxSimOptions& AOptions);
  explicit TUsbRig(const QString& APortPath);
  ~TUsbRig();
  TUsbRig(const TUsbRig&) = delete;
  TUsbRig& operator=(const TUsbRig&) = delete;

  // Serves the device (when it is the rig's) and makes the model; false when the
  // pseudo-terminal could not be made.
  bool Start();
  // Lists the device's port and connects to it; true once the model reports the connection.
  bool Connect(int ATimeoutMs = 10000);
  // Waits until the answers of the whole connection sequence have been decoded.
  bool WaitForConnectionSequence(int ATimeoutMs = 10000);

  // Only for a device the rig serves.
  KX52xxSimUsbSession& Sim() { return *FSim; }
  TKX52xxDeviceData& Model() { return *FModel; }
  TKX52xxDataPhysFTDI& Link() const;
  const QString& PortPath() const { return FPortPath; }

  // What the model reported; its other events are free for the caller.
  int Connected = 0;
  int Disconnected = 0;
  bool DisconnectedOffGuiThread = false;

 private:
  QTemporaryDir FDir;
  std::unique_ptr<KX52xxSimUsbSession> FSim;
  QString FPortPath;
  std::unique_ptr<TKX52xxDeviceData> FModel;
  bool FDiscovered = false;
};
