#include <gtest/gtest.h>

#include "StoreFixture.h"

namespace {

TDateTime At(int AHour, int AMinute, int ASecond = 0, int AMsec = 0) {
  return TGlobals::MakeDateTime(2024, 5, 6, AHour, AMinute, ASecond, AMsec);
}

}  // namespace

using SealCheckTest = StoreTest;

TEST_F(SealCheckTest, EndWithoutBeginYieldsARecordOfZeroDurationWithoutUser) {
  FDb->AddUser(QStringLiteral("Crew1"));
  FDb->AddSealwiseEnd(At(9, 0), true);
  ASSERT_EQ(FDb->TableResults().size(), 1u);
  const TResultsRecord& r = FDb->TableResults().front();
  EXPECT_EQ(r.GetStartDate(), At(9, 0));
  EXPECT_EQ(r.GetStopDate(), At(9, 0));
  EXPECT_EQ(r.GetUserID(), 0);
  EXPECT_EQ(r.GetUserName(), QString());
  EXPECT_TRUE(r.GetPass());
  EXPECT_EQ(r.GetAlert(), atSealwisePassed);
  EXPECT_EQ(FDb->LastSealwiseID(), 0);
}

TEST_F(SealCheckTest, AlertDuringASealCheckLeavesTheCheckOpen) {
  FDb->AddUser(QStringLiteral("Crew1"));
  FDb->AddSealwiseBegin(1, At(9, 0));
  EXPECT_EQ(FDb->TableResults().front().GetAlert(), atUnknown);
  FDb->AddAlert(atImpact, 1.5, 2.5, At(9, 1));
  FDb->AddSealwiseEnd(At(9, 2), false);

  ASSERT_EQ(FDb->TableResults().size(), 2u);
  const TResultsRecord& check = FDb->TableResults().at(0);
  EXPECT_EQ(check.GetUserID(), 1);
  EXPECT_EQ(check.GetUserName(), QStringLiteral("Crew1"));
  EXPECT_EQ(check.GetStartDate(), At(9, 0));
  EXPECT_EQ(check.GetStopDate(), At(9, 2));
  EXPECT_FALSE(check.GetPass());
  EXPECT_EQ(check.GetAlert(), atSealwiseFailed);

  const TResultsRecord& alert = FDb->TableResults().at(1);
  EXPECT_EQ(alert.GetAlert(), atImpact);
  EXPECT_EQ(alert.GetValueMeasured(), 1.5);
  EXPECT_EQ(alert.GetValueReference(), 2.5);
  EXPECT_EQ(alert.GetStopDate(), At(9, 1));
  EXPECT_EQ(alert.GetStartDate(), ZeroDateTime());
  EXPECT_EQ(alert.GetUserID(), 0);
  EXPECT_EQ(alert.GetUserName(), QString());
  EXPECT_FALSE(alert.GetPass());
}

TEST_F(SealCheckTest, SecondEndRewritesTheSameRecord) {
  FDb->AddSealwiseBegin(0, At(9, 0));
  FDb->AddSealwiseEnd(At(9, 1), true);
  FDb->AddSealwiseEnd(At(9, 2), false);
  ASSERT_EQ(FDb->TableResults().size(), 1u);
  EXPECT_EQ(FDb->TableResults().front().GetStopDate(), At(9, 2));
  EXPECT_EQ(FDb->TableResults().front().GetAlert(), atSealwiseFailed);
}

TEST_F(SealCheckTest, NewBeginLeavesThePreviousCheckUnended) {
  FDb->AddSealwiseBegin(0, At(9, 0));
  FDb->AddSealwiseBegin(0, At(9, 1));
  FDb->AddSealwiseEnd(At(9, 2), true);
  ASSERT_EQ(FDb->TableResults().size(), 2u);
  EXPECT_EQ(FDb->TableResults().at(0).GetAlert(), atUnknown);
  EXPECT_EQ(FDb->TableResults().at(0).GetStopDate(), ZeroDateTime());
  EXPECT_EQ(FDb->TableResults().at(1).GetAlert(), atSealwisePassed);
  EXPECT_EQ(FDb->LastSealwiseID(), 1);
}

