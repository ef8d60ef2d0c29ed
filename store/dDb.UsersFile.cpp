#include "dDb.UsersFile.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>
#include <array>

#include "SealwiseError.h"
#include "TGlobals.Codecs.h"

namespace UsersFile {
namespace {

struct TByteOrderMark {
  QByteArrayView Mark;
  TUsersFileEncoding Encoding;
};

// UTF-8's mark first: its bytes cannot be mistaken for a UTF-16 mark.
const std::array<TByteOrderMark, 3> kMarks = {{
    {QByteArrayView("\xEF\xBB\xBF", 3), ueUtf8Bom},
    {QByteArrayView("\xFF\xFE", 2), ueUtf16LE},
    {QByteArrayView("\xFE\xFF", 2), ueUtf16BE},
}};

const QString kLineEnd = QStringLiteral("\r\n");

QByteArrayView MarkOf(TUsersFileEncoding AEncoding) {
  for (const TByteOrderMark& mark : kMarks)
    if (mark.Encoding == AEncoding) return mark.Mark;
  return {};
}

QStringConverter::Encoding ConverterOf(TUsersFileEncoding AEncoding) {
  switch (AEncoding) {
    case ueUtf16LE: return QStringConverter::Utf16LE;
    case ueUtf16BE: return QStringConverter::Utf16BE;
    default: return QStringConverter::Utf8;
  }
}

// Stateless: a sequence cut off at the end of the file counts as an error instead of being
// held back silently. The mark is already removed, so a second one is kept as a character.
constexpr QStringConverter::Flags kDecodeFlags =
    QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

QString DecodeText(QByteArrayView ABody, TUsersFileEncoding AEncoding) {
  if (AEncoding == ueCodePage) return TGlobals::Encoding().GetString(ABody.toByteArray());
  QStringDecoder decoder(ConverterOf(AEncoding), kDecodeFlags);
  return decoder.decode(ABody);
}

bool IsValidUtf8(QByteArrayView ABody) {
  QStringDecoder decoder(QStringConverter::Utf8, kDecodeFlags);
  const QString ignored = decoder.decode(ABody);
  return !decoder.hasError();
}

QStringList SplitLines(const QString& AText) {
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < AText.size(); ++i) {
    const QChar c = AText.at(i);
    if (c != u'\r' && c != u'\n') continue;
    lines.append(AText.mid(start, i - start));
    if (c == u'\r' && i + 1 < AText.size() && AText.at(i + 1) == u'\n') ++i;
    start = i + 1;
  }
  if (start < AText.size()) lines.append(AText.mid(start));
  return lines;
}

bool CodePageHolds(const QString& AText) {
  const TGlobals::TEncoding& codePage = TGlobals::Encoding();
  return codePage.GetString(codePage.GetBytes(AText)) == AText;
}

QByteArray EncodeText(const QString& AText, TUsersFileEncoding AEncoding) {
  if (AEncoding == ueCodePage) return TGlobals::Encoding().GetBytes(AText);
  QStringEncoder encoder(ConverterOf(AEncoding));
  return MarkOf(AEncoding).toByteArray() + QByteArray(encoder.encode(AText));
}

ESealwiseError FileError(const QString& APath, const QString& AReason) {
  return ESealwiseError(
      QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(APath), AReason));
}

}  // namespace

TUsersFileContent Decode(const QByteArray& AData) {
  const QByteArrayView data(AData);
  TUsersFileContent content;
  QByteArrayView body = data;
  content.Encoding = ueCodePage;
  for (const TByteOrderMark& mark : kMarks) {
    if (!data.startsWith(mark.Mark)) continue;
    content.Encoding = mark.Encoding;
    body = data.sliced(mark.Mark.size());
    break;
  }
  if (content.Encoding == ueCodePage && IsValidUtf8(body)) content.Encoding = ueUtf8;
  content.Users = SplitLines(DecodeText(body, content.Encoding));
  return content;
}

QByteArray Encode(const TUsersFileContent& AContent) {
  QString text;
  for (const QString& name : AContent.Users) text += name + kLineEnd;
  const bool keepsEncoding = AContent.Encoding != ueCodePage || CodePageHolds(text);
  return EncodeText(text, keepsEncoding ? AContent.Encoding : ueUtf8);
}

TUsersFileContent Load(const QString& APath) {
  QFile file(APath);
  if (!file.exists()) return {};
  if (!file.open(QIODevice::ReadOnly)) throw FileError(APath, file.errorString());
  const QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) throw FileError(APath, file.errorString());
  return Decode(data);
}

bool Save(const QString& APath, const QByteArray& AData) {
  QDir().mkpath(QFileInfo(APath).absolutePath());
  QSaveFile file(APath);
  // Unbuffered, so that a short write (the disk filling up) shows in the count written: the
  // save file only notices outright failures, and would otherwise commit a cut-off list.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  if (file.write(AData) != AData.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

QString StorableName(const QString& AUserName) {
  QString name = AUserName;
  name.replace(u'\r', u' ');
  name.replace(u'\n', u' ');
  return name;
}

}  // namespace UsersFile
