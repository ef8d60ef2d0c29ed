#include "KX52xx.Data.Phys.FTDI.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QRandomGenerator>

#include "SealwiseError.h"
#include "Vek.CRC.h"

namespace KX52xxFrame {

namespace {

quint8 ByteAt(const QByteArray& AData, qsizetype AIndex) { return quint8(AData.at(AIndex)); }

// The checksum of the ALength bytes from AStart, their own checksum byte taken as 0xFF. Works
// in place (the byte is put back), so a scan copies nothing per candidate frame.
quint8 ChecksumOf(QByteArray& AData, qsizetype AStart, int ALength) {
  char& checksum = AData.data()[AStart + 2];
  const char received = checksum;
  checksum = char(0xFF);
  const quint8 crc = CRC8(AData, int(AStart), ALength);
  checksum = received;
  return crc;
}

}  // namespace

QByteArray Build(TCmdID ACmd, const QByteArray& AData) {
  QByteArray frame;
  if (ACmd == CommandChannel) {
    if (AData.size() < HeaderSize) return {};
    // The caller's length byte decides what the checksum covers; it must lie inside the block.
    const int length = ByteAt(AData, 3);
    if (length == 0 || length > AData.size()) {
      throw ESealwiseError(QStringLiteral("Wrong stop index"));
    }
    frame = AData;
  } else {
    if (AData.size() > MaxSize - HeaderSize) return {};
    frame = QByteArray(HeaderSize, '\0');
    frame[0] = char(StartByte);
    frame[3] = char(AData.size() + HeaderSize);
    frame.append(AData);
  }
  frame[1] = char(ACmd);
  frame[2] = char(0xFF);
  frame[2] = char(CRC8(frame, 0, ByteAt(frame, 3)));
  return frame;
}

QByteArray Split(QByteArray AReceived, const TOnFrame& AOnFrame) {
  const qsizetype size = AReceived.size();
  // The first start byte whose frame runs past what arrived and that no later frame ruled out.
  qsizetype unfinished = -1;
  qsizetype i = 0;
  while (i < size) {
    if (ByteAt(AReceived, i) != StartByte) {
      ++i;
      continue;
    }
    if (size - i < HeaderSize) break;
    const int length = ByteAt(AReceived, i + 3);
    if (length >= HeaderSize && i + length > size) {
      // Not waited for: its start byte may be noise, so the bytes after it are scanned for
      // frames of their own. Only when none follows is it kept for the next block.
      if (unfinished < 0) unfinished = i;
      ++i;
      continue;
    }
    if (length < HeaderSize || ChecksumOf(AReceived, i, length) != ByteAt(AReceived, i + 2)) {
      ++i;
      continue;
    }
    AOnFrame(AReceived.mid(i, length));
    i += length;
    unfinished = -1;
  }
  if (unfinished >= 0) return AReceived.mid(unfinished);
  return i < size ? AReceived.mid(i) : QByteArray();
}

}  // namespace KX52xxFrame

namespace {

// The smallest answer that can carry a device name: header, code 2 and a length of 10 or more.
constexpr int kMinNameAnswer = 10;
constexpr int kNameOffset = 4;
constexpr int kNameMaxLength = 16;
const QString kDevicePrefix = QStringLiteral("KX52");
constexpr int kDeviceIDLength = 6;

const QByteArray& PressureRequest() {
  static const QByteArray frame =
      KX52xxFrame::Build(TKX52xxDataPhysFTDI::CmdPressure, QByteArray());
  return frame;
}

// Puts a port's own handlers back when a connection attempt ends, however it ends.
class TPortHandlersRestorer {
 public:
  explicit TPortHandlersRestorer(TComPortDevice* APort)
      : FPort(APort), FRead(APort->OnComPortRead()), FDisconnected(APort->OnDisconnected()) {}
  ~TPortHandlersRestorer() {
    FPort->SetOnComPortRead(FRead);
    FPort->SetOnDisconnected(FDisconnected);
  }
  TPortHandlersRestorer(const TPortHandlersRestorer&) = delete;
  TPortHandlersRestorer& operator=(const TPortHandlersRestorer&) = delete;

