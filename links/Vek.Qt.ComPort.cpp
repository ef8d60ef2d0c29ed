#include "Vek.Qt.ComPort.h"

#include <QSerialPortInfo>
#include <poll.h>

#include "SealwiseError.h"

namespace {

// How long one chunk may take to reach the driver before the next is written.
constexpr int kWriteTimeoutMs = 100;

}  // namespace

TQtComPortDevice::TQtComPortDevice(const QString& AName)
    : TComPortDevice(AName),
      FPortThread(QThread::currentThread()),
      FPort(std::make_unique<QSerialPort>()) {
  FPort->setPortName(AName);
  QObject::connect(FPort.get(), &QSerialPort::readyRead, FPort.get(), [this] { ReadAvailable(); });
  QObject::connect(FPort.get(), &QSerialPort::errorOccurred, FPort.get(),
                   [this](QSerialPort::SerialPortError error) { HandlePortError(error); });
  QObject::connect(FPort.get(), &QSerialPort::bytesWritten, FPort.get(),
                   [this] { HandleBytesWritten(); });
}

TQtComPortDevice::~TQtComPortDevice() { Close(); }

bool TQtComPortDevice::GetActive() const { return FPort->isOpen(); }

void TQtComPortDevice::Open() {
  if (status() == psConnected) return;
  SetStatus(psConnecting);
  if (!FPort->isOpen() && !FPort->open(QIODevice::ReadWrite)) {
    SetStatus(psDisconnected);
    throw ESealwiseError(QStringLiteral("Can't open port %1").arg(Name()));
  }
  ApplySettings();
  // Whatever waited in the driver's queues belongs to an earlier session.
  FPort->clear();
  FPort->clearError();
  BeginWriteSession();
  SetStatus(psConnected);
}

void TQtComPortDevice::Close() {
  // Closing a vanished device can report one more error, which must not close it twice.
  if (!FPort->isOpen() || FClosing) return;
  FClosing = true;
  EndWriteSession();
  FPort->close();
  FClosing = false;
  SetStatus(psDisconnected);
  RaiseDisconnected();
}

void TQtComPortDevice::ApplySettings() {
  // A pseudo-terminal has no modem lines: the DTR/RTS calls fail there, which is harmless.
  FPort->setBaudRate(Baudrate());
  FPort->setDataBits(QSerialPort::Data8);
  FPort->setParity(QSerialPort::NoParity);
  FPort->setStopBits(QSerialPort::OneStop);
  FPort->setFlowControl(QSerialPort::NoFlowControl);
  FPort->setDataTerminalReady(false);
  FPort->setRequestToSend(false);
}

void TQtComPortDevice::Send(const QByteArray& Data) {
  if (Data.isEmpty()) return;
  if (QThread::currentThread() == FPortThread) {
    WriteChunks(Data);
  } else {
    HandOverWrite(Data);
  }
}

void TQtComPortDevice::ReadAvailable() {
  // A handler may close the port, so the open state is checked before every chunk.
  while (FPort->isOpen() && FPort->bytesAvailable() > 0) {
    const QByteArray chunk = FPort->read(ChunkSize);
    if (chunk.isEmpty()) return;
    RaiseComPortRead(chunk);
  }
}

void TQtComPortDevice::HandlePortError(QSerialPort::SerialPortError AError) {
  if (AError != QSerialPort::ReadError && AError != QSerialPort::ResourceError) return;
  // A vanished device (pulled converter, closed far side of a pseudo-terminal) shows as a read
  // or resource error that repeats until the port is closed: the first one closes it. The same
  // errors come from a wake-up that found nothing to read (a would-block, or a stale errno),
  // which must not end the connection.
  if (DeviceGone()) {
    Close();
  } else {
    FPort->clearError();
  }
}

bool TQtComPortDevice::DeviceGone() const {
  pollfd state{int(FPort->handle()), POLLIN, 0};
  return ::poll(&state, 1, 0) < 0 || (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void TQtComPortDevice::HandleBytesWritten() {
  if (FPort->isOpen() && FPort->bytesToWrite() == 0) RaiseTxBufferEmpty();
}

void TQtComPortDevice::WriteChunks(const QByteArray& Data) {
  for (qsizetype at = 0; at < Data.size() && FPort->isOpen(); at += ChunkSize) {
    if (FPort->write(Data.mid(at, ChunkSize)) < 0) return;
    // Each chunk reaches the driver before the next one is queued behind it.
    FPort->waitForBytesWritten(kWriteTimeoutMs);
  }
}

void TQtComPortDevice::HandOverWrite(const QByteArray& Data) {
  std::lock_guard<std::mutex> writer(FWriterLock);
  std::shared_ptr<TGuiThreadCall> session;
  {
    std::lock_guard<std::mutex> guard(FSessionLock);
    session = FWriteSession;
  }
  if (session) session->Run([this, Data] { WriteChunks(Data); });
}

void TQtComPortDevice::BeginWriteSession() {
  std::lock_guard<std::mutex> guard(FSessionLock);
  FWriteSession = std::make_shared<TGuiThreadCall>();
}

void TQtComPortDevice::EndWriteSession() {
  std::shared_ptr<TGuiThreadCall> ended;
  {
    std::lock_guard<std::mutex> guard(FSessionLock);
    ended.swap(FWriteSession);
  }
  if (ended) ended->Abort();
}

std::unique_ptr<TComPortDevice> TQtComPortDevices::CreateDevice(const QString& AName) {
  return std::make_unique<TQtComPortDevice>(AName);
}

QList<TSystemPort> TQtComPortDevices::SystemPorts() const {
  QList<TSystemPort> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const bool ftdi = info.hasVendorIdentifier() && info.vendorIdentifier() == FtdiVendorId;
    ports.append({info.systemLocation(), ftdi});
  }
  return ports;
}

std::unique_ptr<TComPortDevices> TComPortDevices::CreateNew() {
  return std::make_unique<TQtComPortDevices>();
}
