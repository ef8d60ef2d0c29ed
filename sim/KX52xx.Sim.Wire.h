#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

// The simulated device's own wire helpers: big-endian numbers, device time, the USB frame and
// its CRC-8. They are written apart from the application's codecs on purpose, so a fault on
// one side shows up as a disagreement instead of hiding behind the same fault on both.
namespace KX52xxSimWire {

constexpr quint8 kFrameStart = 0xAA;
constexpr int kFrameHeaderSize = 4;
constexpr int kFrameMaxSize = 255;
constexpr int kFrameMaxPayload = kFrameMaxSize - kFrameHeaderSize;

quint8 ByteAt(const QByteArray& data, int index);  // 0 outside the array

void AppendUInt16(QByteArray& out, quint16 value);
void AppendUInt32(QByteArray& out, quint32 value);
QByteArray UInt16Bytes(quint16 value);
QByteArray UInt32Bytes(quint32 value);
// Big-endian reads; 0 when the array is too short.
quint16 ReadUInt16(const QByteArray& data, int at);
quint32 ReadUInt32(const QByteArray& data, int at);

// The device keeps texts as the bytes it was given; its own texts are Latin-1 (characters
// outside it become '?').
QByteArray TextBytes(const QString& text);
// The bytes before the first 0x00 or 0xFF, at most maxLength of them.
QByteArray TerminatedBytes(const QByteArray& data, int maxLength);
// data cut or padded with 0x00 to exactly length bytes.
QByteArray Padded(const QByteArray& data, int length);

// Device time: seconds since 2019-01-01 00:00:00 of the host's wall clock, modulo 2^32.
quint32 DeviceTimeNow();

// CRC-8, polynomial 0x31, initial 0xFF, no reflection, no final xor.
quint8 Crc8(const QByteArray& bytes);
// A whole frame: start byte, code, CRC (computed with its own byte taken as 0xFF), length,
// payload. A payload longer than a frame can carry is cut.
QByteArray BuildFrame(quint8 code, const QByteArray& payload);

// Splits a byte stream into frames with a good checksum. Bytes that do not start a frame are
// skipped one at a time. A frame still arriving is kept (never more than one frame's worth);
// Expire drops it when the rest never comes, so one corrupted length byte cannot stall the
// stream.
class TFrameParser {
 public:
  using FrameHandler = std::function<void(quint8 code, const QByteArray& payload)>;
  void Feed(const QByteArray& bytes, const FrameHandler& handler);
  void Expire(const FrameHandler& handler);
  bool HasPending() const { return !FPending.isEmpty(); }

 private:
  void Scan(bool waitForRest, const FrameHandler& handler);
  QByteArray FPending;
};

}  // namespace KX52xxSimWire
