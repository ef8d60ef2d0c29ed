// The report pieces on their own: the text of the rows, the file bytes and their writing, the
// extension rule of the save dialog, and the history filter.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "SealwiseError.h"
#include "Vek.Lang.h"
#include "dIcons.h"
#include "pages/uReports.h"
#include "uReportText.h"
#include "uSaveCsv.h"

namespace {

TReportRow Row(std::optional<int> AIcon, std::optional<QString> AUserName,
               const QString& AUserTag = QString(), std::optional<QString> ADateTime = QString()) {
  TReportRow row;
  row.Icon = AIcon;
  row.UserName = std::move(AUserName);
  row.UserTag = AUserTag;
  row.DateTime = std::move(ADateTime);
  return row;
}

}  // namespace

struct TReportLineCase {
  const char* Name;
  TReportRow Row;
  bool Is5210;
  QString Line;
};

class TReportLineTest : public ::testing::TestWithParam<TReportLineCase> {};

TEST_P(TReportLineTest, ARowGivesItsUserTimeAndResultCells) {
  const TReportLineCase& c = GetParam();
  EXPECT_EQ(BuildReportText({c.Row}, c.Is5210, false), QStringList{c.Line});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TReportLineTest,
    ::testing::Values(
        TReportLineCase{"Pass5210", Row(TIcon::SealPass, "ANNA", "", "t"), true, "ANNA\tt\tPASS"},
        TReportLineCase{"Fail5210", Row(TIcon::SealFail, "ANNA", "", "t"), true, "ANNA\tt\tFAIL"},
        TReportLineCase{"Pass5220", Row(TIcon::SealPass, "ANNA"), false, "ANNA\t\tSealwise PASS"},
        TReportLineCase{"Fail5220", Row(TIcon::SealFail, "ANNA"), false, "ANNA\t\tSealwise FAIL"},
        // A KX5220 names the wearer of an alert; a KX5210 report keeps the alert's name.
        TReportLineCase{"Impact5220", Row(TIcon::SealImpact, "Impact Alert", "BOB"), false,
                        "BOB\t\tImpact Alert"},
        TReportLineCase{"Impact5210", Row(TIcon::SealImpact, "Impact Alert", "BOB"), true,
                        "Impact Alert\t\tImpact Alert"},
        TReportLineCase{"Fall5220", Row(TIcon::SealFall, "Fall Protection Alert", "BOB"), false,
                        "BOB\t\tFall Protection Alert"},
        TReportLineCase{"Warning5220", Row(TIcon::SealWarning, "Over Breathing Alert", "BOB"),
                        false, "BOB\t\t<Unknown>"},
        TReportLineCase{"NoIcon", Row(std::nullopt, "LEDs Off Alert", "BOB"), false,
                        "LEDs Off Alert\t\t---"},
        TReportLineCase{"NoUserName", Row(TIcon::SealPass, std::nullopt), true, "N/A\t\tPASS"},
        TReportLineCase{"NoDateTime", Row(TIcon::SealPass, "ANNA", "", std::nullopt), true,
                        "ANNA\t\tPASS"}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST(TReportTextTest, TheHeaderCellsAreQuotedAndTheThirdFollowsTheModel) {
  EXPECT_EQ(BuildReportText({}, true, true),
            QStringList{"\"User Name\"\t\"Start Time\"\t\"Test Result\""});
  EXPECT_EQ(BuildReportText({}, false, true),
            QStringList{"\"User Name\"\t\"Start Time\"\t\"Alert\""});
  EXPECT_TRUE(BuildReportText({}, true, false).isEmpty());
}

// The header's quotes belong to its translatable texts; the product name before a verdict
// stays as it is.
TEST(TReportTextTest, CellsAreTranslatedWithTheirQuotes) {
  QTemporaryDir dir;
  QFile file(QDir(dir.path()).filePath(QStringLiteral("Test.lng")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "\"\"User Name\"\" :=\"\"Nutzer\"\"\r\n\"PASS\" :=\"OK\"\r\n"
      "\"Impact Alert\" :=\"Aufprall\"\r\n");
  file.close();
  Lng = std::make_unique<TLng>();
  TLang::AddLang(QStringLiteral("Test"), file.fileName());
  TLang::SetLang(QStringLiteral("Test"));
  const QStringList lines = BuildReportText(
      {Row(TIcon::SealPass, "ANNA"), Row(TIcon::SealImpact, "Impact Alert", "BOB")}, false, true);
  Lng.reset();
  EXPECT_EQ(lines, (QStringList{"\"Nutzer\"\t\"Start Time\"\t\"Alert\"", "ANNA\t\tSealwise OK",
                                "BOB\t\tAufprall"}));
}

TEST(TReportTextTest, EveryLineEndsInCrLfAndTextIsUtf8WithoutBom) {
  EXPECT_EQ(ReportFileBytes({QStringLiteral("a\tb"), QStringLiteral("JOS\u00C9")}),
            QByteArray("a\tb\r\nJOS\xC3\x89\r\n"));
  EXPECT_TRUE(ReportFileBytes({}).isEmpty());
}

class TReportFileTest : public ::testing::Test {
 protected:
  QString PathOf(const QString& AName) const { return QDir(FDir.path()).filePath(AName); }
  QByteArray Read(const QString& AName) const {
    QFile file(PathOf(AName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QTemporaryDir FDir;
};

TEST_F(TReportFileTest, SavingReplacesAnExistingFileWholeAndLeavesNoTemporaryFile) {
  QFile old(PathOf(QStringLiteral("r.csv")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("a much longer older report\r\n");
  old.close();
  SaveReportFile(PathOf(QStringLiteral("r.csv")), {QStringLiteral("x")});
  EXPECT_EQ(Read(QStringLiteral("r.csv")), QByteArray("x\r\n"));
  EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"r.csv"});
}

TEST_F(TReportFileTest, TheNameOfAFolderRaisesAndLeavesTheFolderAsItWas) {
  ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("r.csv")));
  QFile inside(PathOf(QStringLiteral("r.csv/kept")));
  ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
  inside.close();
  EXPECT_THROW(SaveReportFile(PathOf(QStringLiteral("r.csv")), {QStringLiteral("x")}),
               ESealwiseError);
  EXPECT_TRUE(QFileInfo(PathOf(QStringLiteral("r.csv"))).isDir());
  EXPECT_TRUE(QFile::exists(PathOf(QStringLiteral("r.csv/kept"))));
  EXPECT_EQ(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"r.csv"});
}

TEST_F(TReportFileTest, AMissingFolderRaisesWithTheFileInTheMessage) {
  const QString path = PathOf(QStringLiteral("missing/r.csv"));
  try {
    SaveReportFile(path, {QStringLiteral("x")});
    FAIL() << "no error";
  } catch (const ESealwiseError& error) {
    EXPECT_TRUE(error.Message().contains(path)) << qPrintable(error.Message());
  }
}

struct TExtensionCase {
  const char* Name;
  QString Chosen;
  bool CsvEntry;
  QString Saved;
};

class TCsvExtensionTest : public ::testing::TestWithParam<TExtensionCase> {};

TEST_P(TCsvExtensionTest, OnlyTheCsvEntryAddsTheExtension) {
  EXPECT_EQ(WithCsvExtension(GetParam().Chosen, GetParam().CsvEntry), GetParam().Saved);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TCsvExtensionTest,
    ::testing::Values(TExtensionCase{"Bare", "/d/report", true, "/d/report.csv"},
                      TExtensionCase{"Csv", "/d/report.csv", true, "/d/report.csv"},
                      TExtensionCase{"UpperCsv", "/d/report.CSV", true, "/d/report.CSV"},
                      TExtensionCase{"Txt", "/d/report.txt", true, "/d/report.txt.csv"},
                      TExtensionCase{"TxtAllFiles", "/d/report.txt", false, "/d/report.txt"},
                      TExtensionCase{"BareAllFiles", "/d/report", false, "/d/report"},
                      TExtensionCase{"DotInFolder", "/d.csv/report", true, "/d.csv/report.csv"}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// --- the history filter ---------------------------------------------------------------------

namespace {
THistoryRecord Record(const QString& AName, const TDateTime& AAt) {
  THistoryRecord record;
  record.SetUserName(AName);
  record.SetDateTime(AAt);
  return record;
}
const TDateTime Noon = TGlobals::MakeDateTime(2024, 3, 5, 12, 0, 0);
}  // namespace

struct TFilterCase {
  const char* Name;
  QString Record;
  TReportFilter Filter;
  bool Matches;
};

class THistoryFilterTest : public ::testing::TestWithParam<TFilterCase> {};

TEST_P(THistoryFilterTest, MatchesNamePartsAndClosedDateRanges) {
  EXPECT_EQ(MatchesFilter(Record(GetParam().Record, Noon), GetParam().Filter), GetParam().Matches);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, THistoryFilterTest,
    ::testing::Values(
        TFilterCase{"EmptyFilter", "", {}, true},
        TFilterCase{"AnnInAnna", "Anna", TReportFilter::Create("ann", false, false, {}, {}), true},
        TFilterCase{"AnnInJoanne", "JOANNE", TReportFilter::Create("ann", false, false, {}, {}),
                    true},
        TFilterCase{"AnnNotInBob", "Bob", TReportFilter::Create("ann", false, false, {}, {}),
                    false},
        TFilterCase{"NameFilterSkipsNoName", "", TReportFilter::Create("a", false, false, {}, {}),
                    false},
        TFilterCase{"FromEqual", "A", TReportFilter::Create("", true, false, Noon, {}), true},
        TFilterCase{"FromAfter", "A", TReportFilter::Create("", true, false, Noon.addSecs(1), {}),
                    false},
        TFilterCase{"ToEqual", "A", TReportFilter::Create("", false, true, {}, Noon), true},
        TFilterCase{"ToBefore", "A", TReportFilter::Create("", false, true, {}, Noon.addSecs(-1)),
                    false},
        TFilterCase{"UnusedDatesIgnored", "A",
                    TReportFilter::Create("", false, false, Noon.addSecs(1), Noon.addSecs(-1)),
                    true}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST(THistoryKindsTest, AKX5210ListsOnlySealChecksAndBreathingEvents) {
  for (TAlertType kind :
       {atSealwiseStart, atSealwisePassed, atSealwiseFailed, atOverBreathing, atDoubleBreathe}) {
    EXPECT_TRUE(IsListedHistoryKind(kind, true)) << int(kind);
    EXPECT_TRUE(IsListedHistoryKind(kind, false)) << int(kind);
  }
  for (TAlertType kind : {atUnknown, atStopBreathing, atImpact, atFallProtection, atLEDsOff}) {
    EXPECT_FALSE(IsListedHistoryKind(kind, true)) << int(kind);
    EXPECT_TRUE(IsListedHistoryKind(kind, false)) << int(kind);
  }
}
