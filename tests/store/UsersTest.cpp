#include <QStringList>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "SealwiseError.h"
#include "StoreFixture.h"
#include "TestWait.h"

namespace {

QByteArray CrLfLines(const QStringList& ANames) {
  QByteArray out;
  for (const QString& name : ANames) out += name.toUtf8() + "\r\n";
  return out;
}

QStringList NumberedUsers(int ACount) {
  QStringList names;
  for (int i = 0; i < ACount; ++i) names.append(QStringLiteral("User%1").arg(i));
  return names;
}

}  // namespace

using UsersTest = StoreTest;

TEST_F(UsersTest, NamesAreUniqueWithoutRegardToCase) {
  FDb->AddUser(QStringLiteral("Crew1"));
  FDb->AddUser(QStringLiteral("CREW1"));
  FDb->AddUser(QStringLiteral("Bob"));
  EXPECT_EQ(FDb->TableUsers(), QStringList({"Crew1", "Bob"}));
  EXPECT_EQ(FDb->GetUserID(QStringLiteral("crew1")), 1);
  EXPECT_EQ(FDb->GetUserID(QStringLiteral("BOB")), 2);
  EXPECT_EQ(FDb->GetUserID(QStringLiteral("Crew")), 0);
  EXPECT_EQ(FDb->GetUserID(QString()), 0);
}

TEST_F(UsersTest, GetUserIsEmptyOutsideTheList) {
  FDb->AddUser(QStringLiteral("Crew1"));
  EXPECT_EQ(FDb->GetUser(1), QStringLiteral("Crew1"));
  EXPECT_EQ(FDb->GetUser(0), QString());
  EXPECT_EQ(FDb->GetUser(2), QString());
  EXPECT_EQ(FDb->GetUser(-1), QString());
}

TEST_F(UsersTest, GetUsersReplacesTheListAndIgnoresNull) {
  FDb->AddUser(QStringLiteral("A"));
  FDb->AddUser(QStringLiteral("B"));
  QStringList users = {QStringLiteral("stale")};
  FDb->GetUsers(&users);
  EXPECT_EQ(users, QStringList({"A", "B"}));
  FDb->GetUsers(nullptr);
}

TEST_F(UsersTest, EmptyNamesAndLineBreaksCannotDamageTheFile) {
  FDb->AddUser(QString());
  FDb->AddUser(QStringLiteral("Line\r\nBreak"));
  FDb->AddUser(QStringLiteral("Last"));
  EXPECT_EQ(FDb->TableUsers(), QStringList({"Line  Break", "Last"}));
  FDb->FlushUsers();
  EXPECT_EQ(ReloadedUsers(), FDb->TableUsers());
}

TEST_F(UsersTest, FileHoldsOneNamePerCrLfLineWithoutByteOrderMark) {
  FDb->AddUser(QStringLiteral("Crew1"));
  FDb->AddUser(QString::fromUtf8("J\u00fcrgen"));
  FDb->FlushUsers();
  EXPECT_EQ(ReadUsersFile(), QByteArray("Crew1\r\nJ\xC3\xBCrgen\r\n"));
}

TEST_F(UsersTest, UsersAreReadByClearNotAtCreation) {
  WriteUsersFile("X\r\nY\r\n");
  TdmDb db(FDir.path());
  EXPECT_TRUE(db.TableUsers().isEmpty());
  db.Clear();
  EXPECT_EQ(db.TableUsers(), QStringList({"X", "Y"}));
  EXPECT_EQ(db.GetUserID(QStringLiteral("y")), 2);
}

TEST_F(UsersTest, ClearReloadsTheUsersJustAdded) {
  WriteUsersFile("X\r\n");
  FDb->Clear();
  FDb->AddUser(QStringLiteral("Y"));
  FDb->Clear();
  EXPECT_EQ(FDb->TableUsers(), QStringList({"X", "Y"}));
}

