#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Byte-level value codecs of every device payload. Multi-byte integers are big-endian; texts
// are single-byte code-page bytes without terminator; date-times travel as seconds since
// 2019-01-01 00:00:00 taken from the wall-clock fields.
//
// Date-time convention of the whole application: a TDateTime is a QDateTime whose calendar
// fields are the wall-clock time and whose timeSpec() is Qt::UTC, so no arithmetic or
// comparison ever passes through a time zone (a DST change cannot shift a device clock).
// Take "now" from TGlobals::Now(), never from QDateTime::currentDateTime().
using TDateTime = QDateTime;

namespace TGlobals {

// The shared single-byte text encoding: Windows-1252 with its five unassigned bytes mapped to
// the C1 controls of the same value, so every byte decodes to one character and back.
class TEncoding {
 public:
  QByteArray GetBytes(const QString& text) const;
  QString GetString(const QByteArray& bytes) const;
  // The character a byte decodes to.
  static QChar CharOf(quint8 byte);
};
const TEncoding& Encoding();

QByteArray UInt8_ToData(quint8 Value);
QByteArray UInt16_ToData(quint16 Value);
QByteArray UInt32_ToData(quint32 Value);

// Decoders never raise: too few bytes from AStartByte on give 0.
quint8 DataTo_UInt8(const QByteArray& AData, int AStartByte = 0);
quint16 DataTo_UInt16(const QByteArray& AData, int AStartByte = 0);
quint32 DataTo_UInt32(const QByteArray& AData, int AStartByte = 0);
qint8 DataTo_Int8(const QByteArray& AData, int AStartByte = 0);
qint16 DataTo_Int16(const QByteArray& AData, int AStartByte = 0);
qint32 DataTo_Int32(const QByteArray& AData, int AStartByte = 0);

QByteArray String_ToData(const QString& Value);
// Decodes the whole array, then trims characters of code 32 or less at both ends.
QString DataTo_String(const QByteArray& AData);
// Bounded read: at most MaxRead bytes from AIndex, ended by the first 0x00 or 0xFF.
QString DataTo_String(const QByteArray& AData, int AIndex, int MaxRead);

// The wall-clock "now" in the application's date-time convention (see above).
TDateTime Now();
// Builds a TDateTime from wall-clock fields.
TDateTime MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                       int msec = 0);

// Whole seconds since the device epoch, modulo 2^32; an invalid date-time gives the epoch.
quint32 EncodeDateTimeInt(const TDateTime& ADateTime);
QByteArray EncodeDateTime(const TDateTime& ADateTime, bool FixTime);
TDateTime DecodeDateTime(quint32 AData);
TDateTime DecodeDateTime(const QByteArray& ABytes, int AStartByte);

// Two decimals, the locale's decimal separator, no thousands separator.
QString FormatThreshold(float AThreshold);
// "major.minor" of the running program.
QString Version();

}  // namespace TGlobals
