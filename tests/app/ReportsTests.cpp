// The reports page in the window over fake links: reading the device history after a
// connection, the rows of both sources, the filter page, pull to refresh and the CSV export
// through the save dialog.
#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "ReportsFixture.h"
#include "TGlobals.Shell.h"
#include "Vek.DateEdit.h"
#include "Vek.Panel.h"
#include "uSaveCsv.h"

namespace {

TDateTime At(int ADay, int AHour, int AMinute, int ASecond = 0) {
  return TGlobals::MakeDateTime(2024, 3, ADay, AHour, AMinute, ASecond);
}

QByteArray FixtureBytes(const char* AName) {
  QFile file(QStringLiteral(SEALWISE_TEST_DATA_DIR "/") + QLatin1String(AName));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList UserTexts(const TReportRows& ARows) {
  QStringList texts;
  for (const TReportRow& row : ARows) texts << row.UserName.value_or(QString());
  return texts;
}

}  // namespace

// --- reading the history --------------------------------------------------------------------

struct THistoryRequestCase {
  const char* Name;
  QString Connector;
  quint32 Stored;
  std::optional<quint32> Asked;  // none: nothing is asked
};

class TReportsHistoryRequestTest : public TReportsTest,
                                   public ::testing::WithParamInterface<THistoryRequestCase> {};

TEST_P(TReportsHistoryRequestTest, TheDeviceIsAskedForItsLatestRecords) {
  const THistoryRequestCase& c = GetParam();
  StartAndSettle();
  TFakeLink& link = Link(c.Connector);
  ConnectVia(link, QStringLiteral("KX5210_TEST"), QStringLiteral("dev0"));
  EXPECT_TRUE(Page()->Busy()->isVisibleTo(Page()));
  EXPECT_TRUE(Page()->Busy()->IsRunning());
  link.WritePayloads.clear();
  link.Writes.clear();
  link.Answer(32, BigEndian32(c.Stored));
  std::vector<QByteArray> requests;
  for (size_t i = 0; i < link.Writes.size(); ++i)
    if (link.Writes[i] == 33) requests.push_back(link.WritePayloads[i]);
  if (c.Asked) {
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], QByteArray::fromHex("FFFFFFFF") + BigEndian32(*c.Asked));
    EXPECT_TRUE(Page()->Busy()->IsRunning());
  } else {
    EXPECT_TRUE(requests.empty());
    EXPECT_FALSE(Page()->Busy()->isVisibleTo(Page()));
    EXPECT_FALSE(Page()->Busy()->isEnabled());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Links, TReportsHistoryRequestTest,
    ::testing::Values(THistoryRequestCase{"BleFortyAsksSixteen", CONN_BLE, 40, 16},
                      THistoryRequestCase{"BleTenAsksTen", CONN_BLE, 10, 10},
                      THistoryRequestCase{"UsbFortyAsksForty", CONN_FTDI, 40, 40},
                      THistoryRequestCase{"NoneStoredAsksNothing", CONN_FTDI, 0, std::nullopt}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(TReportsTest, AShortCountAnswerAsksNothingAndKeepsWaiting) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_TEST"));
  Usb().Writes.clear();
  Usb().Answer(32, QByteArray::fromHex("000028"));
  EXPECT_EQ(std::count(Usb().Writes.begin(), Usb().Writes.end(), 33), 0);
  EXPECT_TRUE(Page()->Busy()->IsRunning());
}

TEST_F(TReportsTest, ARecordEndsTheBusyIndicatorAndRefillsOnlyAShownPage) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_TEST"));
  FeedHistory({{18, "ANNA", At(4, 9, 0)}});
  EXPECT_FALSE(Page()->Busy()->isVisibleTo(Page()));
  EXPECT_EQ(Page()->List()->count(), 0);  // the dashboard is shown

  ShowReports();
  ASSERT_EQ(Page()->List()->count(), 1);
  FeedHistory({{19, "BOB", At(4, 9, 5)}});
  EXPECT_EQ(Page()->List()->count(), 2);
}

