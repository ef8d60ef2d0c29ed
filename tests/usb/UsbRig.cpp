#include "UsbRig.h"

#include <QCoreApplication>
#include <QThread>

#include "TestWait.h"
#include "dDb.h"
#include "uConfiguration.h"

namespace {

TKX52xxLinkFactory UsbOnlyLinkFactory() {
  TKX52xxLinkFactory factory;
  factory.insert(CONN_FTDI, LinkKindOf<TKX52xxDataPhysFTDI>());
  return factory;
}

// Discovery is shortened here; its real length has a test of its own.
constexpr int kDiscoverMs = 20;

}  // namespace

TUsbRig::TUsbRig(const KX52xxSimOptions& AOptions)
    : FSim(std::make_unique<KX52xxSimUsbSession>(AOptions)) {}

TUsbRig::TUsbRig(const QString& APortPath) : FPortPath(APortPath) {}

TUsbRig::~TUsbRig() {
  FModel.reset();
  if (!FPortPath.isEmpty()) TComPortDevices::RemoveExtraPort(FPortPath);
  FSim.reset();
  dmDb.reset();
  Configuration.reset();
}

bool TUsbRig::Start() {
  if (!FDir.isValid()) return false;
  if (FSim) {
    if (!FSim->Start()) return false;
    FPortPath = FSim->SlavePath();
  }
  TComPortDevices::AddExtraPort(FPortPath);
  Configuration = std::make_unique<TConfiguration>(FDir.filePath(QStringLiteral("Settings.cfg")));
  dmDb = std::make_unique<TdmDb>(FDir.filePath(QStringLiteral("users.db")));
  FModel = std::make_unique<TKX52xxDeviceData>(UsbOnlyLinkFactory());
  FModel->OnConnected = [this](TKX52xxDeviceData*, const QString&, bool&) { ++Connected; };
  FModel->OnDisconnected = [this](TKX52xxDeviceData*, const QString&) {
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
      DisconnectedOffGuiThread = true;
    }
    ++Disconnected;
  };
  FModel->OnDevicesDiscovered = [this](TKX52xxDeviceData*, const QString&,
                                       const TDeviceDictionary& devices) {
    FDiscovered = devices.contains(FPortPath);
  };
  return FModel->Connectors().contains(CONN_FTDI);
}

bool TUsbRig::Connect(int ATimeoutMs) {
  Link().SetDiscoverIntervalMs(kDiscoverMs);
  FModel->DiscoverDevices(CONN_FTDI);
  if (!WaitUntil([&] { return FDiscovered; }, ATimeoutMs)) return false;
  const int before = Connected;
  FModel->Connect(CONN_FTDI, FPortPath);
  return WaitUntil([&] { return Connected > before; }, ATimeoutMs);
}

bool TUsbRig::WaitForConnectionSequence(int ATimeoutMs) {
  // Sensitivity is the last value the sequence asks for.
  return WaitUntil([&] { return FModel->AlgSensitivity() > 0; }, ATimeoutMs);
}

TKX52xxDataPhysFTDI& TUsbRig::Link() const {
  return *dynamic_cast<TKX52xxDataPhysFTDI*>(FModel->Connectors().value(CONN_FTDI).get());
}