TEST_F(SealCheckTest, NegativeOrUnknownUserGivesNoName) {
  FDb->AddUser(QStringLiteral("Crew1"));
  FDb->AddSealwiseBegin(-3, At(9, 0));
  FDb->AddSealwiseBegin(7, At(9, 1));
  EXPECT_EQ(FDb->TableResults().at(0).GetUserID(), 0);
  EXPECT_EQ(FDb->TableResults().at(0).GetUserName(), QString());
  EXPECT_EQ(FDb->TableResults().at(1).GetUserID(), 7);
  EXPECT_EQ(FDb->TableResults().at(1).GetUserName(), QString());
}

TEST_F(SealCheckTest, ClearDropsTheOpenCheckSoTheNextEndStartsAfresh) {
  FDb->AddSealwiseBegin(0, At(9, 0));
  FDb->AddPressure(At(9, 0), 12);
  FDb->Clear();
  EXPECT_TRUE(FDb->TableResults().empty());
  EXPECT_TRUE(FDb->TablePressures().empty());
  EXPECT_EQ(FDb->LastSealwiseID(), -1);

  FDb->AddSealwiseEnd(At(10, 0), true);
  ASSERT_EQ(FDb->TableResults().size(), 1u);
  EXPECT_EQ(FDb->TableResults().front().GetStartDate(), At(10, 0));
}

TEST_F(SealCheckTest, PressureSamplesKeepArrivalOrder) {
  FDb->AddPressure(At(9, 0, 1), -40);
  FDb->AddPressure(At(9, 0, 0), 75);
  ASSERT_EQ(FDb->TablePressures().size(), 2u);
  EXPECT_EQ(FDb->TablePressures().at(0).GetPressure(), -40);
  EXPECT_EQ(FDb->TablePressures().at(0).GetDateTime(), At(9, 0, 1));
  EXPECT_EQ(FDb->TablePressures().at(1).GetPressure(), 75);
}

using ReportsTest = StoreTest;

TEST_F(ReportsTest, RowsComeNewestFirstWithTheirFields) {
  FDb->AddUser(QStringLiteral("Crew1"));
  FDb->AddSealwiseBegin(1, At(9, 0, 0, 100));
  FDb->AddSealwiseEnd(At(9, 0, 8, 0), true);  // 7.9 s: whole seconds are 7
  FDb->AddAlert(atFallProtection, 0, 0, At(9, 5));
  FDb->AddSealwiseEnd(At(9, 6), false);  // rewrites the check; no new row

  TReportResults rows(3);
  FDb->GetReports(TReportFilter(), &rows);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows.at(0).Alert, atFallProtection);
  EXPECT_EQ(rows.at(0).DateTime, At(9, 5));
  EXPECT_EQ(rows.at(0).UserName, QString());
  EXPECT_TRUE(rows.at(0).CRCOk);
  EXPECT_EQ(rows.at(1).Alert, atSealwiseFailed);
  EXPECT_EQ(rows.at(1).UserName, QStringLiteral("Crew1"));
  EXPECT_EQ(rows.at(1).DateTime, At(9, 6));
  EXPECT_EQ(rows.at(1).SealwiseTime, 359);
  EXPECT_FALSE(rows.at(1).ResultPass);
  EXPECT_TRUE(rows.at(1).CRCOk);

  FDb->GetReports(TReportFilter(), nullptr);
}

TEST_F(ReportsTest, SealwiseTimeTruncatesTowardZero) {
  FDb->AddSealwiseBegin(0, At(9, 0, 0, 100));
  FDb->AddSealwiseEnd(At(9, 0, 8, 0), true);
  FDb->AddSealwiseBegin(0, At(9, 0, 8, 0));
  FDb->AddSealwiseEnd(At(9, 0, 0, 100), true);  // device clock stepped back
  TReportResults rows;
  FDb->GetReports(TReportFilter(), &rows);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows.at(0).SealwiseTime, -7);
  EXPECT_EQ(rows.at(1).SealwiseTime, 7);
}

