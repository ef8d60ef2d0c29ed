#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Where a row of the reports list comes from.
enum TReportRowTag { rtHistory = 1, rtStore = 2 };

// One row of the reports list as it is drawn: its picture (an entry of ilSealwise), its two
// texts and, for alert rows, the wearer's name behind the alert's name. A part that is not
// set is not drawn.
struct TReportRow {
  int Tag = rtStore;
  std::optional<int> Icon;
  std::optional<QString> UserName;
  QString UserTag;
  std::optional<QString> DateTime;
  bool CrcOk = true;  // false: the device reported the record damaged
};
using TReportRows = std::vector<TReportRow>;

// The rows as tab-separated lines, optionally after a header line. AIs5210: the report of a
// KX5210 or KX5211 (results only); otherwise a KX5220's, whose alert rows name the wearer.
QStringList BuildReportText(const TReportRows& ARows, bool AIs5210, bool AWithHeader);

// The bytes of a report file: every line followed by CR LF, UTF-8 without a byte-order mark.
QByteArray ReportFileBytes(const QStringList& ALines);

// Writes the lines to AFileName, replacing a file that is there. The file is written beside
// its final name first and renamed into place, so a failed write leaves the old file as it
// was. Raises ESealwiseError with a translated message when the file cannot be written.
void SaveReportFile(const QString& AFileName, const QStringList& ALines);
