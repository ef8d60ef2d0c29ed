#include "Vek.TextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

struct TBomInfo {
  TTextEncoding Encoding;
  QByteArray Mark;
  QStringConverter::Encoding Converter;
};

const TBomInfo kBoms[] = {
    {TTextEncoding::teUtf8Bom, QByteArray("\xEF\xBB\xBF"), QStringConverter::Utf8},
    {TTextEncoding::teUtf16LE, QByteArray("\xFF\xFE"), QStringConverter::Utf16LE},
    {TTextEncoding::teUtf16BE, QByteArray("\xFE\xFF"), QStringConverter::Utf16BE},
};

const TBomInfo* BomOf(TTextEncoding AEncoding) {
  for (const TBomInfo& bom : kBoms)
    if (bom.Encoding == AEncoding) return &bom;
  return nullptr;
}

}  // namespace

TDecodedText DecodeText(const QByteArray& ABytes) {
  for (const TBomInfo& bom : kBoms) {
    if (!ABytes.startsWith(bom.Mark)) continue;
    QStringDecoder decoder(bom.Converter, QStringConverter::Flag::Stateless);
    return {decoder.decode(ABytes.mid(bom.Mark.size())), bom.Encoding};
  }
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  return {decoder.decode(ABytes), TTextEncoding::teUtf8};
}

QByteArray EncodeText(const QString& AText, TTextEncoding AEncoding) {
  const TBomInfo* bom = BomOf(AEncoding);
  if (!bom) return AText.toUtf8();
  QStringEncoder encoder(bom->Converter, QStringConverter::Flag::Stateless);
  return bom->Mark + QByteArray(encoder.encode(AText));
}
