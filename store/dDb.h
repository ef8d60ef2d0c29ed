#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "KX52xx.Data.Types.h"
#include "TGlobals.Codecs.h"
#include "dDb.UsersFile.h"

class TUsersSaver;

// The date-time a record holds when none is set (day 0 of the classic date-time count,
// 1899-12-30 00:00): earlier than any real time, so a "from" date excludes alerts, which have
// no start, and a "to" date keeps them.
TDateTime ZeroDateTime();

// One pressure sample.
class TPressureRecord {
 public:
  TPressureRecord() = default;
  TPressureRecord(const TDateTime& ADateTime, qint32 APressure)
      : FPressure(APressure), FDateTime(ADateTime) {}

  qint32 GetPressure() const { return FPressure; }
  void SetPressure(qint32 Value) { FPressure = Value; }
  TDateTime GetDateTime() const { return FDateTime; }
  void SetDateTime(const TDateTime& Value) { FDateTime = Value; }

 private:
  qint32 FPressure = 0;
  TDateTime FDateTime = ZeroDateTime();
};

// One seal check or one alert. Alerts have no user and no start; a seal check that has begun
// and not ended has the kind atUnknown.
class TResultsRecord {
 public:
  qint32 GetUserID() const { return FUserID; }
  void SetUserID(qint32 Value) { FUserID = Value; }
  bool GetPass() const { return FPass; }
  void SetPass(bool Value) { FPass = Value; }
  TDateTime GetStopDate() const { return FStopDate; }
  void SetStopDate(const TDateTime& Value) { FStopDate = Value; }
  TDateTime GetStartDate() const { return FStartDate; }
  void SetStartDate(const TDateTime& Value) { FStartDate = Value; }
  QString GetUserName() const { return FUserName; }
  void SetUserName(const QString& Value) { FUserName = Value; }
  double GetValueReference() const { return FRefer; }
  void SetValueReference(double Value) { FRefer = Value; }
  double GetValueMeasured() const { return FMeas; }
  void SetValueMeasured(double Value) { FMeas = Value; }
  TAlertType GetAlert() const { return FAlert; }
  void SetAlert(TAlertType Value) { FAlert = Value; }

 private:
  qint32 FUserID = 0;
  bool FPass = false;
  TDateTime FStopDate = ZeroDateTime();
  TDateTime FStartDate = ZeroDateTime();
  QString FUserName;
  double FRefer = 0;
  double FMeas = 0;
  TAlertType FAlert = atUnknown;
};

// One row for the reports page.
struct TReportResult {
  TAlertType Alert = atUnknown;
  QString UserName;
  TDateTime DateTime = ZeroDateTime();  // the end of the seal check, or the time of the alert
  qint32 SealwiseTime = 0;              // whole seconds from start to end of a seal check
  bool ResultPass = false;
  bool CRCOk = true;
};
using TReportResults = std::vector<TReportResult>;

// Selects report rows: a user name part (empty: any) and an optional date range applied to
// the start of the seal check.
struct TReportFilter {
  QString UserName;
  bool UseDateFrom = false;
  TDateTime DateFrom = ZeroDateTime();
  bool UseDateTo = false;
  TDateTime DateTo = ZeroDateTime();

  static TReportFilter Create(const QString& AUserName, bool AUseDateFrom, bool AUseDateTo,
                              const TDateTime& ADateFrom, const TDateTime& ADateTo);
};

// The record store: the wearers (kept in "users.db"), and the seal-check results, alerts and
// pressure samples received since the last Clear (kept in memory only). Used on the GUI thread;
// the user file is written by a worker thread of its own.
class TdmDb {
 public:
  // AUsersPath: the data folder, or the full path of the user file (a path ending in ".db").
  // The users are not read here but by the first Clear.
  explicit TdmDb(const QString& AUsersPath);
  ~TdmDb();  // writes a user list still pending, then stops the save worker
  TdmDb(const TdmDb&) = delete;
  TdmDb& operator=(const TdmDb&) = delete;

  // Appends a name not yet present in any letter case and saves the list in the background.
  // An empty name is ignored; line breaks inside a name become spaces.
  void AddUser(const QString& UserName);
  // 1-based position of the name in any letter case; 0 for an empty or unknown name.
  qint32 GetUserID(const QString& AUserName) const;
  // The name of a 1-based ID; empty when no user has that ID.
  QString GetUser(qint32 AUserID) const;
  // Replaces the list's contents with all user names in order; nothing when AUsers is null.
  void GetUsers(QStringList* AUsers) const;

  // Opens a seal check for a user (0 or an unknown ID: no user).
  void AddSealwiseBegin(qint32 AUserID, const TDateTime& ADateTime);
  // Closes the open seal check; without one, first opens one at the same time with no user.
  // A second end rewrites the same record.
  void AddSealwiseEnd(const TDateTime& ADateTime, bool APass);
  void AddAlert(TAlertType AAlert, double AValueMeasured, double AValueReference,
                const TDateTime& ADateTime);
  void AddPressure(const TDateTime& ADateTime, qint32 AValue);

  // Drops results, alerts and samples, forgets the open seal check and reloads the users from
  // the file (none when it is missing). Raises ESealwiseError when the file cannot be read;
  // the tables are empty then.
  void Clear();
  // Waits until the user file holds the newest list (Clear does this before it reloads).
  void FlushUsers();

  // Fills Results, newest first, with the rows that pass the filter; nothing when null.
  void GetReports(const TReportFilter& AReportFilter, TReportResults* Results) const;
  static bool FilterRecord(const TResultsRecord& hist, const TReportFilter& Filter);

  const QStringList& TableUsers() const { return FTableUsers; }
  const std::vector<TPressureRecord>& TablePressures() const { return FTablePressures; }
  const std::vector<TResultsRecord>& TableResults() const { return FTableResults; }
  // Index in TableResults of the open seal check; -1 when none is open.
  qint64 LastSealwiseID() const { return FLastSealwise_ID; }
  QString UsersFilePath() const { return FUsersFilePath; }

 private:
  static TReportResult ToReportResult(const TResultsRecord& ARecord);

  const QString FUsersFilePath;
  QStringList FTableUsers;
  TUsersFileEncoding FUsersEncoding = ueUtf8;  // the file's encoding as last read
  std::vector<TPressureRecord> FTablePressures;
  std::vector<TResultsRecord> FTableResults;
  qint64 FLastSealwise_ID = -1;
  std::unique_ptr<TUsersSaver> FSaver;
};

// The one record store of the application; empty until the application creates it.
extern std::unique_ptr<TdmDb> dmDb;
