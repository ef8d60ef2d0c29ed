#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "SettingsTestFiles.h"
#include "TIniDocument.h"
#include "uConfiguration.h"

namespace {

struct TIntegerCase {
  const char* Text;
  std::optional<qint32> Value;
};

class IniIntegerTest : public ::testing::TestWithParam<TIntegerCase> {};

TEST_P(IniIntegerTest, ParsesDecimalAndPrefixedHexadecimalOnly) {
  EXPECT_EQ(TIniDocument::ParseInteger(QString::fromUtf8(GetParam().Text)), GetParam().Value)
      << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniIntegerTest,
    ::testing::Values(TIntegerCase{"0", 0}, TIntegerCase{"465", 465}, TIntegerCase{"-1", -1},
                      TIntegerCase{"+7", 7}, TIntegerCase{"2147483647", 2147483647},
                      TIntegerCase{"-2147483648", std::numeric_limits<qint32>::min()},
                      TIntegerCase{"2147483648", std::nullopt},
                      TIntegerCase{"99999999999", std::nullopt}, TIntegerCase{"$FF", 255},
                      TIntegerCase{"$ff102030", qint32(0xFF102030)}, TIntegerCase{"0x1", 1},
                      TIntegerCase{"0XFFFFFFFF", -1}, TIntegerCase{"$100000000", std::nullopt},
                      TIntegerCase{"$", std::nullopt}, TIntegerCase{"0x", std::nullopt},
                      TIntegerCase{"$0x1", std::nullopt}, TIntegerCase{"FF", std::nullopt},
                      TIntegerCase{"yes", std::nullopt}, TIntegerCase{"", std::nullopt},
                      TIntegerCase{"1 2", std::nullopt}, TIntegerCase{"-", std::nullopt},
                      TIntegerCase{"-$1", std::nullopt}, TIntegerCase{"١٢", std::nullopt},
                      TIntegerCase{"12abc", std::nullopt}));

TEST(IniDocumentTest, NamesAreCaseInsensitiveAndKeepTheirFirstSpelling) {
  TIniDocument doc;
  doc.LoadFromBytes("[Colors]\nPanel = $FF \n[COLORS]\npanel=1\nName= Night \n");
  EXPECT_EQ(doc.ReadInteger("colors", "PANEL", 0), 255);
  EXPECT_EQ(doc.ReadString("Colors", "name", {}), "Night");
  doc.WriteString("cOLORS", "NAME", "Day");
  EXPECT_EQ(doc.SaveToBytes(), "[Colors]\nPanel=$FF\nName=Day\n");
}

TEST(IniDocumentTest, LinesOutsideSectionsCommentsAndStrayTextAreSkipped) {
  TIniDocument doc;
  doc.LoadFromBytes(
      "Orphan=1\r\n; [Hidden]\r\n[A]\r\nno equals\r\n=novalue\r\n;k=v\r\nk=a=b\r\n[]\r\nx=1");
  EXPECT_FALSE(doc.ValueExists("", "Orphan"));
  EXPECT_FALSE(doc.ValueExists("A", ";k"));
  EXPECT_EQ(doc.ReadString("A", "k", {}), "a=b");
  EXPECT_EQ(doc.ReadString("", "x", {}), "1");
}

TEST(IniDocumentTest, DeletingTheLastKeyDropsTheSectionFromTheFile) {
  TIniDocument doc;
  doc.WriteInteger("SMTP", "SMTPPort", 465);
  doc.WriteBool("Cloud", "UseCloud", true);
  doc.DeleteKey("smtp", "smtpport");
  doc.DeleteKey("Missing", "Key");
  EXPECT_EQ(doc.SaveToBytes(), "[Cloud]\nUseCloud=1\n");
  doc.WriteInteger("SMTP", "SMTPPort", -3);
  EXPECT_EQ(doc.ReadInteger("SMTP", "SMTPPort", 0), -3);
}

// A file keeps the byte-order mark (and so the encoding) it was read with.
struct TBomCase {
  const char* Name;
  QByteArray Mark;
  QStringConverter::Encoding Encoding;
};

class IniBomTest : public ::testing::TestWithParam<TBomCase> {};

TEST_P(IniBomTest, SettingsRoundTripInTheirEncoding) {
  const TBomCase& param = GetParam();
  QTemporaryDir dir;
  const QString path = dir.filePath("Settings.cfg");
  QStringEncoder encoder(param.Encoding);
  ASSERT_TRUE(WriteBytes(
      path, param.Mark + QByteArray(encoder.encode(u"[AppSettings]\r\nUserName=Zoë Ωmega\r\n"))));
  {
    TConfiguration config(path);
    EXPECT_EQ(config.GetDefaultUserName(), u"Zoë Ωmega");
    config.SetCloudAddress(u"https://zürich.example"_qs);
  }
  const QByteArray written = ReadBytes(path);
  EXPECT_TRUE(written.startsWith(param.Mark)) << param.Name;
  QStringDecoder decoder(param.Encoding);
  const QString text = decoder.decode(written.mid(param.Mark.size()));
  EXPECT_EQ(
      text,
      u"[AppSettings]\nUserName=Zoë Ωmega\n\n[Cloud]\nOwnCloudAddress=https://zürich.example\n"_qs);
  TConfiguration reread(path);
  EXPECT_EQ(reread.GetCloudAddress(), u"https://zürich.example");
}

INSTANTIATE_TEST_SUITE_P(
    Marks, IniBomTest,
    ::testing::Values(TBomCase{"none", QByteArray(), QStringConverter::Utf8},
                      TBomCase{"utf8", QByteArray("\xEF\xBB\xBF"), QStringConverter::Utf8},
                      TBomCase{"utf16le", QByteArray("\xFF\xFE"), QStringConverter::Utf16LE},
                      TBomCase{"utf16be", QByteArray("\xFE\xFF"), QStringConverter::Utf16BE}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(IniDocumentTest, NewFileIsUtf8WithoutMark) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Settings.cfg");
  TConfiguration(path).SetDefaultUserName(u"Zoë"_qs);
  EXPECT_EQ(ReadBytes(path), "[AppSettings]\nUserName=Zo\xC3\xAB\n");
}

}  // namespace
