#include "KX52xx.Sim.Line.h"

#include <algorithm>

namespace {
constexpr qint64 kNsPerSecond = 1000000000;
constexpr qint64 kNsPerMs = 1000000;
}  // namespace

KX52xxSimLine::KX52xxSimLine(QObject* parent) : QObject(parent) {
  FClock.start();
  FTimer.setSingleShot(true);
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { DeliverDue(); });
}

void KX52xxSimLine::Push(const QByteArray& bytes) {
  if (bytes.isEmpty()) return;
  const qint64 now = FClock.nsecsElapsed();
  qint64 due = now;
  if (FPaced) {
    const qint64 wireNs = bytes.size() * kBitsPerByte * kNsPerSecond / kBaudRate;
    due = std::max(now, FLineFreeNs) + wireNs;
    FLineFreeNs = due;
  }
  FQueue.push_back({due, bytes});
  DeliverDue();
}

void KX52xxSimLine::Clear() {
  FQueue.clear();
  FTimer.stop();
}

void KX52xxSimLine::DeliverDue() {
  while (!FQueue.empty() && FQueue.front().DueNs <= FClock.nsecsElapsed()) {
    const QByteArray bytes = FQueue.front().Bytes;
    FQueue.pop_front();
    if (OnDelivered) OnDelivered(bytes);
  }
  Arm();
}

void KX52xxSimLine::Arm() {
  if (FQueue.empty()) return;
  const qint64 waitNs = std::max<qint64>(0, FQueue.front().DueNs - FClock.nsecsElapsed());
  // Never early: round up to the next whole millisecond.
  FTimer.start(static_cast<int>((waitNs + kNsPerMs - 1) / kNsPerMs));
}
