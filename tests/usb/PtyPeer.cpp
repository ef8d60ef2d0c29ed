#include "PtyPeer.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>

#include <QDir>
#include <QFileInfo>

#include "TestWait.h"
#include "Vek.CRC.h"

TPtyPeer::TPtyPeer() {
  FMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  char name[128] = {};
  if (FMaster < 0 || grantpt(FMaster) != 0 || unlockpt(FMaster) != 0 ||
      ptsname_r(FMaster, name, sizeof name) != 0) {
    CloseMaster();
    return;
  }
  FSlavePath = QString::fromLocal8Bit(name);
  FSlaveKeeper = ::open(name, O_RDWR | O_NOCTTY);
  if (FSlaveKeeper >= 0) {
    termios raw{};
    tcgetattr(FSlaveKeeper, &raw);
    cfmakeraw(&raw);
    tcsetattr(FSlaveKeeper, TCSANOW, &raw);
  }
  FNotifier = std::make_unique<QSocketNotifier>(FMaster, QSocketNotifier::Read);
  QObject::connect(FNotifier.get(), &QSocketNotifier::activated, FNotifier.get(),
                   [this] { ReadMaster(); });
}

TPtyPeer::~TPtyPeer() {
  CloseMaster();
  if (FSlaveKeeper >= 0) ::close(FSlaveKeeper);
}

void TPtyPeer::Write(const QByteArray& bytes) {
  qsizetype at = 0;
  while (FMaster >= 0 && at < bytes.size()) {
    const ssize_t written = ::write(FMaster, bytes.constData() + at, size_t(bytes.size() - at));
    if (written > 0) {
      at += written;
    } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
      return;
    }
  }
}

QByteArray TPtyPeer::TakeReceived() {
  ReadMaster();
  QByteArray taken;
  taken.swap(FReceived);
  return taken;
}

QByteArray TPtyPeer::TakeAtLeast(qsizetype count, int timeoutMs) {
  WaitUntil(
      [&] {
        ReadMaster();
        return FReceived.size() >= count;
      },
      timeoutMs);
  return TakeReceived();
}

termios TPtyPeer::LineSettings() const {
  termios settings{};
  if (FMaster >= 0) tcgetattr(FMaster, &settings);
  return settings;
}

int TPtyPeer::SlaveOpenings() const {
  int openings = 0;
  for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System)) {
    if (fd.symLinkTarget() == FSlavePath) ++openings;
  }
  return openings;
}

void TPtyPeer::SetResponder(TResponder responder) { FResponder = std::move(responder); }

void TPtyPeer::CloseMaster() {
  FNotifier.reset();
  if (FMaster >= 0) ::close(FMaster);
  FMaster = -1;
}

void TPtyPeer::ReadMaster() {
  char chunk[4096];
  ssize_t n;
  while (FMaster >= 0 && (n = ::read(FMaster, chunk, sizeof chunk)) > 0) {
    FReceived.append(chunk, qsizetype(n));
  }
  if (!FResponder || FReceived.isEmpty()) return;
  QByteArray received;
  received.swap(FReceived);
  Write(FResponder(received));
}

QByteArray DeviceFrame(quint8 code, const QByteArray& payload) {
  QByteArray frame(4, '\0');
  frame[0] = char(0xAA);
  frame[1] = char(code);
  frame[2] = char(0xFF);
  frame[3] = char(payload.size() + 4);
  frame.append(payload);
  frame[2] = char(CRC8(frame, 0, int(frame.size())));
  return frame;
}

QList<QByteArray> TakeFrames(QByteArray& pending) {
  QList<QByteArray> frames;
  while (!pending.isEmpty()) {
    if (quint8(pending.at(0)) != 0xAA) {
      pending.remove(0, 1);
      continue;
    }
    if (pending.size() < 4) break;
    const qsizetype length = quint8(pending.at(3));
    if (length < 4) {
      pending.remove(0, 1);
      continue;
    }
    if (pending.size() < length) break;
    frames.append(pending.left(length));
    pending.remove(0, length);
  }
  return frames;
}
