#include "dDb.h"

#include <QDir>
#include <QLocale>
#include <algorithm>
#include <limits>

#include "dDb.UsersSaver.h"

std::unique_ptr<TdmDb> dmDb;

namespace {

const QString kUsersFileName = QStringLiteral("users.db");

QString UsersFileOf(const QString& AUsersPath) {
  if (AUsersPath.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive)) return AUsersPath;
  return QDir(AUsersPath).filePath(kUsersFileName);
}

// Whole seconds, truncated toward zero and held within 32 bits (an alert's zero start lies
// more than 2^31 seconds back).
qint32 WholeSecondsBetween(const TDateTime& AStart, const TDateTime& AStop) {
  const qint64 seconds = AStart.msecsTo(AStop) / 1000;
  return static_cast<qint32>(std::clamp<qint64>(seconds, std::numeric_limits<qint32>::min(),
                                                std::numeric_limits<qint32>::max()));
}

}  // namespace

TDateTime ZeroDateTime() {
  static const TDateTime zero = TGlobals::MakeDateTime(1899, 12, 30);
  return zero;
}

TReportFilter TReportFilter::Create(const QString& AUserName, bool AUseDateFrom,
                                    bool AUseDateTo, const TDateTime& ADateFrom,
                                    const TDateTime& ADateTo) {
  return TReportFilter{AUserName, AUseDateFrom, ADateFrom, AUseDateTo, ADateTo};
}

TdmDb::TdmDb(const QString& AUsersPath)
    : FUsersFilePath(UsersFileOf(AUsersPath)),
      FSaver(std::make_unique<TUsersSaver>(FUsersFilePath)) {}

TdmDb::~TdmDb() = default;

void TdmDb::AddUser(const QString& UserName) {
  const QString name = UsersFile::StorableName(UserName);
  // An empty name could never be found again, so each call would add another blank line.
  if (name.isEmpty() || GetUserID(name) != 0) return;
  FTableUsers.append(name);
  FSaver->Save(UsersFile::Encode(TUsersFileContent{FTableUsers, FUsersEncoding}));
}

qint32 TdmDb::GetUserID(const QString& AUserName) const {
  if (AUserName.isEmpty()) return 0;
  for (qsizetype i = 0; i < FTableUsers.size(); ++i)
    if (FTableUsers.at(i).compare(AUserName, Qt::CaseInsensitive) == 0)
      return static_cast<qint32>(i + 1);
  return 0;
}

QString TdmDb::GetUser(qint32 AUserID) const {
  if (AUserID < 1 || AUserID > FTableUsers.size()) return {};
  return FTableUsers.at(AUserID - 1);
}

void TdmDb::GetUsers(QStringList* AUsers) const {
  if (AUsers) *AUsers = FTableUsers;
}

void TdmDb::AddSealwiseBegin(qint32 AUserID, const TDateTime& ADateTime) {
  FLastSealwise_ID = -1;
  const qint32 userID = std::max<qint32>(AUserID, 0);
  TResultsRecord record;
  record.SetStartDate(ADateTime);
  record.SetUserID(userID);
  record.SetUserName(GetUser(userID));
  FTableResults.push_back(record);
  FLastSealwise_ID = static_cast<qint64>(FTableResults.size()) - 1;
}

void TdmDb::AddSealwiseEnd(const TDateTime& ADateTime, bool APass) {
  if (FLastSealwise_ID < 0 || FLastSealwise_ID >= static_cast<qint64>(FTableResults.size()))
    AddSealwiseBegin(0, ADateTime);
  TResultsRecord& record = FTableResults[static_cast<size_t>(FLastSealwise_ID)];
  record.SetStopDate(ADateTime);
  record.SetPass(APass);
  record.SetAlert(APass ? atSealwisePassed : atSealwiseFailed);
}

void TdmDb::AddAlert(TAlertType AAlert, double AValueMeasured, double AValueReference,
                     const TDateTime& ADateTime) {
  TResultsRecord record;
  record.SetAlert(AAlert);
  record.SetValueMeasured(AValueMeasured);
  record.SetValueReference(AValueReference);
  record.SetStopDate(ADateTime);
  FTableResults.push_back(record);
}

void TdmDb::AddPressure(const TDateTime& ADateTime, qint32 AValue) {
  FTablePressures.emplace_back(ADateTime, AValue);
}

void TdmDb::Clear() {
  FTablePressures.clear();
  FTableResults.clear();
  FLastSealwise_ID = -1;
  FTableUsers.clear();
  FUsersEncoding = ueUtf8;
  FSaver->Flush();  // read back what the last AddUser saved, not an older file
  const TUsersFileContent content = UsersFile::Load(FUsersFilePath);
  FTableUsers = content.Users;
  FUsersEncoding = content.Encoding;
}

void TdmDb::FlushUsers() { FSaver->Flush(); }

void TdmDb::GetReports(const TReportFilter& AReportFilter, TReportResults* Results) const {
  if (!Results) return;
  Results->clear();
  for (auto it = FTableResults.rbegin(); it != FTableResults.rend(); ++it)
    if (FilterRecord(*it, AReportFilter)) Results->push_back(ToReportResult(*it));
}

bool TdmDb::FilterRecord(const TResultsRecord& hist, const TReportFilter& Filter) {
  if (!Filter.UserName.isEmpty()) {
    const QLocale locale;
    if (!locale.toLower(hist.GetUserName()).contains(locale.toLower(Filter.UserName)))
      return false;
  }
  if (Filter.UseDateFrom && hist.GetStartDate() < Filter.DateFrom) return false;
  if (Filter.UseDateTo && Filter.DateTo < hist.GetStartDate()) return false;
  return true;
}

TReportResult TdmDb::ToReportResult(const TResultsRecord& ARecord) {
  TReportResult row;
  row.Alert = ARecord.GetAlert();
  row.UserName = ARecord.GetUserName();
  row.DateTime = ARecord.GetStopDate();
  row.SealwiseTime = WholeSecondsBetween(ARecord.GetStartDate(), ARecord.GetStopDate());
  row.ResultPass = ARecord.GetPass();
  row.CRCOk = true;
  return row;
}