TEST_F(TReportsTest, ReturningToTheConnectionPageEmptiesTheList) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_TEST"));
  FeedHistory({{18, "ANNA", At(4, 9, 0)}});
  ShowReports();
  ASSERT_EQ(Page()->List()->count(), 1);
  Usb().Unplug();
  ASSERT_TRUE(WaitUntil([this] { return Shown() == Window->tabConnecting(); }));
  EXPECT_EQ(Page()->List()->count(), 0);
  EXPECT_TRUE(Window->DevData().HistoryRecords().empty());
}

// --- rows -----------------------------------------------------------------------------------

TEST_F(TReportsTest, StoreRowsComeFirstNewestFirstThenTheHistoryInArrivalOrder) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_TEST"));
  dmDb->AddUser(QStringLiteral("Anna"));
  dmDb->AddSealwiseBegin(1, At(5, 14, 0));
  dmDb->AddSealwiseEnd(At(5, 14, 0, 20), true);
  dmDb->AddAlert(atOverBreathing, 0, 0, At(5, 14, 1));
  FeedHistory({{19, "BOB", At(4, 9, 20), false}, {18, "JOANNE", At(4, 9, 15)}});
  ShowReports();

  const TReportRows rows = Page()->Rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].Tag, rtStore);
  EXPECT_EQ(rows[0].Icon, TIcon::SealWarning);
  EXPECT_EQ(rows[0].UserName, QStringLiteral("Over Breathing Alert"));
  EXPECT_EQ(rows[1].Tag, rtStore);
  EXPECT_EQ(rows[1].Icon, TIcon::SealPass);
  EXPECT_EQ(rows[1].UserName, QStringLiteral("Anna"));
  EXPECT_EQ(rows[1].DateTime, QStringLiteral("05-03-2024 14:00:20"));
  EXPECT_EQ(rows[2].Tag, rtHistory);
  EXPECT_EQ(rows[2].Icon, TIcon::SealFail);
  EXPECT_EQ(rows[2].UserName, QStringLiteral("BOB"));
  EXPECT_FALSE(rows[2].CrcOk);
  EXPECT_EQ(rows[3].UserName, QStringLiteral("JOANNE"));
  EXPECT_TRUE(rows[3].CrcOk);
}

TEST_F(TReportsTest, ADamagedRecordIsDrawnInRedAndAGoodOneIsNot) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_TEST"));
  FeedHistory({{18, "GOOD", At(4, 9, 0)}, {19, "DAMAGED", At(4, 9, 5), false}});
  ShowReports();
  ProcessEventsFor(50);
  QListWidget* list = Page()->List();
  const QImage picture = list->viewport()->grab().toImage();
  auto hasRed = [&picture, list](int ARow) {
    const QRect rect = list->visualItemRect(list->item(ARow));
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = TReportsPage::TextLeft; x <= rect.right(); ++x)
        if (picture.pixel(x, y) == TReportsPage::DamagedColor) return true;
    return false;
  };
  EXPECT_EQ(list->visualItemRect(list->item(0)).height(), TReportsPage::RowHeight);
  EXPECT_FALSE(hasRed(0));
  EXPECT_TRUE(hasRed(1));
}

struct TModelKindsCase {
  const char* Name;
  QString DeviceName;
  QStringList Expected;
};

class TReportsModelKindsTest : public TReportsTest,
                               public ::testing::WithParamInterface<TModelKindsCase> {};

