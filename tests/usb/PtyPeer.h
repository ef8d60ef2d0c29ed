#pragma once
#include <QByteArray>
#include <QList>
#include <QSocketNotifier>
#include <QString>
#include <functional>
#include <memory>
#include <termios.h>

// The far side of a pseudo-terminal, standing in for a device in tests: the port under test
// opens SlavePath(), the test reads and writes the master side.
class TPtyPeer {
 public:
  // Called on the GUI thread with everything the port wrote since the last call; what it
  // returns is written back.
  using TResponder = std::function<QByteArray(const QByteArray& received)>;

  TPtyPeer();
  ~TPtyPeer();
  TPtyPeer(const TPtyPeer&) = delete;
  TPtyPeer& operator=(const TPtyPeer&) = delete;

  bool IsValid() const { return FMaster >= 0; }
  const QString& SlavePath() const { return FSlavePath; }

  void Write(const QByteArray& bytes);
  // What the port wrote so far and nobody has taken yet (the responder takes it too).
  QByteArray TakeReceived();
  // Waits, processing events, until at least count bytes have arrived.
  QByteArray TakeAtLeast(qsizetype count, int timeoutMs = 5000);
  // The slave's line settings, as the port left them.
  termios LineSettings() const;

  // How many descriptors of this process have the slave open (the peer itself holds one).
  int SlaveOpenings() const;

  void SetResponder(TResponder responder);
  // The device goes away: the port sees its far side closed.
  void CloseMaster();

 private:
  void ReadMaster();

  int FMaster = -1;
  // Held open so the master never sees a hang-up while no port is open.
  int FSlaveKeeper = -1;
  QString FSlavePath;
  QByteArray FReceived;
  TResponder FResponder;
  std::unique_ptr<QSocketNotifier> FNotifier;
};

// A frame as the device sends it, with its checksum.
QByteArray DeviceFrame(quint8 code, const QByteArray& payload);

// Takes the whole frames at the front of pending (what the link wrote); bytes before a start
// byte are dropped, a frame still arriving stays.
QList<QByteArray> TakeFrames(QByteArray& pending);
