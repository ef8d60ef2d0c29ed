#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "KX52xx.Data.Phys.h"
#include "KX52xx.Data.Queues.h"
#include "Vek.ComPort.h"

// The USB serial frame: start byte 0xAA, command code, CRC-8, total length (4..255), payload.
namespace KX52xxFrame {

constexpr quint8 StartByte = 0xAA;
constexpr int HeaderSize = 4;
constexpr int MaxSize = 255;
// Its caller's bytes are the whole frame, header included.
constexpr TCmdID CommandChannel = 204;

using TOnFrame = std::function<void(const QByteArray& AFrame)>;

// The frame carrying AData under ACmd. For code 204, AData is the frame itself (only its code
// and checksum are set): fewer than 4 bytes give an empty result (nothing to send), and a
// length byte of 0 or beyond the block raises ESealwiseError "Wrong stop index". A payload too
// long for the one-byte length gives an empty result too.
QByteArray Build(TCmdID ACmd, const QByteArray& AData);

// Scans AReceived for frames with a good checksum and hands each to AOnFrame in order; bytes
// that do not start such a frame are skipped one at a time. Returns the bytes to keep for the
// next block: a frame still arriving at the end (less than one frame's worth, so a noisy
// length byte cannot hold the stream up), or a header cut short; else nothing.
QByteArray Split(QByteArray AReceived, const TOnFrame& AOnFrame);

}  // namespace KX52xxFrame

// The link to a KX52xx device on a USB cable: the device's FTDI converter shows up as a serial
// port. The link lists such ports, accepts one whose device answers a name beginning with KX52,
// and then exchanges frames with it: outgoing frames leave through the send queue (one per
// 50 ms), incoming bytes are gathered by the receive buffer (every 100 ms) and split into
// frames on the GUI thread. While connected the pressure is asked continually.
class TKX52xxDataPhysFTDI final : public IKX52xxLocalLink {
 public:
  using IKX52xxDataPhys::Write;

  static constexpr TCmdID CmdDeviceName = 2;
  static constexpr TCmdID CmdPressure = 16;
  static constexpr qint32 Baudrate = 115200;
  static constexpr int PollIntervalMs = 10;
  static constexpr quint32 SendIntervalMs = 50;
  static constexpr quint32 ReceiveIntervalMs = 100;
  static constexpr int ReceiveMinimumLength = 4;
  static constexpr int ConnectTries = 2;
  static constexpr int ConnectTryMs = 2000;
  static constexpr int ConnectStepMs = 20;
  static constexpr int DiscoverBaseMs = 6000;
  static constexpr int DiscoverJitterMs = 2000;

  TKX52xxDataPhysFTDI(void* AOwner, const QString& AName);
  ~TKX52xxDataPhysFTDI() override;

  QString Name() const override { return FName; }
  QString DeviceID() const override { return FDeviceID; }
  void DiscoverDevices() override;
  void Connect(const QString& SerialNumber) override;
  void Disconnect() override;
  TDeviceState DeviceState() const override { return FDeviceState; }
  bool IsDiscovering() const override { return FDeviceState == dsDiscovering; }
  bool IsDiscovered() const override { return FDeviceState > dsDiscovering; }
  bool IsConnected() const override;
  void Read(TCmdID ACmd) override;
  void Write(TCmdID ACmd, const QByteArray& AData) override;
  // Like Write, but the frame goes ahead of everything already queued.
  void WriteNow(TCmdID ACmd, const QByteArray& AData) override;

  // How long a discovery lasts (6000 ms plus a jitter drawn at creation); tests shorten it.
  int DiscoverIntervalMs() const { return FTmrDiscover->interval(); }
  void SetDiscoverIntervalMs(int AValue) { FTmrDiscover->setInterval(AValue); }

 private:
  void Enqueue(const QByteArray& AFrame, bool AAtFront);
  void SendToHeldPort(const QByteArray& AFrame);  // send queue's worker thread
  void PollPressure();
  void EndDiscovery();
  bool TryConnect(TComPortDevice* APort);
  bool IdentifyDevice(TComPortDevice* APort);
  bool AskDeviceName(TComPortDevice* APort, const QByteArray& ARequest);
  void HandleNameAnswer(const QString& AName, const QByteArray& AData);
  void HandleReceived(const QByteArray& ABlock);
  void Dispatch(const QByteArray& AFrame);
  void HandlePortClosed(const QString& AName);
  void HoldPort(TComPortDevice* APort);
  void ReleaseHeldPort();

  void* const FOwner;
  const QString FName;
  QString FDeviceID;
  TDeviceState FDeviceState = dsUnknown;
  QByteArray FBuffer;
  // Exists while a connection attempt runs; true once the name answer was accepted.
  std::optional<bool> FConnectEvent;

  std::unique_ptr<QTimer> FTmrRequest;
  std::unique_ptr<QTimer> FTmrDiscover;
  std::unique_ptr<TComPortDevices> FTDI;

  // FDev is changed on the GUI thread only, under FDevLock, and only after the port it held is
  // closed: the send worker holds the lock while it writes, and a closed port never keeps a
  // writer waiting for the GUI thread.
  std::mutex FDevLock;
  TComPortDevice* FDev = nullptr;
  // A pressure request waits in the send queue; at most one ever does.
  std::atomic<bool> FPressureQueued{false};

  std::unique_ptr<TSendQueue> FQueueSend;
  std::unique_ptr<TReceiveBuffer> FQueueRecv;
};