 private:
  TComPortDevice* const FPort;
  const TComPortDevice::TOnComPortRead FRead;
  const TComPortDevice::TOnPortDisconnected FDisconnected;
};

// Lets the GUI thread run its pending work for a while (the port's blocks arrive as events).
void ProcessEventsForMs(int AMs) {
  QEventLoop loop;
  QTimer::singleShot(AMs, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

TKX52xxDataPhysFTDI::TKX52xxDataPhysFTDI(void* AOwner, const QString& AName)
    : FOwner(AOwner),
      FName(AName),
      FTmrRequest(std::make_unique<QTimer>()),
      FTmrDiscover(std::make_unique<QTimer>()),
      FTDI(TComPortDevices::CreateNew()),
      FQueueSend(std::make_unique<TSendQueue>()),
      FQueueRecv(std::make_unique<TReceiveBuffer>()) {
  FTmrRequest->setInterval(PollIntervalMs);
  QObject::connect(FTmrRequest.get(), &QTimer::timeout, FTmrRequest.get(),
                   [this] { PollPressure(); });
  FTmrDiscover->setInterval(DiscoverBaseMs +
                            int(QRandomGenerator::global()->bounded(DiscoverJitterMs)));
  QObject::connect(FTmrDiscover.get(), &QTimer::timeout, FTmrDiscover.get(),
                   [this] { EndDiscovery(); });

  FQueueSend->SetInterval(SendIntervalMs);
  FQueueSend->SetAutoDelete(true);
  FQueueSend->SetOnGetNextTask([this](const QByteArray& frame) { SendToHeldPort(frame); });
  FQueueSend->Start();
  FQueueRecv->SetInterval(ReceiveIntervalMs);
  FQueueRecv->SetMinimumLength(ReceiveMinimumLength);
  FQueueRecv->SetOnNextReceived([this](const QByteArray& block) { HandleReceived(block); });
  FQueueRecv->Start();

  FTDI->SetShowFTDIDevicesOnly(true);
  FTDI->SetOnReaded([this](int, const QByteArray& data) { FQueueRecv->Add(data); });
  FTDI->SetOnDisconnected([this](int, const QString& name) { HandlePortClosed(name); });
}

TKX52xxDataPhysFTDI::~TKX52xxDataPhysFTDI() {
  FTDI->SetOnReaded(nullptr);
  FTDI->SetOnDisconnected(nullptr);
  FTmrRequest->stop();
  FTmrDiscover->stop();
  if (FDev) ReleaseHeldPort();
  // No port is held now, so the send worker never waits for this thread and can be joined.
  FQueueSend.reset();
  FQueueRecv.reset();
  FTDI.reset();
}

void TKX52xxDataPhysFTDI::DiscoverDevices() {
  if (FDeviceState != dsUnknown && FDeviceState != dsDiscovered &&
      FDeviceState != dsDisconnected) {
    return;
  }
  FDeviceState = dsDiscovering;
  FTDI->Refresh();
  FTmrDiscover->start();
}

void TKX52xxDataPhysFTDI::EndDiscovery() {
  FTmrDiscover->stop();
  TDeviceDictionary devices;
  for (int i = 0; i < FTDI->Count(); ++i) {
    const QString& name = FTDI->GetItemByIndex(i)->Name();
    devices.insert(name, name);
  }
  // A connection made while the search ran keeps its state: a discovered link would accept a
  // new search, whose refresh would free the held port.
  if (FDeviceState < dsConnecting) FDeviceState = dsDiscovered;
  RaiseDiscoveredDevices(devices);
}

void TKX52xxDataPhysFTDI::Connect(const QString& SerialNumber) {
  if (FDeviceState >= dsConnecting) return;
  for (int i = 0; i < FTDI->Count(); ++i) {
    TComPortDevice* port = FTDI->GetItemByIndex(i);
    if (port->Name() != SerialNumber) continue;
    if (TryConnect(port)) RaiseConnected();
    return;
  }
}

void TKX52xxDataPhysFTDI::Disconnect() {
  FTmrRequest->stop();
  if (FDeviceState <= dsConnecting || !FDev) return;
  // Set first: the close below is ours, not a lost port to report.
  FDeviceState = dsDisconnected;
  ReleaseHeldPort();
  RaiseDisconnected();
}

bool TKX52xxDataPhysFTDI::IsConnected() const { return FDev && FDev->Active(); }

void TKX52xxDataPhysFTDI::Read(TCmdID ACmd) {
  if (!IsConnected()) return;
  // A pressure request already waiting brings the same answer.
  if (ACmd == CmdPressure && FPressureQueued.exchange(true)) return;
  Enqueue(KX52xxFrame::Build(ACmd, QByteArray()), false);
}

void TKX52xxDataPhysFTDI::Write(TCmdID ACmd, const QByteArray& AData) {
  if (IsConnected()) Enqueue(KX52xxFrame::Build(ACmd, AData), false);
}

void TKX52xxDataPhysFTDI::WriteNow(TCmdID ACmd, const QByteArray& AData) {
  if (IsConnected()) Enqueue(KX52xxFrame::Build(ACmd, AData), true);
}

void TKX52xxDataPhysFTDI::Enqueue(const QByteArray& AFrame, bool AAtFront) {
  if (AFrame.isEmpty()) return;
  if (AAtFront) {
    FQueueSend->AddFirst(AFrame);
  } else {
    FQueueSend->Add(AFrame);
  }
}

void TKX52xxDataPhysFTDI::SendToHeldPort(const QByteArray& AFrame) {
  if (AFrame == PressureRequest()) FPressureQueued = false;
  std::lock_guard<std::mutex> guard(FDevLock);
  if (FDev) FDev->Send(AFrame);
}

void TKX52xxDataPhysFTDI::PollPressure() {
  FTmrRequest->stop();
  if (!FDev || !FDev->Active()) return;
  Read(CmdPressure);
  FTmrRequest->start();
}

bool TKX52xxDataPhysFTDI::TryConnect(TComPortDevice* APort) {
  if (FDeviceState >= dsConnecting || !APort) return false;
  FDeviceState = dsConnecting;
  bool accepted = false;
  try {
    // The attempt's traffic and closing stay inside the attempt.
    TPortHandlersRestorer restorer(APort);
    APort->SetOnComPortRead(
        [this](const QString& name, const QByteArray& data) { HandleNameAnswer(name, data); });
    APort->SetOnDisconnected(nullptr);
    APort->SetBaudrate(Baudrate);
    APort->SetActive(true);
    accepted = APort->Active() && IdentifyDevice(APort);
    if (accepted) {
      HoldPort(APort);
    } else {
      APort->SetActive(false);
    }
  } catch (...) {
    // A port that would not open: the error goes on to the caller of Connect.
    FBuffer.clear();
    FConnectEvent.reset();
    FDeviceState = dsDisconnected;
    throw;
  }
  FDeviceState = accepted ? dsConnected : dsDisconnected;
  if (accepted) FTmrRequest->start();
  return accepted;
}

bool TKX52xxDataPhysFTDI::IdentifyDevice(TComPortDevice* APort) {
  const QByteArray request = KX52xxFrame::Build(CmdDeviceName, QByteArray());
  FConnectEvent = false;
  bool accepted = false;
  for (int tries = 0; tries < ConnectTries && !accepted; ++tries) {
    if (tries > 0 && !APort->Active()) APort->SetActive(true);
    accepted = AskDeviceName(APort, request);
  }
  FBuffer.clear();
  FConnectEvent.reset();
  return accepted;
}

bool TKX52xxDataPhysFTDI::AskDeviceName(TComPortDevice* APort, const QByteArray& ARequest) {
  FBuffer.clear();
  APort->Send(ARequest);
  const QDeadlineTimer deadline(ConnectTryMs);
  while (!*FConnectEvent && !deadline.hasExpired()) ProcessEventsForMs(ConnectStepMs);
  const bool answered = *FConnectEvent && APort->Active();
  FConnectEvent = false;
  return answered;
}

void TKX52xxDataPhysFTDI::HandleNameAnswer(const QString& AName, const QByteArray& AData) {
  const TComPortDevice* from = FTDI->ItemByName(AName);
  if (!from || !from->Active() || !FConnectEvent || *FConnectEvent) return;
  FBuffer.append(AData);
  if (FBuffer.size() < kMinNameAnswer || quint8(FBuffer.at(0)) != KX52xxFrame::StartByte ||
      quint8(FBuffer.at(1)) != CmdDeviceName || quint8(FBuffer.at(3)) < kMinNameAnswer) {
    return;
  }
  const QString name = TGlobals::DataTo_String(FBuffer, kNameOffset, kNameMaxLength).toUpper();
  if (!name.startsWith(kDevicePrefix)) return;
  FDeviceID = name.left(kDeviceIDLength);
  FConnectEvent = true;
}

void TKX52xxDataPhysFTDI::HandleReceived(const QByteArray& ABlock) {
  FBuffer =
      KX52xxFrame::Split(FBuffer + ABlock, [this](const QByteArray& frame) { Dispatch(frame); });
}

void TKX52xxDataPhysFTDI::Dispatch(const QByteArray& AFrame) {
  if (AFrame.size() < KX52xxFrame::HeaderSize || quint8(AFrame.at(0)) != KX52xxFrame::StartByte ||
      AFrame.size() < quint8(AFrame.at(3))) {
    return;
  }
  const TCmdID code = quint8(AFrame.at(1));
  if (code == 0) return;
  RaiseDataReaded(TGlobals::Now(), code, AFrame.mid(KX52xxFrame::HeaderSize));
}

void TKX52xxDataPhysFTDI::HandlePortClosed(const QString& AName) {
  // The port layer reports a close on the GUI thread. The link keeps its state and port:
  // IsConnected turns false, and a later Disconnect completes the transition.
  if (FDev && FDeviceState == dsConnected && AName == FDev->Name()) RaiseDisconnected();
}

void TKX52xxDataPhysFTDI::HoldPort(TComPortDevice* APort) {
  if (FDev && FDev != APort) ReleaseHeldPort();
  std::lock_guard<std::mutex> guard(FDevLock);
  FDev = APort;
}

void TKX52xxDataPhysFTDI::ReleaseHeldPort() {
  FDev->SetActive(false);
  std::lock_guard<std::mutex> guard(FDevLock);
  FDev = nullptr;
}
