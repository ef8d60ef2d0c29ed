#include "TGlobals.Codecs.h"

#include <QLocale>
#include <array>

namespace TGlobals {
namespace {

// Windows-1252 0x80..0x9F; the unassigned 0x81, 0x8D, 0x8F, 0x90 and 0x9D stay C1 controls.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char kUnmappable = '?';

char ByteOf(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == u) return static_cast<char>(0x80 + i);
  return kUnmappable;
}

constexpr qint64 kDeviceEpochUnix = 1546300800;  // 2019-01-01 00:00:00
constexpr qint64 kWrap = qint64(1) << 32;

bool Fits(const QByteArray& data, int start, int size) {
  return start >= 0 && qint64(start) + size <= data.size();
}

quint8 ByteAt(const QByteArray& data, int index) { return static_cast<quint8>(data.at(index)); }

// Whole seconds of the wall-clock fields read as if they were UTC: no zone takes part. The
// fraction is cut from the fields, so a time before 1970 is not rounded up by the division.
qint64 WallClockSeconds(const TDateTime& value) {
  const QTime time = value.time();
  const QTime wholeSeconds(time.hour(), time.minute(), time.second());
  return QDateTime(value.date(), wholeSeconds, Qt::UTC).toSecsSinceEpoch();
}

}  // namespace

QChar TEncoding::CharOf(quint8 byte) {
  if (byte >= 0x80 && byte < 0xA0) return QChar(kHighControls[byte - 0x80]);
  return QChar(char16_t(byte));
}

QByteArray TEncoding::GetBytes(const QString& text) const {
  QByteArray out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    // A character outside the 16-bit range is one character: one replacement byte, not two.
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
    out.append(ByteOf(c));
  }
  return out;
}

QString TEncoding::GetString(const QByteArray& bytes) const {
  QString out;
  out.reserve(bytes.size());
  for (char b : bytes) out.append(CharOf(static_cast<quint8>(b)));
  return out;
}

const TEncoding& Encoding() {
  static const TEncoding encoding;
  return encoding;
}

QByteArray UInt8_ToData(quint8 Value) { return QByteArray(1, static_cast<char>(Value)); }

QByteArray UInt16_ToData(quint16 Value) {
  QByteArray out(2, '\0');
  out[0] = static_cast<char>(Value >> 8);
  out[1] = static_cast<char>(Value & 0xFF);
  return out;
}

QByteArray UInt32_ToData(quint32 Value) {
  QByteArray out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((Value >> (24 - 8 * i)) & 0xFF);
  return out;
}

quint8 DataTo_UInt8(const QByteArray& AData, int AStartByte) {
  return Fits(AData, AStartByte, 1) ? ByteAt(AData, AStartByte) : 0;
}

quint16 DataTo_UInt16(const QByteArray& AData, int AStartByte) {
  if (!Fits(AData, AStartByte, 2)) return 0;
  return static_cast<quint16>(ByteAt(AData, AStartByte) << 8 | ByteAt(AData, AStartByte + 1));
}

quint32 DataTo_UInt32(const QByteArray& AData, int AStartByte) {
  if (!Fits(AData, AStartByte, 4)) return 0;
  quint32 value = 0;
  for (int i = 0; i < 4; ++i) value = value << 8 | ByteAt(AData, AStartByte + i);
  return value;
}

qint8 DataTo_Int8(const QByteArray& AData, int AStartByte) {
  return static_cast<qint8>(DataTo_UInt8(AData, AStartByte));
}

qint16 DataTo_Int16(const QByteArray& AData, int AStartByte) {
  return static_cast<qint16>(DataTo_UInt16(AData, AStartByte));
}

qint32 DataTo_Int32(const QByteArray& AData, int AStartByte) {
  return static_cast<qint32>(DataTo_UInt32(AData, AStartByte));
}

QByteArray String_ToData(const QString& Value) { return Encoding().GetBytes(Value); }

QString DataTo_String(const QByteArray& AData) {
  const QString text = Encoding().GetString(AData);
  qsizetype first = 0;
  qsizetype last = text.size() - 1;
  while (first <= last && text.at(first).unicode() <= 32) ++first;
  while (last >= first && text.at(last).unicode() <= 32) --last;
  return text.mid(first, last - first + 1);
}

QString DataTo_String(const QByteArray& AData, int AIndex, int MaxRead) {
  if (AIndex < 0 || AIndex > AData.size() - 1 || MaxRead <= 0) return QString();
  qint64 last = AData.size() - 1;
  if (last - AIndex + 1 > MaxRead) last = qint64(AIndex) + MaxRead - 1;
  for (qint64 i = AIndex; i <= last; ++i) {
    const quint8 b = ByteAt(AData, int(i));
    if (b == 0x00 || b == 0xFF) {
      last = i - 1;
      break;
    }
  }
  return DataTo_String(AData.mid(AIndex, int(last - AIndex + 1)));
}

TDateTime Now() {
  const QDateTime local = QDateTime::currentDateTime();
  return QDateTime(local.date(), local.time(), Qt::UTC);
}

TDateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
  return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), Qt::UTC);
}

quint32 EncodeDateTimeInt(const TDateTime& ADateTime) {
  if (!ADateTime.isValid()) return 0;
  const qint64 seconds = WallClockSeconds(ADateTime) - kDeviceEpochUnix;
  return static_cast<quint32>(((seconds % kWrap) + kWrap) % kWrap);
}

QByteArray EncodeDateTime(const TDateTime& ADateTime, bool FixTime) {
  quint32 value = EncodeDateTimeInt(ADateTime);
  if (FixTime) ++value;
  return UInt32_ToData(value);
}

TDateTime DecodeDateTime(quint32 AData) {
  const qint64 unixSeconds = (qint64(AData) + kDeviceEpochUnix) % kWrap;
  return QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::UTC);
}

TDateTime DecodeDateTime(const QByteArray& ABytes, int AStartByte) {
  const int first = qMax(AStartByte, 0);
  const qint64 last = qMin<qint64>(qint64(AStartByte) + 3, ABytes.size() - 1);
  quint32 value = 0;
  for (qint64 i = first; i <= last; ++i) value = value << 8 | ByteAt(ABytes, int(i));
  return DecodeDateTime(value);
}

QString FormatThreshold(float AThreshold) {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  // Five significant digits as the device reports them, then two decimals.
  const double rounded = QString::number(double(AThreshold), 'g', 5).toDouble();
  return locale.toString(rounded, 'f', 2);
}

QString Version() {
  return QStringLiteral("%1.%2").arg(SEALWISE_VERSION_MAJOR).arg(SEALWISE_VERSION_MINOR);
}

}  // namespace TGlobals
