#include <QStringConverter>
#include <gtest/gtest.h>

#include "StoreFixture.h"
#include "TGlobals.Codecs.h"

namespace {

struct TUsersFileCase {
  const char* Name;
  QByteArray Content;
  QStringList Users;         // what Clear loads
  QByteArray AfterAddition;  // the file once the user "Added" joins
};

void PrintTo(const TUsersFileCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

QByteArray Bytes(const char* AData, qsizetype ASize) { return QByteArray(AData, ASize); }

QByteArray Utf16LE(const QString& AText) {
  QStringEncoder encoder(QStringConverter::Utf16LE);
  return "\xFF\xFE" + QByteArray(encoder.encode(AText));
}

QString CodePage(const QByteArray& ABytes) { return TGlobals::Encoding().GetString(ABytes); }

const QByteArray kGarbage = Bytes("\x00\x9D\xC3\x28\xFF\xFE\x80 bin", 11);
const QByteArray kMegabyte(1024 * 1024, 'M');

std::vector<TUsersFileCase> UsersFileCases() {
  return {
      {"EmptyFile", "", {}, "Added\r\n"},
      {"BinaryGarbage", kGarbage + "\r\nAlice\r\nBob\r\n", {CodePage(kGarbage), "Alice", "Bob"},
       kGarbage + "\r\nAlice\r\nBob\r\nAdded\r\n"},
      {"MegabyteLine", kMegabyte + "\r\nAlice\r\n", {QString::fromLatin1(kMegabyte), "Alice"},
       kMegabyte + "\r\nAlice\r\nAdded\r\n"},
      {"NoFinalNewline", "Alice\r\nBob", {"Alice", "Bob"}, "Alice\r\nBob\r\nAdded\r\n"},
      {"LoneUtf8Bom", "\xEF\xBB\xBF", {}, "\xEF\xBB\xBF" "Added\r\n"},
      {"Utf8BomKept", "\xEF\xBB\xBF" "Alice\r\n", {"Alice"}, "\xEF\xBB\xBF" "Alice\r\nAdded\r\n"},
      {"EmptyLinesKeepTheirIDs", "Alice\r\n\r\n\r\nBob\r\n", {"Alice", "", "", "Bob"},
       "Alice\r\n\r\n\r\nBob\r\nAdded\r\n"},
      {"BareLineFeedsAndReturns", "Alice\nBob\rCarol\n", {"Alice", "Bob", "Carol"},
       "Alice\r\nBob\r\nCarol\r\nAdded\r\n"},
      {"Utf8WithoutBom", "J\xC3\xBCrgen\r\n", {QString::fromUtf8("J\u00fcrgen")},
       "J\xC3\xBCrgen\r\nAdded\r\n"},
      {"Utf8CutOffAtTheEnd", "Alice\r\nJ\xC3", {"Alice", CodePage("J\xC3")},
       "Alice\r\nJ\xC3\r\nAdded\r\n"},
      {"Utf16LittleEndian", Utf16LE("Al\r\n"), {"Al"}, Utf16LE("Al\r\nAdded\r\n")},
  };
}

}  // namespace

class UsersFileTest : public StoreTest, public ::testing::WithParamInterface<TUsersFileCase> {};

// Whatever the file holds, it loads without a crash, and a save after an addition keeps every
// line it had (byte for byte where its encoding allows).
TEST_P(UsersFileTest, LoadsEveryLineAndKeepsThemOnTheNextSave) {
  const TUsersFileCase& c = GetParam();
  WriteUsersFile(c.Content);
  ASSERT_NO_THROW(FDb->Clear());
  EXPECT_EQ(FDb->TableUsers(), c.Users);

  FDb->AddUser(QStringLiteral("Added"));
  EXPECT_EQ(FDb->GetUserID(QStringLiteral("added")), c.Users.size() + 1);
  FDb->FlushUsers();
  EXPECT_EQ(ReadUsersFile(), c.AfterAddition);
}

INSTANTIATE_TEST_SUITE_P(Malformed, UsersFileTest, ::testing::ValuesIn(UsersFileCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

using UsersFileEncodingTest = StoreTest;

TEST_F(UsersFileEncodingTest, NameOutsideTheCodePageSwitchesTheFileToUtf8) {
  WriteUsersFile("Z\xE9na\r\n");  // Windows-1252, not valid UTF-8
  FDb->Clear();
  const QString cyrillic = QString::fromUtf8("\u0418\u0432\u0430\u043d");
  FDb->AddUser(cyrillic);
  FDb->FlushUsers();
  EXPECT_EQ(ReloadedUsers(), QStringList({QString::fromUtf8("Z\u00e9na"), cyrillic}));
}

TEST_F(UsersFileEncodingTest, BlankLineIsNeverFoundAsAUser) {
  WriteUsersFile("\r\nBob\r\n");
  FDb->Clear();
  EXPECT_EQ(FDb->GetUserID(QString()), 0);
  EXPECT_EQ(FDb->GetUserID(QStringLiteral("bob")), 2);
  EXPECT_EQ(FDb->GetUser(1), QString());
}
