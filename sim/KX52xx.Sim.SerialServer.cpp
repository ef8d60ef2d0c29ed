#include "KX52xx.Sim.SerialServer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kPeerPollMs = 10;
// Silence after which a frame that began but never finished is given up.
constexpr int kResyncMs = 50;
// What the server holds back while the application does not read; more is lost.
constexpr int kStallLimit = 64 * 1024;
constexpr size_t kReadBlock = 4096;

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

int OpenSlave(const QString& path) {
  return ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

KX52xxSimSerialServer::KX52xxSimSerialServer(KX52xxSimDevice& device, QObject* parent)
    : QObject(parent), FDevice(device), FRng(device.Config().Seed ^ 0x5EEDu) {
  FDevice.OnNotify = [this](const KX52xxSimMessage& message) {
    SendFrame(KX52xxSimWire::BuildFrame(message.Code, message.Payload));
  };
  const auto handler = [this](quint8 code, const QByteArray& payload) {
    HandleFrame(code, payload);
  };
  FInbound.OnDelivered = [this, handler](const QByteArray& bytes) {
    FParser.Feed(bytes, handler);
    if (FParser.HasPending())
      FResync.start(kResyncMs);
    else
      FResync.stop();
  };
  FOutbound.OnDelivered = [this](const QByteArray& bytes) { WriteToMaster(bytes); };
  FResync.setSingleShot(true);
  connect(&FResync, &QTimer::timeout, this, [this, handler] { FParser.Expire(handler); });
  connect(&FPeerPoll, &QTimer::timeout, this, [this] { CheckPeer(); });
  FUnplug.setSingleShot(true);
  connect(&FUnplug, &QTimer::timeout, this, [this] { Unplug(); });
}

KX52xxSimSerialServer::~KX52xxSimSerialServer() {
  FDevice.OnNotify = nullptr;
  Close();
}

void KX52xxSimSerialServer::SetLineRate(bool enabled) {
  FInbound.SetPaced(enabled);
  FOutbound.SetPaced(enabled);
}

bool KX52xxSimSerialServer::Fail(const QString& what) {
  FError = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
  Close();
  return false;
}

bool KX52xxSimSerialServer::Open() {
  if (FMaster >= 0) return true;
  FMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (FMaster < 0) return Fail(QStringLiteral("posix_openpt"));
  if (::fcntl(FMaster, F_SETFD, FD_CLOEXEC) != 0 ||
      ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK) != 0)
    return Fail(QStringLiteral("fcntl"));
  if (::grantpt(FMaster) != 0 || ::unlockpt(FMaster) != 0)
    return Fail(QStringLiteral("grantpt/unlockpt"));
  char name[256] = {};
  if (::ptsname_r(FMaster, name, sizeof name) != 0) return Fail(QStringLiteral("ptsname"));
  FSlavePath = QString::fromLocal8Bit(name);
  if (!ConfigureSlave()) return Fail(QStringLiteral("configuring %1").arg(FSlavePath));

  FReadNotifier = std::make_unique<QSocketNotifier>(FMaster, QSocketNotifier::Read);
  FReadNotifier->setEnabled(false);
  connect(FReadNotifier.get(), &QSocketNotifier::activated, this, [this] { ReadMaster(); });
  FWriteNotifier = std::make_unique<QSocketNotifier>(FMaster, QSocketNotifier::Write);
  FWriteNotifier->setEnabled(false);
  connect(FWriteNotifier.get(), &QSocketNotifier::activated, this, [this] { FlushStalled(); });
  FPeerPoll.start(kPeerPollMs);
  if (FFaults.UnplugAfterMs >= 0) FUnplug.start(FFaults.UnplugAfterMs);
  return true;
}

// Raw 115200 8N1 from the start. Closing the slave again leaves the master hung up until the
// application opens the terminal, which is how the server tells that someone listens.
bool KX52xxSimSerialServer::ConfigureSlave() {
  const int slave = OpenSlave(FSlavePath);
  if (slave < 0) return false;
  termios settings{};
  bool ok = ::tcgetattr(slave, &settings) == 0;
  if (ok) {
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B115200);
    ::cfsetospeed(&settings, B115200);
    ok = ::tcsetattr(slave, TCSANOW, &settings) == 0;
  }
  ::close(slave);
  return ok;
}