// The device model drops the hazard records of a KX5210 itself; the list keeps to the same
// kinds even for records that reach it.
TEST_P(TReportsModelKindsTest, TheHistoryShowsTheKindsOfTheModel) {
  StartAndSettle();
  ConnectUsb(GetParam().DeviceName);
  FeedHistory({{18, "ANNA", At(4, 9, 0)},
               {20, "ANNA", At(4, 9, 1)},
               {21, "ANNA", At(4, 9, 2)},
               {34, "ANNA", At(4, 9, 3)},
               {35, "ANNA", At(4, 9, 4)},
               {37, "ANNA", At(4, 9, 5)}});
  ShowReports();
  EXPECT_EQ(UserTexts(Page()->Rows()), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Models, TReportsModelKindsTest,
    ::testing::Values(TModelKindsCase{"KX5210",
                                      QStringLiteral("KX5210_TEST"),
                                      {"ANNA", "Over Breathing Alert", "Double Breathe Alert"}},
                      TModelKindsCase{
                          "KX5220",
                          QStringLiteral("KX5220_TEST"),
                          {"ANNA", "Over Breathing Alert", "Double Breathe Alert", "Impact Alert",
                           "Fall Protection Alert", "Temperature Too High Alert"}}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// --- filter ---------------------------------------------------------------------------------

class TReportsFilterTest : public TReportsTest {
 protected:
  void SetUp() override {
    TReportsTest::SetUp();
    StartAndSettle();
    ConnectUsb(QStringLiteral("KX5210_TEST"));
    dmDb->AddUser(QStringLiteral("Anna"));
    dmDb->AddUser(QStringLiteral("Bob"));
    dmDb->AddSealwiseBegin(1, At(5, 14, 0));
    dmDb->AddSealwiseEnd(At(5, 14, 0, 20), true);
    dmDb->AddSealwiseBegin(2, At(5, 14, 5));
    dmDb->AddSealwiseEnd(At(5, 14, 5, 20), false);
    FeedHistory(
        {{18, "Joanne", At(4, 9, 0)}, {19, "BOB", At(4, 9, 5)}, {18, "ANNA", At(4, 9, 10)}});
    ShowReports();
  }

  void OpenFilterPage() {
    Find<QAbstractButton>("btnReportsFilter")->click();
    ASSERT_EQ(Page()->ReportsPanel()->Pages()->ActivePage(), Page()->ReportsPanel()->SecondPage());
  }
  void Apply() { Page()->ApplyFilterButton()->click(); }
};

TEST_F(TReportsFilterTest, ThePageShowsTheUsersOfTheStoreInTheNameDropDown) {
  OpenFilterPage();
  QComboBox* names = Page()->UserNameEdit();
  QStringList items;
  for (int i = 0; i < names->count(); ++i) items << names->itemText(i);
  // The history added its wearers to the store's users.
  EXPECT_EQ(items, (QStringList{"Anna", "Bob", "Joanne"}));
  EXPECT_TRUE(names->currentText().isEmpty());
}

TEST_F(TReportsFilterTest, ANamePartMatchesEveryUserContainingItInAnyCase) {
  OpenFilterPage();
  QTest::keyClicks(Page()->UserNameEdit(), QStringLiteral("ann"));
  Apply();
  EXPECT_EQ(Page()->ReportsPanel()->Pages()->ActivePage(), Page()->ReportsPanel()->MainPage());
  EXPECT_EQ(UserTexts(Page()->Rows()), (QStringList{"Anna", "Joanne", "ANNA"}));
}

TEST_F(TReportsFilterTest, DateLimitsIncludeARecordAtTheirExactTime) {
  OpenFilterPage();
  Page()->DateFromEdit()->SetValue(At(4, 9, 5));
  Page()->DateToEdit()->SetValue(At(4, 9, 5));
  Apply();
  // Results of the store are filtered by their start (14:00 and 14:05 on the 5th).
  EXPECT_EQ(UserTexts(Page()->Rows()), QStringList{"BOB"});

  Page()->DateToEdit()->SetValue(At(4, 9, 4, 59));
  Apply();
  EXPECT_TRUE(Page()->Rows().empty());
}

TEST_F(TReportsFilterTest, ClearFilterEmptiesTheEditsAndLeavesTheListAsItIs) {
  OpenFilterPage();
  QTest::keyClicks(Page()->UserNameEdit(), QStringLiteral("bob"));
  Page()->DateFromEdit()->SetValue(At(4, 9, 0));
  Apply();
  ASSERT_EQ(Page()->Rows().size(), 2u);
  OpenFilterPage();
  Page()->ClearFilterButton()->click();
  EXPECT_TRUE(Page()->UserNameEdit()->currentText().isEmpty());
  EXPECT_TRUE(Page()->DateFromEdit()->Text().isEmpty());
  EXPECT_TRUE(Page()->DateToEdit()->Text().isEmpty());
  EXPECT_EQ(Page()->Rows().size(), 2u);
}

TEST_F(TReportsFilterTest, EnteringThePageClearsTheFilter) {
  OpenFilterPage();
  QTest::keyClicks(Page()->UserNameEdit(), QStringLiteral("bob"));
  Apply();
  ASSERT_EQ(Page()->Rows().size(), 2u);
  TGlobals::SwitchTab(Window->WorkingPage()->tabDashboard());
  ShowReports();
  EXPECT_TRUE(Page()->UserNameEdit()->currentText().isEmpty());
  EXPECT_EQ(Page()->Rows().size(), 5u);
}

TEST_F(TReportsFilterTest, OpeningTheCalendarSetsTheEditToNow) {
  OpenFilterPage();
  TDateEdit* edit = Page()->DateToEdit();
  ASSERT_TRUE(edit->IsEmpty());
  const TDateTime before = TGlobals::Now().addSecs(-1);
  // The calendar opens from the arrow at the edit's right end.
  QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
  ASSERT_TRUE(WaitUntil([edit] { return edit->calendarWidget()->isVisible(); }));
  EXPECT_FALSE(edit->IsEmpty());
  EXPECT_GE(edit->Value(), before);
  EXPECT_LE(edit->Value(), TGlobals::Now().addSecs(1));
  EXPECT_EQ(edit->calendarWidget()->selectedDate(), edit->Value().date());
  edit->calendarWidget()->window()->close();
}

// --- pull to refresh ------------------------------------------------------------------------

TEST_F(TReportsTest, PullingTheListDownRefillsIt) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_TEST"));
  ShowReports();
  ASSERT_EQ(Page()->List()->count(), 0);
  dmDb->AddAlert(atDoubleBreathe, 0, 0, At(5, 10, 0));
  QWidget* viewport = Page()->List()->viewport();

  QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(100, 5));
  QTest::mouseMove(viewport, QPoint(100, 5 + TReportsPage::PullDistance / 2));
  QTest::mouseRelease(viewport, Qt::LeftButton, {},
                      QPoint(100, 5 + TReportsPage::PullDistance / 2));
  EXPECT_EQ(Page()->List()->count(), 0);  // not far enough

  QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(100, 5));
  QTest::mouseMove(viewport, QPoint(100, 5 + TReportsPage::PullDistance));
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(100, 5 + TReportsPage::PullDistance));
  EXPECT_EQ(Page()->List()->count(), 1);

  dmDb->AddAlert(atOverBreathing, 0, 0, At(5, 10, 1));
  QWheelEvent wheel(QPointF(100, 20), viewport->mapToGlobal(QPointF(100, 20)), QPoint(),
                    QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(viewport, &wheel);
  EXPECT_EQ(Page()->List()->count(), 2);
}

