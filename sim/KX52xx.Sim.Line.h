#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>

// One direction of a 115200 baud 8N1 serial line: a block pushed in comes out (in order)
// once its last byte would have crossed the wire, ten bit times per byte. Unpaced, blocks
// come out at once. Runs on the thread that owns it.
class KX52xxSimLine : public QObject {
  Q_OBJECT
 public:
  static constexpr qint64 kBaudRate = 115200;
  static constexpr qint64 kBitsPerByte = 10;  // start bit, eight data bits, stop bit

  explicit KX52xxSimLine(QObject* parent = nullptr);
  void SetPaced(bool paced) { FPaced = paced; }
  bool IsPaced() const { return FPaced; }
  void Push(const QByteArray& bytes);
  // Forgets everything still on the wire.
  void Clear();

  // Receives each block when it arrives at the far end.
  std::function<void(const QByteArray&)> OnDelivered;

 private:
  struct TBlock {
    qint64 DueNs;
    QByteArray Bytes;
  };
  void DeliverDue();
  void Arm();
  std::deque<TBlock> FQueue;
  QElapsedTimer FClock;
  QTimer FTimer;
  qint64 FLineFreeNs = 0;  // when the wire has carried everything pushed so far
  bool FPaced = true;
};