TEST_F(UsersTest, ClearWithoutFileLeavesNoUsers) {
  FDb->AddUser(QStringLiteral("OnlyInMemory"));
  FDb->FlushUsers();
  ASSERT_TRUE(QFile::remove(UsersFile()));
  FDb->Clear();
  EXPECT_TRUE(FDb->TableUsers().isEmpty());
}

TEST_F(UsersTest, FullFilePathIsAcceptedAndMissingFoldersAreCreated) {
  const QString path = FDir.filePath(QStringLiteral("a/b/users.db"));
  TdmDb db(path);
  db.AddUser(QStringLiteral("Deep"));
  db.FlushUsers();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("Deep\r\n"));
}

TEST_F(UsersTest, UnreadableFileMakesClearFailWithEmptyTables) {
  ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("users.db")));
  FDb->AddSealwiseBegin(0, TGlobals::MakeDateTime(2024, 1, 1));
  FDb->AddPressure(TGlobals::MakeDateTime(2024, 1, 1), 5);
  FDb->AddUser(QStringLiteral("Pending"));  // its save fails: users.db is a folder
  EXPECT_THROW(FDb->Clear(), ESealwiseError);
  EXPECT_TRUE(FDb->TableUsers().isEmpty());
  EXPECT_TRUE(FDb->TableResults().empty());
  EXPECT_TRUE(FDb->TablePressures().empty());
  EXPECT_EQ(FDb->LastSealwiseID(), -1);
}

// Many users added quickly: however the saves overlap, the newest list is the one left.
TEST_F(UsersTest, ManyQuickAdditionsLeaveTheNewestListInTheFile) {
  const QStringList names = NumberedUsers(2000);
  dmDb = std::make_unique<TdmDb>(FDir.path());
  for (const QString& name : names) dmDb->AddUser(name);
  dmDb.reset();  // the pending save is written before the store goes away
  EXPECT_EQ(ReadUsersFile(), CrLfLines(names));
}

TEST_F(UsersTest, TheFileIsNeverSeenHalfWritten) {
  const QStringList names = NumberedUsers(300);
  for (int i = 0; i < names.size(); ++i) {
    FDb->AddUser(names.at(i));
    const QByteArray seen = ReadUsersFile();
    const int lines = static_cast<int>(seen.count("\r\n"));
    ASSERT_LE(lines, i + 1);
    ASSERT_EQ(seen, CrLfLines(names.mid(0, lines))) << "after adding " << i + 1;
  }
  EXPECT_TRUE(WaitUntil([&] { return ReadUsersFile() == CrLfLines(names); }));
}

namespace {

// Makes every file write beyond ABytes fail (EFBIG) while it lives: a disk that fills up in
// the middle of a save.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t ABytes) {
    getrlimit(RLIMIT_FSIZE, &FPrevious);
    FPreviousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = FPrevious;
    limit.rlim_cur = ABytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FPrevious);
    signal(SIGXFSZ, FPreviousHandler);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit FPrevious{};
  sighandler_t FPreviousHandler = SIG_DFL;
};

}  // namespace

TEST_F(UsersTest, FailedSaveLeavesThePreviousFileWholeAndTheNextSaveCatchesUp) {
  FDb->AddUser(QStringLiteral("Old1"));
  FDb->AddUser(QStringLiteral("Old2"));
  FDb->FlushUsers();
  const QByteArray previous = ReadUsersFile();
  const QString longName(64 * 1024, u'L');
  {
    const TFileSizeLimit diskFull(4096);
    FDb->AddUser(longName);
    FDb->FlushUsers();
  }
  EXPECT_EQ(ReadUsersFile(), previous);
  EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files), QStringList({"users.db"}));
  EXPECT_EQ(FDb->GetUserID(longName), 3);

  FDb->AddUser(QStringLiteral("New"));
  FDb->FlushUsers();
  EXPECT_EQ(ReloadedUsers(), QStringList({"Old1", "Old2", longName, "New"}));
}
