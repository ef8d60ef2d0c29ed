#include "uReportText.h"

#include <QFileInfo>
#include <QSaveFile>

#include "SealwiseError.h"
#include "TGlobals.Shell.h"
#include "Vek.Lang.h"
#include "dIcons.h"

namespace {

const QChar CellSeparator = u'\t';

QString Tr(const char* AText) { return TranslateText(QLatin1String(AText)); }

// The product name stays as it is before the translated verdict.
QString Verdict(const char* AText, bool AIs5210) {
  return AIs5210 ? Tr(AText) : QStringLiteral("Sealwise ") + Tr(AText);
}

// A KX5220 report names the wearer of an alert instead of the alert, which the result cell
// already tells.
QString UserCell(const TReportRow& ARow, bool AIs5210) {
  if (!AIs5210 && ARow.Icon && *ARow.Icon >= TIcon::SealFall) return ARow.UserTag;
  return ARow.UserName ? *ARow.UserName : Tr("N/A");
}

QString ResultCell(const TReportRow& ARow, bool AIs5210) {
  if (!ARow.Icon) return Tr("---");
  switch (*ARow.Icon) {
    case TIcon::SealFail:
      return Verdict("FAIL", AIs5210);
    case TIcon::SealPass:
      return Verdict("PASS", AIs5210);
    case TIcon::SealFall:
      return Tr("Fall Protection Alert");
    case TIcon::SealImpact:
      return Tr("Impact Alert");
    default:
      return Tr("<Unknown>");
  }
}

}  // namespace

QStringList BuildReportText(const TReportRows& ARows, bool AIs5210, bool AWithHeader) {
  QStringList lines;
  if (AWithHeader) {
    // The quotes are part of the translatable header texts.
    lines << QStringList{Tr("\"User Name\""), Tr("\"Start Time\""),
                         AIs5210 ? Tr("\"Test Result\"") : Tr("\"Alert\"")}
                 .join(CellSeparator);
  }
  for (const TReportRow& row : ARows) {
    lines << QStringList{UserCell(row, AIs5210), row.DateTime.value_or(QString()),
                         ResultCell(row, AIs5210)}
                 .join(CellSeparator);
  }
  return lines;
}

QByteArray ReportFileBytes(const QStringList& ALines) {
  QByteArray bytes;
  for (const QString& line : ALines) bytes += line.toUtf8() + "\r\n";
  return bytes;
}

void SaveReportFile(const QString& AFileName, const QStringList& ALines) {
  QSaveFile file(AFileName);
  const QByteArray bytes = ReportFileBytes(ALines);
  const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
  if (!written || !file.commit()) {
    throw ESealwiseError(TGlobals::FillPlaceholders(Tr("Can't write file %s"),
                                                    {QFileInfo(AFileName).absoluteFilePath()}));
  }
}
