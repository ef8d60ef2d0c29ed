#pragma once
#include <QSerialPort>
#include <QThread>
#include <memory>
#include <mutex>

#include "KX52xx.Data.Queues.h"
#include "Vek.ComPort.h"

// Serial port layer, Qt half: ports listed by QSerialPortInfo and driven by QSerialPort.
//
// A QSerialPort is only ever touched on the thread that created the port object (the GUI
// thread): its readyRead runs the read routine there, and a Send from another thread hands the
// write over to that thread and waits for it. Closing the port releases every waiting Send, so
// a writer thread can always be joined once the port is closed.

class TQtComPortDevice final : public TComPortDevice {
 public:
  static constexpr qsizetype ChunkSize = 4096;

  explicit TQtComPortDevice(const QString& AName);
  ~TQtComPortDevice() override;

  bool GetActive() const override;
  void Open() override;
  void Close() override;
  void ApplySettings() override;
  void Send(const QByteArray& Data) override;

 private:
  void ReadAvailable();
  void HandlePortError(QSerialPort::SerialPortError AError);
  bool DeviceGone() const;
  void HandleBytesWritten();
  void WriteChunks(const QByteArray& Data);
  void HandOverWrite(const QByteArray& Data);
  void BeginWriteSession();
  void EndWriteSession();

  QThread* const FPortThread;
  std::unique_ptr<QSerialPort> FPort;
  bool FClosing = false;

  // Writes handed over from other threads run through the session of the current opening;
  // closing aborts it, so a write handed over before a close never reaches a later opening.
  std::mutex FSessionLock;
  std::shared_ptr<TGuiThreadCall> FWriteSession;
  // One hand-over at a time.
  std::mutex FWriterLock;
};

class TQtComPortDevices final : public TComPortDevices {
 public:
  // USB vendor identifier of FTDI, whose converters the device uses.
  static constexpr quint16 FtdiVendorId = 0x0403;

 protected:
  std::unique_ptr<TComPortDevice> CreateDevice(const QString& AName) override;
  QList<TSystemPort> SystemPorts() const override;
};
