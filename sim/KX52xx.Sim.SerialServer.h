#pragma once
#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <memory>
#include <random>

#include "KX52xx.Sim.Device.h"
#include "KX52xx.Sim.Line.h"
#include "KX52xx.Sim.Wire.h"

// Faults of a bad cable.
struct KX52xxSimFaults {
  double CorruptFraction = 0;     // share of bytes changed on the line, in both directions
  double DropAnswerFraction = 0;  // share of answers the device never sends
  int UnplugAfterMs = -1;         // unplug this long after Open; negative: never
};

// What crossed the line so far.
struct KX52xxSimLineStatistics {
  qint64 BytesIn = 0;  // from the application
  qint64 BytesOut = 0;
  qint64 CorruptedIn = 0;
  qint64 CorruptedOut = 0;
  qint64 AnswersDropped = 0;
};

// Serves a device over USB: a new pseudo-terminal stands for the FTDI port. The application
// opens SlavePath() as a serial port; frames it writes are checked, handed to the device, and
// the answers and notifications go back as frames, paced at 115200 8N1 unless SetLineRate
// (false). Whatever the device sends while no one holds the terminal is lost, as on a real
// cable, so a port opened later starts clean. Unplug() closes the terminal for good: the
// application sees the device gone. Lives on the thread that runs its event loop (the GUI
// thread); the device must outlive the server.
class KX52xxSimSerialServer : public QObject {
  Q_OBJECT
 public:
  explicit KX52xxSimSerialServer(KX52xxSimDevice& device, QObject* parent = nullptr);
  ~KX52xxSimSerialServer() override;

  void SetLineRate(bool enabled);
  // Takes effect for what is sent from now on; the unplug time counts from Open.
  void SetFaults(const KX52xxSimFaults& faults) { FFaults = faults; }

  // Creates the pseudo-terminal; false (with ErrorString) when the system refuses one.
  bool Open();
  QString SlavePath() const { return FSlavePath; }
  QString ErrorString() const { return FError; }
  bool IsPlugged() const { return FMaster >= 0; }
  // The application holds the terminal open.
  bool IsPeerOpen() const { return FPeerOpen; }
  void Unplug();
  const KX52xxSimLineStatistics& Statistics() const { return FStatistics; }

 signals:
  void PeerOpened();
  void PeerClosed();
  void Unplugged();

 private:
  bool Fail(const QString& what);
  bool ConfigureSlave();
  void CheckPeer();
  void ReadMaster();
  void PeerGone();
  void DiscardStaleInput();
  void HandleFrame(quint8 code, const QByteArray& payload);
  void SendFrame(const QByteArray& frame);
  void WriteToMaster(const QByteArray& bytes);
  void FlushStalled();
  QByteArray Corrupted(QByteArray bytes, qint64& counter);
  bool Chance(double fraction);
  void Close();

  KX52xxSimDevice& FDevice;
  KX52xxSimFaults FFaults;
  KX52xxSimLineStatistics FStatistics;
  KX52xxSimWire::TFrameParser FParser;
  KX52xxSimLine FInbound;
  KX52xxSimLine FOutbound;
  QTimer FPeerPoll;  // while no one holds the terminal
  QTimer FResync;    // a frame that stopped arriving is given up
  QTimer FUnplug;
  std::unique_ptr<QSocketNotifier> FReadNotifier;
  std::unique_ptr<QSocketNotifier> FWriteNotifier;
  QByteArray FStalled;  // written when the terminal takes more
  std::mt19937 FRng;
  QString FSlavePath;
  QString FError;
  int FMaster = -1;
  bool FPeerOpen = false;
};
