#include "TIniDocument.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <limits>

#include "SealwiseError.h"

namespace {

QString Folded(const QString& AName) { return AName.toCaseFolded(); }

bool AllDigits(QStringView AText, int ABase) {
  for (const QChar c : AText) {
    const bool decimal = c >= u'0' && c <= u'9';
    const bool hex = (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    if (!decimal && !(ABase == 16 && hex)) return false;
  }
  return !AText.isEmpty();
}

// Up to eight hexadecimal digits, read as the signed value of the same 32 bits.
std::optional<qint32> ParseHex(QStringView ADigits) {
  if (ADigits.size() > 8 || !AllDigits(ADigits, 16)) return std::nullopt;
  return static_cast<qint32>(ADigits.toUInt(nullptr, 16));
}

std::optional<qint32> ParseDecimal(QStringView AText) {
  const bool signed_ = AText.startsWith(u'-') || AText.startsWith(u'+');
  const QStringView digits = signed_ ? AText.mid(1) : AText;
  if (digits.size() > 10 || !AllDigits(digits, 10)) return std::nullopt;
  const qint64 magnitude = digits.toLongLong();
  const qint64 value = AText.startsWith(u'-') ? -magnitude : magnitude;
  if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
    return std::nullopt;
  return static_cast<qint32>(value);
}

}  // namespace

void TIniDocument::LoadFromFile(const QString& AFileName) {
  QFile file(AFileName);
  LoadFromBytes(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
}

void TIniDocument::LoadFromBytes(const QByteArray& ABytes) {
  FSections.clear();
  FSectionIndex.clear();
  const TDecodedText decoded = DecodeText(ABytes);
  FEncoding = decoded.Encoding;
  static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
  TSection* current = nullptr;
  for (const QString& line : decoded.Text.split(lineBreak)) ParseLine(line.trimmed(), current);
}

void TIniDocument::ParseLine(const QString& ALine, TSection*& ACurrent) {
  if (ALine.isEmpty() || ALine.startsWith(u';')) return;
  if (ALine.startsWith(u'[') && ALine.endsWith(u']') && ALine.size() >= 2) {
    ACurrent = &SectionFor(ALine.mid(1, ALine.size() - 2).trimmed());
    return;
  }
  const qsizetype equals = ALine.indexOf(u'=');
  if (!ACurrent || equals <= 0) return;
  const QString key = ALine.left(equals).trimmed();
  if (key.isEmpty()) return;
  const QString value = ALine.mid(equals + 1).trimmed();
  if (!ACurrent->Index.contains(Folded(key))) AddEntry(*ACurrent, key, value);
}

void TIniDocument::AddEntry(TSection& ASection, const QString& AKey, const QString& AValue) {
  ASection.Index.insert(Folded(AKey), ASection.Entries.size());
  ASection.Entries.append({AKey, AValue});
}

TIniDocument::TSection& TIniDocument::SectionFor(const QString& AName) {
  const QString folded = Folded(AName);
  const auto found = FSectionIndex.constFind(folded);
  if (found != FSectionIndex.constEnd()) return FSections[*found];
  FSectionIndex.insert(folded, FSections.size());
  FSections.append({AName, {}, {}});
  return FSections.last();
}

QByteArray TIniDocument::SaveToBytes() const {
  QString text;
  for (const TSection& section : FSections) {
    if (section.Entries.isEmpty()) continue;
    if (!text.isEmpty()) text += u'\n';
    text += u'[' + section.Name + QStringLiteral("]\n");
    for (const TEntry& entry : section.Entries) text += entry.Key + u'=' + entry.Value + u'\n';
  }
  return EncodeText(text, FEncoding);
}

void TIniDocument::SaveToFile(const QString& AFileName) const {
  QSaveFile file(AFileName);
  const QByteArray bytes = SaveToBytes();
  // Unbuffered, so a short write (disk full) shows in write()'s count; a buffered QSaveFile
  // would commit the truncated file.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
      file.write(bytes) != bytes.size() || !file.commit())
    throw ESealwiseError(QStringLiteral("Can't write file \"%1\".").arg(AFileName));
}

const TIniDocument::TEntry* TIniDocument::FindEntry(const QString& ASection,
                                                    const QString& AKey) const {
  const auto section = FSectionIndex.constFind(Folded(ASection));
  if (section == FSectionIndex.constEnd()) return nullptr;
  const TSection& found = FSections[*section];
  const auto entry = found.Index.constFind(Folded(AKey));
  return entry == found.Index.constEnd() ? nullptr : &found.Entries[*entry];
}

bool TIniDocument::ValueExists(const QString& ASection, const QString& AKey) const {
  return FindEntry(ASection, AKey) != nullptr;
}

QString TIniDocument::ReadString(const QString& ASection, const QString& AKey,
                                 const QString& ADefault) const {
  const TEntry* entry = FindEntry(ASection, AKey);
  return entry ? entry->Value : ADefault;
}

qint32 TIniDocument::ReadInteger(const QString& ASection, const QString& AKey,
                                 qint32 ADefault) const {
  const TEntry* entry = FindEntry(ASection, AKey);
  if (!entry) return ADefault;
  return ParseInteger(entry->Value).value_or(ADefault);
}

bool TIniDocument::ReadBool(const QString& ASection, const QString& AKey, bool ADefault) const {
  return ReadInteger(ASection, AKey, ADefault ? 1 : 0) != 0;
}

void TIniDocument::WriteString(const QString& ASection, const QString& AKey,
                               const QString& AValue) {
  TSection& section = SectionFor(ASection);
  const auto entry = section.Index.constFind(Folded(AKey));
  if (entry == section.Index.constEnd())
    AddEntry(section, AKey, AValue);
  else
    section.Entries[*entry].Value = AValue;
}

void TIniDocument::WriteInteger(const QString& ASection, const QString& AKey, qint32 AValue) {
  WriteString(ASection, AKey, QString::number(AValue));
}

void TIniDocument::WriteBool(const QString& ASection, const QString& AKey, bool AValue) {
  WriteInteger(ASection, AKey, AValue ? 1 : 0);
}

void TIniDocument::DeleteKey(const QString& ASection, const QString& AKey) {
  const auto sectionPos = FSectionIndex.constFind(Folded(ASection));
  if (sectionPos == FSectionIndex.constEnd()) return;
  TSection& section = FSections[*sectionPos];
  const auto entry = section.Index.constFind(Folded(AKey));
  if (entry == section.Index.constEnd()) return;
  section.Entries.removeAt(*entry);
  section.Index.clear();
  for (qsizetype i = 0; i < section.Entries.size(); ++i)
    section.Index.insert(Folded(section.Entries[i].Key), i);
}

std::optional<qint32> TIniDocument::ParseInteger(const QString& AText) {
  const QStringView text(AText);
  if (text.startsWith(u'$')) return ParseHex(text.mid(1));
  if (text.startsWith(u"0x", Qt::CaseInsensitive)) return ParseHex(text.mid(2));
  return ParseDecimal(text);
}
