#pragma once
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

#include "Vek.TextEncoding.h"

// An INI document held wholly in memory ("Settings.cfg", "colors.ini"). Section and key names
// are compared without regard to case. Lines outside a section, comments (";") and lines
// without "=" are not kept; a section that appears twice is merged into the first, and a key
// that appears twice keeps its first value. Integers (and booleans, which are integers) are
// decimal or hexadecimal with a "$" or "0x" prefix; any other text reads as the default.
class TIniDocument {
 public:
  // A missing or unreadable file gives an empty document.
  void LoadFromFile(const QString& AFileName);
  void LoadFromBytes(const QByteArray& ABytes);
  QByteArray SaveToBytes() const;
  // Atomic: the file is replaced whole or left as it was. Raises ESealwiseError on failure.
  void SaveToFile(const QString& AFileName) const;

  bool ValueExists(const QString& ASection, const QString& AKey) const;
  QString ReadString(const QString& ASection, const QString& AKey, const QString& ADefault) const;
  qint32 ReadInteger(const QString& ASection, const QString& AKey, qint32 ADefault) const;
  bool ReadBool(const QString& ASection, const QString& AKey, bool ADefault) const;

  void WriteString(const QString& ASection, const QString& AKey, const QString& AValue);
  void WriteInteger(const QString& ASection, const QString& AKey, qint32 AValue);
  void WriteBool(const QString& ASection, const QString& AKey, bool AValue);
  void DeleteKey(const QString& ASection, const QString& AKey);

  // The 32-bit reading of a stored integer text ("-5", "$FF", "0x1"); hexadecimal values
  // above 0x7FFFFFFF give the signed reading of the same 32 bits.
  static std::optional<qint32> ParseInteger(const QString& AText);

 private:
  struct TEntry {
    QString Key;
    QString Value;
  };
  struct TSection {
    QString Name;
    QList<TEntry> Entries;
    QHash<QString, qsizetype> Index;  // folded key -> position in Entries
  };

  const TEntry* FindEntry(const QString& ASection, const QString& AKey) const;
  TSection& SectionFor(const QString& AName);
  void ParseLine(const QString& ALine, TSection*& ACurrent);
  static void AddEntry(TSection& ASection, const QString& AKey, const QString& AValue);

  QList<TSection> FSections;
  QHash<QString, qsizetype> FSectionIndex;  // folded name -> position in FSections
  TTextEncoding FEncoding = TTextEncoding::teUtf8;
};