// --- saving ---------------------------------------------------------------------------------

struct TSaveNameCase {
  const char* Name;
  QString Typed;
  int Filter;  // entry of the dialog's filter list
  QString Written;
};

class TReportsSaveNameTest : public TReportsTest,
                             public ::testing::WithParamInterface<TSaveNameCase> {};

TEST_P(TReportsSaveNameTest, TheCsvEntryAddsItsExtensionOnlyWhenMissing) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_TEST"));
  ShowReports();
  SaveAs(GetParam().Typed, GetParam().Filter);
  const QStringList written =
      QDir(FData.path()).entryList({QStringLiteral("report*")}, QDir::Files);
  EXPECT_EQ(written, QStringList{GetParam().Written});
}

INSTANTIATE_TEST_SUITE_P(
    Names, TReportsSaveNameTest,
    ::testing::Values(TSaveNameCase{"NoExtension", "report", 0, "report.csv"},
                      TSaveNameCase{"OtherExtensionAllFiles", "report.txt", 1, "report.txt"},
                      TSaveNameCase{"OtherExtensionCsvEntry", "report.txt", 0, "report.txt.csv"},
                      TSaveNameCase{"UpperCaseCsv", "report.CSV", 0, "report.CSV"}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(TReportsTest, TheSaveDialogOpensInTheExportFolderWithItsTwoEntries) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_TEST"));
  ShowReports();
  TSaveCsvDialog* dialog = OpenSaveDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Export CSV File..."));
  EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(FData.path()).canonicalPath());
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(dialog->CsvFilterSelected());
  EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
  dialog->reject();
  ProcessEventsFor(10);
  EXPECT_TRUE(QDir(FData.path()).entryList({QStringLiteral("*.csv")}, QDir::Files).isEmpty());
}

