#include <gtest/gtest.h>

#include <QLocale>
#include <QSet>
#include <ctime>
#include <functional>
#include <map>
#include <string>

#include "TGlobals.Codecs.h"
#include "TestBytes.h"

namespace {

using namespace TGlobals;

// ---- integer decoders -------------------------------------------------------------------

struct DecodeCase {
  const char* decoder;
  QByteArray data;
  int start;
  qint64 expected;
};

qint64 Decode(const char* decoder, const QByteArray& data, int start) {
  const std::map<std::string, std::function<qint64(const QByteArray&, int)>> decoders = {
      {"UInt8", [](const QByteArray& d, int s) { return qint64(DataTo_UInt8(d, s)); }},
      {"UInt16", [](const QByteArray& d, int s) { return qint64(DataTo_UInt16(d, s)); }},
      {"UInt32", [](const QByteArray& d, int s) { return qint64(DataTo_UInt32(d, s)); }},
      {"Int8", [](const QByteArray& d, int s) { return qint64(DataTo_Int8(d, s)); }},
      {"Int16", [](const QByteArray& d, int s) { return qint64(DataTo_Int16(d, s)); }},
      {"Int32", [](const QByteArray& d, int s) { return qint64(DataTo_Int32(d, s)); }},
  };
  return decoders.at(decoder)(data, start);
}

class IntegerDecoders : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(IntegerDecoders, ReadBigEndianOrZeroWhenTooShort) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(Decode(c.decoder, c.data, c.start), c.expected)
      << c.decoder << " of " << c.data.toHex(' ').constData() << " at " << c.start;
}

INSTANTIATE_TEST_SUITE_P(
    Values, IntegerDecoders,
    ::testing::Values(DecodeCase{"UInt8", Bytes({0xFF}), 0, 255},
                      DecodeCase{"UInt8", Bytes({0x01, 0x02}), 1, 2},
                      DecodeCase{"UInt16", Bytes({0x12, 0x34}), 0, 0x1234},
                      DecodeCase{"UInt16", Bytes({0x00, 0x12, 0x34}), 1, 0x1234},
                      DecodeCase{"UInt32", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), 0, 4294967295LL},
                      DecodeCase{"UInt32", Bytes({0x01, 0x02, 0x03, 0x04}), 0, 0x01020304},
                      DecodeCase{"Int8", Bytes({0x80}), 0, -128},
                      DecodeCase{"Int8", Bytes({0x7F}), 0, 127},
                      DecodeCase{"Int16", Bytes({0xFF, 0xFE}), 0, -2},
                      DecodeCase{"Int16", Bytes({0x80, 0x00}), 0, -32768},
                      DecodeCase{"Int32", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), 0, -1},
                      DecodeCase{"Int32", Bytes({0x80, 0x00, 0x00, 0x00}), 0, -2147483648LL}));

INSTANTIATE_TEST_SUITE_P(
    TooShort, IntegerDecoders,
    ::testing::Values(DecodeCase{"UInt8", QByteArray(), 0, 0},
                      DecodeCase{"UInt8", Bytes({0x05}), 1, 0},
                      DecodeCase{"UInt16", Bytes({0x12, 0x34}), 1, 0},
                      DecodeCase{"UInt16", Bytes({0x12}), 0, 0},
                      DecodeCase{"UInt32", Bytes({0x01, 0x02, 0x03}), 0, 0},
                      DecodeCase{"UInt32", QByteArray(), 0, 0},
                      DecodeCase{"Int8", QByteArray(), 0, 0},
                      DecodeCase{"Int16", Bytes({0xFF}), 0, 0},
                      DecodeCase{"Int32", Bytes({0xFF, 0xFF, 0xFF}), 0, 0},
                      DecodeCase{"UInt32", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), 2147483647, 0}));

INSTANTIATE_TEST_SUITE_P(
    NegativeStart, IntegerDecoders,
    ::testing::Values(DecodeCase{"UInt8", Bytes({0x01, 0x02}), -1, 0},
                      DecodeCase{"UInt16", Bytes({0x01, 0x02, 0x03}), -1, 0},
                      DecodeCase{"UInt32", Bytes({0x01, 0x02, 0x03, 0x04, 0x05}), -1, 0},
                      DecodeCase{"Int8", Bytes({0xFF}), -1, 0},
                      DecodeCase{"Int16", Bytes({0xFF, 0xFF}), -2147483647 - 1, 0},
                      DecodeCase{"Int32", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), -3, 0}));

