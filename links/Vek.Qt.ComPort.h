#pragma once
#include <QSerialPort>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

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
  void HandleBytesWritten();
  void WriteChunks(const QByteArray& Data);
  void HandOverWrite(const QByteArray& Data);
  void AcceptHandOvers(bool AAccept);
  void SettleHandOver(quint64 ATicket);

  QThread* const FPortThread;
  std::unique_ptr<QSerialPort> FPort;
  bool FClosing = false;

  // Hand-over of writes from other threads; guarded by FHandOverLock.
  std::mutex FHandOverLock;
  std::condition_variable FHandOverSettled;
  bool FAcceptsHandOvers = false;
  quint64 FOpenGeneration = 0;
  quint64 FTicketsPosted = 0;
  quint64 FTicketsSettled = 0;
};

class TQtComPortDevices final : public TComPortDevices {
 public:
  // USB vendor identifier of FTDI, whose converters the device uses.
  static constexpr quint16 FtdiVendorId = 0x0403;

 protected:
  std::unique_ptr<TComPortDevice> CreateDevice(const QString& AName) override;
  QList<TSystemPort> SystemPorts() const override;
};
