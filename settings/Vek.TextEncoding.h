#pragma once
#include <QByteArray>
#include <QString>

// The encodings our text files (settings, layout colours, translations) may come in. A file
// is read in the encoding its byte-order mark names; one without a mark is UTF-8, and a file
// is written back in the encoding it was read in, mark included.
enum class TTextEncoding { teUtf8, teUtf8Bom, teUtf16LE, teUtf16BE };

struct TDecodedText {
  QString Text;
  TTextEncoding Encoding = TTextEncoding::teUtf8;
};

// Never fails: bytes that are not valid in the chosen encoding decode to replacement
// characters, so the rest of the file stays readable.
TDecodedText DecodeText(const QByteArray& ABytes);
QByteArray EncodeText(const QString& AText, TTextEncoding AEncoding);