// ---- integer encoders -------------------------------------------------------------------

TEST(IntegerEncoders, WriteBigEndian) {
  EXPECT_EQ(UInt8_ToData(255), Bytes({0xFF}));
  EXPECT_EQ(UInt8_ToData(0), Bytes({0x00}));
  EXPECT_EQ(UInt16_ToData(0x0102), Bytes({0x01, 0x02}));
  EXPECT_EQ(UInt16_ToData(0xFFFF), Bytes({0xFF, 0xFF}));
  EXPECT_EQ(UInt32_ToData(1), Bytes({0x00, 0x00, 0x00, 0x01}));
  EXPECT_EQ(UInt32_ToData(0xA1B2C3D4), Bytes({0xA1, 0xB2, 0xC3, 0xD4}));
}

// ---- texts ------------------------------------------------------------------------------

struct BoundedTextCase {
  QByteArray data;
  int index;
  int maxRead;
  QString expected;
};

class BoundedTextRead : public ::testing::TestWithParam<BoundedTextCase> {};

TEST_P(BoundedTextRead, StopsAtTerminatorOrBound) {
  const BoundedTextCase& c = GetParam();
  EXPECT_EQ(DataTo_String(c.data, c.index, c.maxRead), c.expected)
      << c.data.toHex(' ').constData() << " index " << c.index << " max " << c.maxRead;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoundedTextRead,
    ::testing::Values(BoundedTextCase{Bytes({0x41, 0x42, 0x00, 0x43}), 0, 10, "AB"},
                      BoundedTextCase{Bytes({0x41, 0x42, 0x00, 0x43}), 3, 10, "C"},
                      BoundedTextCase{Bytes({0x41, 0x42, 0x00, 0x43}), 4, 10, ""},
                      BoundedTextCase{Bytes({0x41, 0x42, 0x00, 0x43}), 0, 1, "A"},
                      BoundedTextCase{Bytes({0x41, 0x42, 0x00, 0x43}), 2, 10, ""},
                      BoundedTextCase{Bytes({0x20, 0x41, 0xFF, 0x42}), 0, 10, "A"},
                      BoundedTextCase{Bytes({0x41, 0x42, 0x43}), 1, 0, ""},
                      BoundedTextCase{Bytes({0x41, 0x42, 0x43}), 1, 2147483647, "BC"},
                      BoundedTextCase{Bytes({0x41, 0x42, 0x43}), -1, 10, ""},
                      BoundedTextCase{Bytes({0x41, 0x42, 0x43}), 0, -1, ""},
                      BoundedTextCase{Bytes({0x41, 0xFE, 0x42}), 0, 10, QStringLiteral("A\u00FE" "B")},
                      BoundedTextCase{QByteArray(), 0, 10, ""}));

TEST(WholeTextRead, TrimsControlsAtBothEndsOnly) {
  EXPECT_EQ(DataTo_String(Bytes({0x41, 0x00, 0x42})), QString(QStringLiteral("A") + QChar(0) + "B"));
  EXPECT_EQ(DataTo_String(Bytes({0x41, 0x42, 0x00, 0x00})), "AB");
  EXPECT_EQ(DataTo_String(Bytes({0x01, 0x1F, 0x20, 0x41, 0x09, 0x0A})), "A");
  EXPECT_EQ(DataTo_String(Bytes({0x00, 0x20, 0x00})), "");
  EXPECT_EQ(DataTo_String(QByteArray()), "");
}

TEST(TextEncoding, EveryByteDecodesToOneCharacterAndBack) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const QString text = Encoding().GetString(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(Encoding().GetBytes(text), all);
  EXPECT_EQ(String_ToData(text), all);
  QSet<QChar> distinct(text.begin(), text.end());
  EXPECT_EQ(distinct.size(), 256);
}

TEST(TextEncoding, IsWindows1252) {
  EXPECT_EQ(String_ToData(QStringLiteral("\u20AC\u201A\u0178\u00E9")), Bytes({0x80, 0x82, 0x9F, 0xE9}));
  EXPECT_EQ(Encoding().GetString(Bytes({0x80, 0x8D, 0x9D})), QStringLiteral("\u20AC\u008D\u009D"));
}

