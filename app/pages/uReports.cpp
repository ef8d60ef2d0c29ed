#include "uReports.h"

#include <algorithm>
#include <limits>

#include "SealwiseError.h"
#include "TGlobals.Shell.h"
#include "Vek.Lang.h"
#include "Vek.Panel.h"
#include "dIcons.h"
#include "uConfiguration.h"
#include "uMonitoring.h"
#include "uPageReports.h"
#include "uSaveCsv.h"

namespace {

QString NameOrNA(const QString& AName) {
  return AName.isEmpty() ? TranslateText(QStringLiteral("N/A")) : AName;
}

// An alert row names the alert and keeps the wearer's name behind it.
void SetAlert(TReportRow& ARow, TAlertType AKind, const QString& AUserName) {
  const int image = AlertImageIndex(AKind);
  if (image >= 0) ARow.Icon = image;
  ARow.UserName = TranslateText(AlertTypeText(AKind)) + TranslateText(QStringLiteral(" Alert"));
  ARow.UserTag = AUserName;
}

// A record whose time piece never came has no time to show.
std::optional<QString> TimeText(const TDateTime& ADateTime) {
  if (!ADateTime.isValid()) return std::nullopt;
  return Configuration->FormatDateTime(ADateTime, false);
}

}  // namespace

// The same test as for the store's results, with the record's time as the start.
bool MatchesFilter(const THistoryRecord& ARecord, const TReportFilter& AFilter) {
  TResultsRecord asResult;
  asResult.SetUserName(ARecord.UserName());
  asResult.SetStartDate(ARecord.DateTime());
  return TdmDb::FilterRecord(asResult, AFilter);
}

bool IsListedHistoryKind(TAlertType AKind, bool AIs5210) {
  return !AIs5210 || IsSealCheckKind(AKind) || AKind == atOverBreathing || AKind == atDoubleBreathe;
}

TReportRow StoreRow(const TReportResult& AResult) {
  TReportRow row;
  row.Tag = rtStore;
  if (IsSealCheckKind(AResult.Alert)) {
    row.Icon = AResult.ResultPass ? TIcon::SealPass : TIcon::SealFail;
    row.UserName = NameOrNA(AResult.UserName);
  } else {
    SetAlert(row, AResult.Alert, AResult.UserName);
  }
  row.DateTime = TimeText(AResult.DateTime);
  return row;
}

TReportRow HistoryRow(const THistoryRecord& ARecord) {
  TReportRow row;
  row.Tag = rtHistory;
  if (IsSealCheckKind(ARecord.AlertType())) {
    if (ARecord.Pass())
      row.Icon = TIcon::SealPass;
    else if (ARecord.Fail())
      row.Icon = TIcon::SealFail;
    row.UserName = NameOrNA(ARecord.UserName());
  } else {
    SetAlert(row, ARecord.AlertType(), ARecord.UserName());
  }
  row.DateTime = TimeText(ARecord.DateTime());
  row.CrcOk = ARecord.CrcOk();
  return row;
}

TReports::TReports(TKX52xxDeviceData& ADevData, TReportsPage& APage, QObject* parent)
    : QObject(parent), FDevData(ADevData), FPage(APage) {
  connect(&FPage, &TReportsPage::Pulled, this, &TReports::FillReports);
  connect(&FPage, &TReportsPage::ApplyFilterClicked, this, &TReports::ApplyFilter);
  connect(&FPage, &TReportsPage::FilterPageShown, this, &TReports::FilterPageShown);
  connect(&FPage, &TReportsPage::SaveClicked, this, &TReports::Save);
}

void TReports::HistoryReadStarted() {
  FPage.ClearRows();
  FPage.SetBusy(true);
}

void TReports::ReportCountReceived(const QByteArray& AData) {
  if (AData.size() < 4) return;
  // The count is the device's unsigned number.
  quint32 wanted = static_cast<quint32>(FDevData.NrReportsAvailable());
  if (!FDevData.IsUSBConnected()) wanted = std::min<quint32>(wanted, MaxBleHistoryRecords);
  if (wanted == 0) {
    FPage.SetBusy(false);
    return;
  }
  constexpr quint32 most = std::numeric_limits<int>::max();
  FDevData.FillHistoryRecords(-1, static_cast<int>(std::min(wanted, most)));
}

void TReports::HistoryTransferred() {
  FPage.SetBusy(false);
  if (IsPageShown()) FillReports();
}

bool TReports::IsPageShown() const {
  const auto* pages = qobject_cast<const TPageControl*>(FPage.parentWidget());
  return pages != nullptr && pages->ActivePage() == &FPage;
}

void TReports::Enter() {
  FPage.ClearFilter();
  FillReports();
}

void TReports::ClearList() { FPage.ClearRows(); }

void TReports::FillReports() {
  const TReportFilter filter = FPage.Filter();
  TReportResults results;
  if (dmDb) dmDb->GetReports(filter, &results);
  TReportRows rows;
  for (const TReportResult& result : results) rows.push_back(StoreRow(result));
  const bool is5210 = FDevData.Is5210();
  for (const auto& record : FDevData.HistoryRecords()) {
    if (IsListedHistoryKind(record->AlertType(), is5210) && MatchesFilter(*record, filter))
      rows.push_back(HistoryRow(*record));
  }
  FPage.SetRows(rows);
}

void TReports::FilterPageShown() {
  QStringList users;
  if (dmDb) dmDb->GetUsers(&users);
  FPage.SetFilterUsers(users);
  FPage.SetUSDateOrder(Configuration->GetUseUSDateFormat());
}

void TReports::ApplyFilter() {
  FillReports();
  TGlobals::SwitchTab(FPage.ReportsPanel()->MainPage());
}

void TReports::Save() {
  if (FSaveDialog) return;  // the open dialog is window-modal; a second one is not wanted
  auto* dialog = new TSaveCsvDialog(FPage.window());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  FSaveDialog = dialog;
  connect(dialog, &QFileDialog::accepted, this,
          [this, dialog] { SaveTo(dialog->ChosenFileName()); });
  dialog->open();
}

void TReports::SaveTo(const QString& AFileName) {
  try {
    SaveReportFile(AFileName, BuildReportText(FPage.Rows(), FDevData.Is5210(), true));
  } catch (const ESealwiseError& error) {
    TGlobals::MsgWindow(error.Message());
  }
}