TEST_F(TReportsTest, AnEmptyListSavesTheHeaderOnlyAndReplacesAnOlderFile) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5220_TEST"));
  ShowReports();
  const QString path = QDir(FData.path()).filePath(QStringLiteral("report.csv"));
  QFile old(path);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("an older and longer report\r\n");
  old.close();
  SaveAs(QStringLiteral("report"), 0);
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), QByteArray("\"User Name\"\t\"Start Time\"\t\"Alert\"\r\n"));
}

struct TExportCase {
  const char* Name;
  QString DeviceName;
  TAlertType StoreAlert;  // recorded between Anna's passed check and a failed one without user
  std::vector<THistoryEntry> History;
  const char* Fixture;
};

class TReportsExportTest : public TReportsTest,
                           public ::testing::WithParamInterface<TExportCase> {};

TEST_P(TReportsExportTest, TheFileMatchesItsHandWrittenFixture) {
  const TExportCase& c = GetParam();
  StartAndSettle();
  ConnectUsb(c.DeviceName);
  dmDb->AddUser(QStringLiteral("Anna"));
  dmDb->AddSealwiseBegin(1, At(5, 14, 0));
  dmDb->AddSealwiseEnd(At(5, 14, 0, 20), true);
  dmDb->AddAlert(c.StoreAlert, 3.5, 2.0, At(5, 14, 1));
  dmDb->AddSealwiseBegin(0, At(5, 14, 2));
  dmDb->AddSealwiseEnd(At(5, 14, 2, 15), false);
  FeedHistory(c.History);
  ShowReports();
  SaveAs(QStringLiteral("export"), 0);
  EXPECT_EQ(SavedBytes(QStringLiteral("export.csv")), FixtureBytes(c.Fixture));
}

// The KX5210's impact record is dropped by the device model; JOS\xC9 is JOSÉ in the device's
// code page and must come out as UTF-8.
INSTANTIATE_TEST_SUITE_P(Models, TReportsExportTest,
                         ::testing::Values(TExportCase{"KX5210",
                                                       QStringLiteral("KX5210_TEST"),
                                                       atOverBreathing,
                                                       {{18, "JOANNE", At(4, 9, 15, 30)},
                                                        {19, "BOB", At(4, 9, 20), false},
                                                        {34, "BOB", At(4, 9, 22)},
                                                        {21, "JOANNE", At(4, 9, 25)},
                                                        {17, "JOS\xC9", At(4, 9, 30)}},
                                                       "report-kx5210.csv"},
                                           TExportCase{"KX5220",
                                                       QStringLiteral("KX5220_TEST"),
                                                       atImpact,
                                                       {{18, "JOANNE", At(4, 9, 15, 30)},
                                                        {35, "JOANNE", At(4, 9, 16)},
                                                        {34, "BOB", At(4, 9, 17), false},
                                                        {20, "BOB", At(4, 9, 18)},
                                                        {80, "", At(4, 9, 19)},
                                                        {19, "N/A", At(4, 9, 20)}},
                                                       "report-kx5220.csv"}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });
