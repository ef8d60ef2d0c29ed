#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>

#include "KX52xx.Data.h"
#include "dDb.h"
#include "uReportText.h"
#include "uSaveCsv.h"

class TReportsPage;

// The filter applied to the device's history records: the wearer's name contains the filter's
// name in any letter case, and the time lies within the dates that are used (both ends
// included).
bool MatchesFilter(const THistoryRecord& ARecord, const TReportFilter& AFilter);
// Whether the list shows a history record of this kind: a KX5210 or KX5211 shows only seal
// checks and the breathing events.
bool IsListedHistoryKind(TAlertType AKind, bool AIs5210);
// The row of a seal check or alert of the record store.
TReportRow StoreRow(const TReportResult& AResult);
// The row of a device history record.
TReportRow HistoryRow(const THistoryRecord& ARecord);

// What the reports page does: it reads the device's stored history after a connection, fills
// the list with the results recorded during this connection followed by the device's history,
// applies the filter and saves the list as a CSV file.
class TReports : public QObject {
  Q_OBJECT
 public:
  // The most history records asked for over Bluetooth LE, where the transfer is slow.
  static constexpr int MaxBleHistoryRecords = 16;

  TReports(TKX52xxDeviceData& ADevData, TReportsPage& APage, QObject* parent);

  // A local link connected: the list is emptied and waits for the history.
  void HistoryReadStarted();
  // Answer 32: the number of stored reports.
  void ReportCountReceived(const QByteArray& AData);
  // Answer 33: a history record arrived.
  void HistoryTransferred();
  // tabReport was shown: the filter is cleared and the list filled.
  void Enter();
  void ClearList();
  void FillReports();
  // Opens the save dialog; the report is written when a name is chosen.
  void Save();
  // The current rows as report lines with their header, written to AFileName.
  void SaveTo(const QString& AFileName);
  // The save dialog while it is open (for tests).
  TSaveCsvDialog* SaveDialog() const { return FSaveDialog; }

 private:
  bool IsPageShown() const;
  void FilterPageShown();
  void ApplyFilter();

  TKX52xxDeviceData& FDevData;
  TReportsPage& FPage;
  QPointer<TSaveCsvDialog> FSaveDialog;
};
