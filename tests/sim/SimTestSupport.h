#pragma once
// The test side of the wire, written apart from the simulator's own frame code so that the
// two check each other: a frame writer, a strict frame reader and a client of the terminal.
#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>
#include <cerrno>
#include <vector>

#include "TestWait.h"

namespace SimTest {

// CRC-8 (polynomial 0x31, initial 0xFF) through a table built once.
inline quint8 Crc8(const QByteArray& bytes) {
  static const std::array<quint8, 256> table = [] {
    std::array<quint8, 256> t{};
    for (int i = 0; i < 256; ++i) {
      unsigned value = static_cast<unsigned>(i);
      for (int bit = 0; bit < 8; ++bit) value = (value << 1) ^ ((value & 0x80) ? 0x31 : 0);
      t[static_cast<size_t>(i)] = static_cast<quint8>(value);
    }
    return t;
  }();
  quint8 crc = 0xFF;
  for (char c : bytes) crc = table[static_cast<quint8>(crc ^ static_cast<quint8>(c))];
  return crc;
}

inline QByteArray Frame(quint8 code, const QByteArray& payload = {}) {
  QByteArray frame;
  frame.append(char(0xAA)).append(char(code)).append(char(0xFF));
  frame.append(char(4 + payload.size())).append(payload);
  frame[2] = char(Crc8(frame));
  return frame;
}

inline quint8 U8(const QByteArray& data, int at) { return static_cast<quint8>(data.at(at)); }

inline quint32 U32(const QByteArray& data, int at) {
  return quint32(U8(data, at)) << 24 | quint32(U8(data, at + 1)) << 16 |
         quint32(U8(data, at + 2)) << 8 | U8(data, at + 3);
}

inline quint16 U16(const QByteArray& data, int at) {
  return static_cast<quint16>(U8(data, at) << 8 | U8(data, at + 1));
}

inline QByteArray Be32(quint32 value) {
  QByteArray out;
  for (int shift = 24; shift >= 0; shift -= 8) out.append(char((value >> shift) & 0xFF));
  return out;
}

struct TFrame {
  quint8 Code = 0;
  QByteArray Payload;
};

// Reads a clean stream of back-to-back frames; ok turns false at the first byte that does
// not continue a well-formed frame with a good checksum.
inline std::vector<TFrame> SplitFrames(const QByteArray& stream, bool* ok = nullptr) {
  std::vector<TFrame> frames;
  int at = 0;
  bool good = true;
  while (at < stream.size()) {
    const int length = at + 4 <= stream.size() ? U8(stream, at + 3) : 0;
    if (U8(stream, at) != 0xAA || length < 4 || at + length > stream.size()) {
      good = false;
      break;
    }
    QByteArray frame = stream.mid(at, length);
    const quint8 crc = U8(frame, 2);
    frame[2] = char(0xFF);
    if (Crc8(frame) != crc) {
      good = false;
      break;
    }
    frames.push_back({U8(frame, 1), frame.mid(4)});
    at += length;
  }
  if (ok) *ok = good;
  return frames;
}

// The application's end of the pseudo-terminal, without any serial-port library.
class TPtyClient {
 public:
  explicit TPtyClient(const QString& path)
      : FFd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
  ~TPtyClient() { Close(); }
  TPtyClient(const TPtyClient&) = delete;
  TPtyClient& operator=(const TPtyClient&) = delete;

  bool IsOpen() const { return FFd >= 0; }
  void Close() {
    if (FFd >= 0) ::close(FFd);
    FFd = -1;
  }
  bool Write(const QByteArray& bytes) {
    return FFd >= 0 && ::write(FFd, bytes.constData(), size_t(bytes.size())) == bytes.size();
  }
  // Takes in what has arrived; false once the far end has gone (end of file or EIO).
  bool Poll() {
    char block[4096];
    while (FFd >= 0) {
      const ssize_t count = ::read(FFd, block, sizeof block);
      if (count > 0) {
        FReceived.append(block, int(count));
        continue;
      }
      if (count < 0 && (errno == EAGAIN || errno == EINTR)) return true;
      FHungUp = true;
      return false;
    }
    return false;
  }
  bool WaitForBytes(int count, int timeoutMs = 3000) {
    return WaitUntil(
        [&] {
          Poll();
          return FReceived.size() >= count;
        },
        timeoutMs);
  }
  bool WaitForHangUp(int timeoutMs = 3000) {
    return WaitUntil(
        [&] {
          Poll();
          return FHungUp;
        },
        timeoutMs);
  }
  // Sends a request and waits for count bytes of answer; returns what came.
  QByteArray Exchange(const QByteArray& request, int count, int timeoutMs = 3000) {
    FReceived.clear();
    Write(request);
    WaitForBytes(count, timeoutMs);
    return FReceived;
  }
  QByteArray& Received() { return FReceived; }

 private:
  int FFd;
  QByteArray FReceived;
  bool FHungUp = false;
};

}  // namespace SimTest
