#include "KX52xx.Sim.Wire.h"

#include <QDateTime>
#include <QTimeZone>

namespace KX52xxSimWire {
namespace {

constexpr qint64 kDeviceEpochUnixSeconds = 1546300800;  // 2019-01-01 00:00:00
constexpr int kCrcOffset = 2;
constexpr int kLengthOffset = 3;

bool IsTerminator(quint8 byte) { return byte == 0x00 || byte == 0xFF; }

}  // namespace

quint8 ByteAt(const QByteArray& data, int index) {
  return index >= 0 && index < data.size() ? static_cast<quint8>(data.at(index)) : 0;
}

void AppendUInt16(QByteArray& out, quint16 value) {
  out.append(static_cast<char>(value >> 8));
  out.append(static_cast<char>(value & 0xFF));
}

void AppendUInt32(QByteArray& out, quint32 value) {
  AppendUInt16(out, static_cast<quint16>(value >> 16));
  AppendUInt16(out, static_cast<quint16>(value & 0xFFFF));
}

QByteArray UInt16Bytes(quint16 value) {
  QByteArray out;
  AppendUInt16(out, value);
  return out;
}

QByteArray UInt32Bytes(quint32 value) {
  QByteArray out;
  AppendUInt32(out, value);
  return out;
}

quint16 ReadUInt16(const QByteArray& data, int at) {
  if (at < 0 || at + 2 > data.size()) return 0;
  return static_cast<quint16>(ByteAt(data, at) << 8 | ByteAt(data, at + 1));
}

quint32 ReadUInt32(const QByteArray& data, int at) {
  if (at < 0 || at + 4 > data.size()) return 0;
  return quint32(ReadUInt16(data, at)) << 16 | ReadUInt16(data, at + 2);
}

QByteArray TextBytes(const QString& text) { return text.toLatin1(); }

QByteArray TerminatedBytes(const QByteArray& data, int maxLength) {
  QByteArray out;
  for (int i = 0; i < data.size() && out.size() < maxLength; ++i) {
    if (IsTerminator(ByteAt(data, i))) break;
    out.append(data.at(i));
  }
  return out;
}

QByteArray Padded(const QByteArray& data, int length) {
  QByteArray out = data.left(length);
  out.append(QByteArray(length - out.size(), '\0'));
  return out;
}

quint32 DeviceTimeNow() {
  // The device clock holds the wall-clock fields of the computer that set it; reading the
  // local fields as UTC keeps every time zone out of the count.
  const QDateTime local = QDateTime::currentDateTime();
  const QDateTime wall(local.date(), local.time(), QTimeZone::utc());
  return static_cast<quint32>(wall.toSecsSinceEpoch() - kDeviceEpochUnixSeconds);
}

quint8 Crc8(const QByteArray& bytes) {
  quint8 crc = 0xFF;
  for (char c : bytes) {
    crc ^= static_cast<quint8>(c);
    for (int bit = 0; bit < 8; ++bit)
      crc = static_cast<quint8>((crc & 0x80) ? (crc << 1) ^ 0x31 : crc << 1);
  }
  return crc;
}

QByteArray BuildFrame(quint8 code, const QByteArray& payload) {
  QByteArray frame;
  frame.append(static_cast<char>(kFrameStart));
  frame.append(static_cast<char>(code));
  frame.append(static_cast<char>(0xFF));
  const QByteArray body = payload.left(kFrameMaxPayload);
  frame.append(static_cast<char>(kFrameHeaderSize + body.size()));
  frame.append(body);
  frame[kCrcOffset] = static_cast<char>(Crc8(frame));
  return frame;
}

void TFrameParser::Feed(const QByteArray& bytes, const FrameHandler& handler) {
  FPending.append(bytes);
  Scan(true, handler);
}

void TFrameParser::Expire(const FrameHandler& handler) { Scan(false, handler); }

void TFrameParser::Scan(bool waitForRest, const FrameHandler& handler) {
  const QByteArray data = FPending;
  int i = 0;
  while (i < data.size()) {
    if (ByteAt(data, i) != kFrameStart) {
      ++i;
      continue;
    }
    const int length = ByteAt(data, i + kLengthOffset);
    const bool headerComplete = i + kFrameHeaderSize <= data.size();
    if (headerComplete && length < kFrameHeaderSize) {
      ++i;
      continue;
    }
    if (!headerComplete || i + length > data.size()) {
      if (waitForRest) break;
      ++i;
      continue;
    }
    QByteArray frame = data.mid(i, length);
    const quint8 received = ByteAt(frame, kCrcOffset);
    frame[kCrcOffset] = static_cast<char>(0xFF);
    if (Crc8(frame) != received) {
      ++i;
      continue;
    }
    handler(ByteAt(frame, 1), frame.mid(kFrameHeaderSize));
    i += length;
  }
  FPending = data.mid(i);
}

}  // namespace KX52xxSimWire