TEST(TextEncoding, UnmappableCharacterBecomesOneQuestionMark) {
  EXPECT_EQ(String_ToData(QStringLiteral("a\u0416b")), QByteArray("a?b"));
  EXPECT_EQ(String_ToData(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x?y"));
  EXPECT_EQ(String_ToData(QString()), QByteArray());
}

// ---- device time ------------------------------------------------------------------------

struct DeviceTimeCase {
  TDateTime wallClock;
  quint32 wire;
};

class DeviceTime : public ::testing::TestWithParam<DeviceTimeCase> {};

TEST_P(DeviceTime, EncodesAndDecodesBothWays) {
  const DeviceTimeCase& c = GetParam();
  EXPECT_EQ(EncodeDateTimeInt(c.wallClock), c.wire);
  EXPECT_EQ(EncodeDateTime(c.wallClock, false), UInt32_ToData(c.wire));
  const TDateTime decoded = DecodeDateTime(c.wire);
  EXPECT_EQ(decoded, c.wallClock);
  EXPECT_EQ(decoded.timeSpec(), Qt::UTC);
  EXPECT_EQ(DecodeDateTime(UInt32_ToData(c.wire), 0), c.wallClock);
}

INSTANTIATE_TEST_SUITE_P(
    Range, DeviceTime,
    ::testing::Values(DeviceTimeCase{MakeDateTime(2019, 1, 1), 0},
                      DeviceTimeCase{MakeDateTime(2018, 12, 31, 23, 59, 59), 0xFFFFFFFFu},
                      DeviceTimeCase{MakeDateTime(2024, 6, 1, 12, 0, 0), 0x0A305FC0u},
                      DeviceTimeCase{MakeDateTime(2106, 2, 7, 6, 28, 15), 2748666495u},
                      DeviceTimeCase{MakeDateTime(1970, 1, 1), 2748666496u}));

TEST(DeviceTimeBytes, FixTimeAddsOneSecondAndFractionIsDropped) {
  EXPECT_EQ(EncodeDateTime(MakeDateTime(2024, 6, 1, 12, 0, 0), false), Bytes({0x0A, 0x30, 0x5F, 0xC0}));
  EXPECT_EQ(EncodeDateTime(MakeDateTime(2024, 6, 1, 12, 0, 0), true), Bytes({0x0A, 0x30, 0x5F, 0xC1}));
  const TDateTime almostNext = MakeDateTime(2019, 1, 1, 0, 0, 0, 999);
  EXPECT_EQ(EncodeDateTime(almostNext, false), Bytes({0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(EncodeDateTime(almostNext, true), Bytes({0x00, 0x00, 0x00, 0x01}));
  // The wrap adds one second too: the last instant before the epoch becomes the epoch.
  EXPECT_EQ(EncodeDateTime(MakeDateTime(2018, 12, 31, 23, 59, 59), true), Bytes({0, 0, 0, 0}));
  // A fraction before 1970 is dropped too, not rounded towards 1970.
  EXPECT_EQ(EncodeDateTimeInt(MakeDateTime(1969, 12, 31, 23, 59, 59, 500)), 2748666495u);
}

TEST(DeviceTimeBytes, InvalidDateTimeGivesTheEpoch) {
  EXPECT_EQ(EncodeDateTimeInt(TDateTime()), 0u);
}

struct DateBytesCase {
  QByteArray bytes;
  int start;
  quint32 wire;
};

class DeviceTimeFromBytes : public ::testing::TestWithParam<DateBytesCase> {};

TEST_P(DeviceTimeFromBytes, UsesTheBytesThatAreThere) {
  const DateBytesCase& c = GetParam();
  EXPECT_EQ(DecodeDateTime(c.bytes, c.start), DecodeDateTime(c.wire));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceTimeFromBytes,
    ::testing::Values(DateBytesCase{Bytes({0x0A, 0x30, 0x5F, 0xC0}), 0, 0x0A305FC0u},
                      DateBytesCase{Bytes({0x01, 0x00}), 0, 256},
                      DateBytesCase{QByteArray(), 0, 0},
                      DateBytesCase{Bytes({0x0A, 0x30, 0x5F, 0xC0}), 2, 0x5FC0},
                      DateBytesCase{Bytes({0x0A, 0x30, 0x5F, 0xC0}), 4, 0},
                      DateBytesCase{Bytes({0x0A, 0x30, 0x5F, 0xC0, 0x77}), 1, 0x305FC077u},
                      DateBytesCase{Bytes({0x0A, 0x30, 0x5F, 0xC0}), -2, 0x0A30},
                      DateBytesCase{Bytes({0x0A, 0x30}), -2147483647 - 1, 0}));

TEST(DeviceTimeFromBytes, TwoBytesAreFourMinutesSixteen) {
  EXPECT_EQ(DecodeDateTime(Bytes({0x01, 0x00}), 0), MakeDateTime(2019, 1, 1, 0, 4, 16));
}

// The process runs in a zone with daylight saving; device times stay on the wall clock.
class BerlinZone : public ::testing::Test {
 protected:
  void SetUp() override {
    FHadZone = qEnvironmentVariableIsSet("TZ");
    FOldZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
  }
  void TearDown() override {
    if (FHadZone)
      qputenv("TZ", FOldZone);
    else
      qunsetenv("TZ");
    tzset();
  }

 private:
  bool FHadZone = false;
  QByteArray FOldZone;
};

class DeviceTimeInDstZone : public BerlinZone,
                            public ::testing::WithParamInterface<DeviceTimeCase> {};

TEST_P(DeviceTimeInDstZone, NoShiftOnTransitionDays) {
  const DeviceTimeCase& c = GetParam();
  EXPECT_EQ(EncodeDateTimeInt(c.wallClock), c.wire);
  const TDateTime decoded = DecodeDateTime(c.wire);
  EXPECT_EQ(decoded.date(), c.wallClock.date());
  EXPECT_EQ(decoded.time(), c.wallClock.time());
}

TEST_F(BerlinZone, NowIsTheLocalWallClock) {
  const QDateTime local = QDateTime::currentDateTime();
  const TDateTime now = Now();
  EXPECT_EQ(now.timeSpec(), Qt::UTC);
  EXPECT_LE(qAbs(QDateTime(local.date(), local.time(), Qt::UTC).secsTo(now)), 2);
}

// 02:30 on 2024-03-31 does not exist in Berlin; 02:30 on 2024-10-27 exists twice.
INSTANTIATE_TEST_SUITE_P(
    Berlin, DeviceTimeInDstZone,
    ::testing::Values(DeviceTimeCase{MakeDateTime(2024, 3, 31, 2, 30, 0), 165551400u},
                      DeviceTimeCase{MakeDateTime(2024, 10, 27, 2, 30, 0), 183695400u},
                      DeviceTimeCase{MakeDateTime(2024, 6, 1, 12, 0, 0), 170942400u}));

// ---- formatting -------------------------------------------------------------------------

class GermanLocale : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
  void TearDown() override { QLocale::setDefault(FOld); }

 private:
  QLocale FOld;
};

TEST_F(GermanLocale, ThresholdUsesLocaleSeparatorAndTwoDecimals) {
  EXPECT_EQ(FormatThreshold(35.0f), "35,00");
  EXPECT_EQ(FormatThreshold(35.1f), "35,10");
  EXPECT_EQ(FormatThreshold(1234.5f), "1234,50");
  EXPECT_EQ(FormatThreshold(0.0f), "0,00");
  EXPECT_EQ(FormatThreshold(-2.5f), "-2,50");
}

TEST_F(GermanLocale, ThresholdKeepsFiveSignificantDigits) {
  EXPECT_EQ(FormatThreshold(1234.567f), "1234,60");
  EXPECT_EQ(FormatThreshold(12.3456f), "12,35");
}

TEST(Formatting, ThresholdInEnglish) {
  const QLocale old;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(FormatThreshold(35.0f), "35.00");
  EXPECT_EQ(FormatThreshold(1234.5f), "1234.50");
  QLocale::setDefault(old);
}

TEST(Formatting, VersionIsMajorDotMinor) { EXPECT_EQ(Version(), "1.0"); }

}  // namespace