namespace {

struct TFilterCase {
  const char* Name;
  TReportFilter Filter;
  QStringList Rows;  // user name, or "alert" for the alert row, newest first
};

void PrintTo(const TFilterCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

TReportFilter ByName(const char* AName) {
  return TReportFilter::Create(QString::fromUtf8(AName), false, false, {}, {});
}
TReportFilter From(const TDateTime& AFrom) {
  return TReportFilter::Create({}, true, false, AFrom, {});
}
TReportFilter To(const TDateTime& ATo) { return TReportFilter::Create({}, false, true, {}, ATo); }

std::vector<TFilterCase> FilterCases() {
  return {
      {"NoFilter", TReportFilter(), {"Bob", "SCREW9", "alert", "Crew1"}},
      {"NamePartMatchesInAnyCase", ByName("REW"), {"SCREW9", "Crew1"}},
      {"NameFilterDropsAlerts", ByName("o"), {"Bob"}},
      {"FromEqualToAStartIncludesIt", From(At(10, 0)), {"Bob", "SCREW9", "Crew1"}},
      {"FromExcludesEarlierStartsAndAlerts", From(At(10, 0, 1)), {"Bob", "SCREW9"}},
      {"ToEqualToAStartIncludesIt", To(At(11, 0)), {"SCREW9", "alert", "Crew1"}},
      {"ToKeepsAlerts", To(At(9, 0)), {"alert"}},
      {"FromAndToTogether",
       TReportFilter::Create({}, true, true, At(10, 0), At(11, 0)), {"SCREW9", "Crew1"}},
      {"NameAndDates",
       TReportFilter::Create(QStringLiteral("rew"), true, true, At(10, 30), At(12, 0)),
       {"SCREW9"}},
  };
}

}  // namespace

class ReportFilterTest : public StoreTest, public ::testing::WithParamInterface<TFilterCase> {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    for (const char* name : {"Crew1", "SCREW9", "Bob"}) FDb->AddUser(QString::fromUtf8(name));
    AddCheck(1, At(10, 0));
    FDb->AddAlert(atStopBreathing, 3, 4, At(10, 30));
    AddCheck(2, At(11, 0));
    AddCheck(3, At(12, 0));
  }

  void AddCheck(qint32 AUserID, const TDateTime& AStart) {
    FDb->AddSealwiseBegin(AUserID, AStart);
    FDb->AddSealwiseEnd(AStart.addSecs(20), true);
  }

  QStringList ReportRows(const TReportFilter& AFilter) const {
    TReportResults rows;
    FDb->GetReports(AFilter, &rows);
    QStringList names;
    for (const TReportResult& row : rows)
      names.append(row.Alert == atStopBreathing ? QStringLiteral("alert") : row.UserName);
    return names;
  }
};

TEST_P(ReportFilterTest, SelectsTheMatchingRows) {
  EXPECT_EQ(ReportRows(GetParam().Filter), GetParam().Rows);
}

INSTANTIATE_TEST_SUITE_P(Filters, ReportFilterTest, ::testing::ValuesIn(FilterCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ReportFilterCreate, TakesBothFlagsBeforeBothDates) {
  const TReportFilter f = TReportFilter::Create(QStringLiteral("x"), true, false,
                                                TGlobals::MakeDateTime(2024, 1, 1),
                                                TGlobals::MakeDateTime(2024, 2, 1));
  EXPECT_EQ(f.UserName, QStringLiteral("x"));
  EXPECT_TRUE(f.UseDateFrom);
  EXPECT_FALSE(f.UseDateTo);
  EXPECT_EQ(f.DateFrom, TGlobals::MakeDateTime(2024, 1, 1));
  EXPECT_EQ(f.DateTo, TGlobals::MakeDateTime(2024, 2, 1));
}