void KX52xxSimSerialServer::CheckPeer() {
  pollfd state{FMaster, POLLIN, 0};
  if (::poll(&state, 1, 0) < 0) return;
  if (state.revents & POLLHUP) {
    DiscardStaleInput();
    return;
  }
  FPeerOpen = true;
  FPeerPoll.stop();
  FReadNotifier->setEnabled(true);
  emit PeerOpened();
}

void KX52xxSimSerialServer::ReadMaster() {
  char block[kReadBlock];
  while (FPeerOpen) {
    const ssize_t count = ::read(FMaster, block, sizeof block);
    if (count > 0) {
      FStatistics.BytesIn += count;
      FInbound.Push(Corrupted(QByteArray(block, static_cast<int>(count)), FStatistics.CorruptedIn));
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && WouldBlock()) return;
    PeerGone();  // end of file or EIO: the application closed the terminal
  }
}

// The application let go of the terminal: what was on its way is lost, and what it did not
// read is cleared, so the next one to open the port starts clean.
void KX52xxSimSerialServer::PeerGone() {
  if (!FPeerOpen) return;
  FPeerOpen = false;
  FReadNotifier->setEnabled(false);
  FWriteNotifier->setEnabled(false);
  FStalled.clear();
  FInbound.Clear();
  FOutbound.Clear();
  FResync.stop();
  FParser.Expire([](quint8, const QByteArray&) {});
  DiscardStaleInput();
  const int slave = OpenSlave(FSlavePath);
  if (slave >= 0) {
    ::tcflush(slave, TCIFLUSH);
    ::close(slave);
  }
  FPeerPoll.start(kPeerPollMs);
  emit PeerClosed();
}

void KX52xxSimSerialServer::DiscardStaleInput() {
  char block[kReadBlock];
  while (::read(FMaster, block, sizeof block) > 0) {
  }
}

void KX52xxSimSerialServer::HandleFrame(quint8 code, const QByteArray& payload) {
  for (const KX52xxSimMessage& answer : FDevice.HandleCommand(code, payload)) {
    if (Chance(FFaults.DropAnswerFraction)) {
      ++FStatistics.AnswersDropped;
      continue;
    }
    SendFrame(KX52xxSimWire::BuildFrame(answer.Code, answer.Payload));
  }
}

void KX52xxSimSerialServer::SendFrame(const QByteArray& frame) {
  if (!FPeerOpen) return;  // no one listens: the bytes fall off the end of the cable
  FStatistics.BytesOut += frame.size();
  FOutbound.Push(Corrupted(frame, FStatistics.CorruptedOut));
}

void KX52xxSimSerialServer::WriteToMaster(const QByteArray& bytes) {
  if (!FPeerOpen) return;
  if (!FStalled.isEmpty()) {
    if (FStalled.size() + bytes.size() <= kStallLimit) FStalled.append(bytes);
    return;
  }
  FStalled = bytes;
  FlushStalled();
}

void KX52xxSimSerialServer::FlushStalled() {
  while (FPeerOpen && !FStalled.isEmpty()) {
    const ssize_t written = ::write(FMaster, FStalled.constData(), FStalled.size());
    if (written > 0) {
      FStalled.remove(0, static_cast<int>(written));
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && !WouldBlock()) {
      PeerGone();
      return;
    }
    FWriteNotifier->setEnabled(true);  // the terminal is full: go on when it drains
    return;
  }
  if (FWriteNotifier) FWriteNotifier->setEnabled(false);
}

QByteArray KX52xxSimSerialServer::Corrupted(QByteArray bytes, qint64& counter) {
  if (FFaults.CorruptFraction <= 0) return bytes;
  std::uniform_int_distribution<int> flip(1, 255);
  for (char& byte : bytes) {
    if (!Chance(FFaults.CorruptFraction)) continue;
    byte = static_cast<char>(static_cast<quint8>(byte) ^ flip(FRng));
    ++counter;
  }
  return bytes;
}

bool KX52xxSimSerialServer::Chance(double fraction) {
  return fraction > 0 && std::uniform_real_distribution<double>(0.0, 1.0)(FRng) < fraction;
}

void KX52xxSimSerialServer::Unplug() {
  if (FMaster < 0) return;
  Close();
  emit Unplugged();
}

void KX52xxSimSerialServer::Close() {
  FPeerPoll.stop();
  FResync.stop();
  FUnplug.stop();
  FInbound.Clear();
  FOutbound.Clear();
  FStalled.clear();
  FReadNotifier.reset();
  FWriteNotifier.reset();
  FPeerOpen = false;
  if (FMaster >= 0) ::close(FMaster);
  FMaster = -1;
}
