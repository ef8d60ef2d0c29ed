#include <QLocale>
#include <array>

#include "DeviceFixture.h"

namespace {

QByteArray Header(int AKind) { return Bytes({AKind << 6, 0x12, 0x34, 0x56}); }

// A start piece: five 16-bit numbers, the record kind and the mask type.
QByteArray StartPiece(int AKind, int AMask = 1,
                      std::array<int, 5> ANumbers = {1234, 20, 950, 7, 412}) {
  QByteArray piece = Header(0);
  for (int n : ANumbers) piece += TGlobals::UInt16_ToData(static_cast<quint16>(n));
  piece += Bytes({AKind, AMask});
  return piece;
}

QByteArray NamePiece(const QByteArray& AName, int ACrcStatus = 0x00) {
  QByteArray piece = Header(1) + AName.left(9);
  while (piece.size() < 15) piece += '\0';
  return piece + Bytes({ACrcStatus});
}

QByteArray TimePiece(const TDateTime& AAt = TGlobals::MakeDateTime(2024, 6, 1, 12)) {
  return Header(2) + TGlobals::EncodeDateTime(AAt, false);
}

}  // namespace

class HistoryTest : public DeviceModelTest {
 protected:
  bool Piece(const QByteArray& AData) {
    const size_t before = Events.CmdAnswers.size();
    USB().Feed(kCmdHistory, AData);
    return Events.CmdAnswers.size() > before;
  }
  void Record(int AKind, const QByteArray& AName = "ANNA") {
    EXPECT_FALSE(Piece(StartPiece(AKind)));
    EXPECT_FALSE(Piece(NamePiece(AName)));
    EXPECT_TRUE(Piece(TimePiece()));
  }
  const THistoryRecord& Last() const { return *Model->HistoryRecords().back(); }
};

TEST_F(HistoryTest, ThreePiecesMakeOneSealCheckRecord) {
  Identify("KX5210_LAB");
  EXPECT_FALSE(Piece(StartPiece(18, 1, {-2, 20, 950, 7, 412})));
  EXPECT_FALSE(Piece(NamePiece("ANNA")));
  EXPECT_TRUE(Piece(TimePiece()));
  ASSERT_EQ(Model->HistoryRecords().size(), 1u);
  const THistoryRecord& r = Last();
  EXPECT_EQ(r.AlertType(), atSealwisePassed);
  EXPECT_TRUE(r.Pass());
  EXPECT_FALSE(r.Fail());
  EXPECT_EQ(r.LowestPoint(), -2);
  EXPECT_EQ(r.StartPoint(), 20);
  EXPECT_EQ(r.EndPoint(), 950);
  EXPECT_EQ(r.FailPoint(), 7);
  EXPECT_EQ(r.SamplesCount(), 412);
  EXPECT_EQ(r.MaskType(), mtFFM);
  EXPECT_EQ(r.UserName(), "ANNA");
  EXPECT_TRUE(r.CrcOk());
  EXPECT_EQ(r.DateTime(), TGlobals::MakeDateTime(2024, 6, 1, 12));
  EXPECT_EQ(Model->LastRetrievedReport(), 1);
  ASSERT_EQ(Events.CmdAnswers.size(), 1u);
  EXPECT_EQ(Events.CmdAnswers[0].Data, TimePiece());
  EXPECT_EQ(dmDb->TableUsers(), QStringList{"ANNA"});
}

TEST_F(HistoryTest, OtherRecordsCarryTheirValuesInHundredths) {
  Identify("KX5220_LAB");
  Piece(StartPiece(34, 2, {-150, 325, 0, 0, 0}));
  const THistoryRecord& r = Last();
  EXPECT_EQ(r.AlertType(), atImpact);
  EXPECT_DOUBLE_EQ(r.ValueMeasured(), -1.5);
  EXPECT_DOUBLE_EQ(r.ValueReference(), 3.25);
  EXPECT_EQ(r.LowestPoint(), 0);
  EXPECT_EQ(r.MaskType(), mtHM);
  Piece(StartPiece(7, 9));  // not a kind: stored as Unknown
  EXPECT_EQ(Last().AlertType(), atUnknown);
  EXPECT_EQ(Last().MaskType(), mtUndefined);
}

TEST_F(HistoryTest, KX5210SkipsOtherRecordsWithTheirNameAndTimePieces) {
  Identify("KX5210_LAB");
  Record(19, "FIRST");
  EXPECT_FALSE(Piece(StartPiece(34)));
  EXPECT_FALSE(Piece(NamePiece("SKIPPED")));
  EXPECT_FALSE(Piece(TimePiece(TGlobals::MakeDateTime(2030, 1, 1))));
  ASSERT_EQ(Model->HistoryRecords().size(), 1u);
  EXPECT_EQ(Last().UserName(), "FIRST");
  EXPECT_EQ(Last().DateTime(), TGlobals::MakeDateTime(2024, 6, 1, 12));
  EXPECT_EQ(Model->LastRetrievedReport(), 1);
  EXPECT_EQ(dmDb->GetUserID("SKIPPED"), 0);
  // The breathing events are kept.
  Record(20);
  Record(21);
  EXPECT_EQ(Model->HistoryRecords().size(), 3u);
}

TEST_F(HistoryTest, KX5220KeepsEveryRecord) {
  Identify("KX5220_LAB");
  Record(34);
  Record(80);
  EXPECT_EQ(Model->HistoryRecords().size(), 2u);
}

TEST_F(HistoryTest, ShortStartPieceMakesNothingButEndsTheSkip) {
  Identify("KX5210_LAB");
  Record(18, "FIRST");
  Piece(StartPiece(34));  // skipped
  EXPECT_FALSE(Piece(StartPiece(18).left(15)));
  ASSERT_EQ(Model->HistoryRecords().size(), 1u);
  // The skip has ended, so these pieces complete the last record in the list again.
  EXPECT_FALSE(Piece(NamePiece("SECOND")));
  EXPECT_TRUE(Piece(TimePiece(TGlobals::MakeDateTime(2025, 2, 3))));
  EXPECT_EQ(Last().UserName(), "SECOND");
  EXPECT_EQ(Last().DateTime(), TGlobals::MakeDateTime(2025, 2, 3));
}

TEST_F(HistoryTest, PiecesCompleteTheLastRecordWhicheverItIs) {
  Identify("KX5220_LAB");
  Piece(StartPiece(17));
  Piece(StartPiece(19));
  Piece(NamePiece("BOB"));
  EXPECT_TRUE(Piece(TimePiece()));
  ASSERT_EQ(Model->HistoryRecords().size(), 2u);
  EXPECT_TRUE(Model->HistoryRecords()[0]->UserName().isEmpty());
  EXPECT_FALSE(Model->HistoryRecords()[0]->DateTime().isValid());
  EXPECT_EQ(Last().UserName(), "BOB");
  EXPECT_EQ(Model->LastRetrievedReport(), 2);
}

TEST_F(HistoryTest, NotAvailableNameInAnyCaseIsNoName) {
  Identify("KX5220_LAB");
  for (const QByteArray& name : {QByteArray("N/A"), QByteArray("n/a"), QByteArray(" N/a ")}) {
    Record(18, name);
    EXPECT_TRUE(Last().UserName().isEmpty()) << name.constData();
  }
  EXPECT_TRUE(dmDb->TableUsers().isEmpty());
}

TEST_F(HistoryTest, NameEndsAtNulOrFFAndTakesAtMostNineBytes) {
  Identify("KX5220_LAB");
  Piece(StartPiece(18));
  Piece(Header(1) + QByteArray("ABCDEFGHIJKLMNOP"));
  EXPECT_EQ(Last().UserName(), "ABCDEFGHI");
  Piece(Header(1) + Bytes({'J', 'O', 0xFF, 'X'}));
  EXPECT_EQ(Last().UserName(), "JO");
}

TEST_F(HistoryTest, ChecksumStatusOfTheNamePiece) {
  Identify("KX5220_LAB");
  Piece(StartPiece(18));
  Piece(NamePiece("ANNA", 0x55));
  EXPECT_FALSE(Last().CrcOk());
  Piece(NamePiece("ANNA", 0x54));
  EXPECT_TRUE(Last().CrcOk());
  Piece(NamePiece("ANNA", 0x55));
  Piece(NamePiece("ANNA").left(10));  // no status byte: good
  EXPECT_TRUE(Last().CrcOk());
}

TEST_F(HistoryTest, ShortAndStrayPiecesAreIgnored) {
  Identify("KX5220_LAB");
  EXPECT_FALSE(Piece(NamePiece("NOBODY")));  // no record yet
  EXPECT_FALSE(Piece(TimePiece()));
  Piece(StartPiece(18));
  EXPECT_FALSE(Piece(Header(1)));            // 4 bytes: too short for a name
  EXPECT_FALSE(Piece(TimePiece().left(7)));  // too short for a time
  EXPECT_FALSE(Piece(Header(3) + TimePiece()));
  EXPECT_FALSE(Piece(Bytes({0x80, 0, 0})));
  EXPECT_TRUE(Last().UserName().isEmpty());
  EXPECT_FALSE(Last().DateTime().isValid());
  EXPECT_TRUE(Events.CmdAnswers.empty());
  EXPECT_TRUE(Piece(TimePiece()));
}

TEST_F(HistoryTest, CompletedRecordGoesToTheCloudAsText) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5220_LAB");
  Record(18);
  const auto sent = cloud.PayloadsOf("Write", kCmdHistory);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], Last().GetAsBytes());
  EXPECT_TRUE(sent[0].startsWith("{\"Time\": \"2024-06-01 12:00:00\""));
}

TEST_F(HistoryTest, ReportCountersRestartWithEachConnection) {
  Identify("KX5220_LAB");
  Record(18);
  Model->Connect(CONN_FTDI, "ttyUSB0");
  EXPECT_EQ(Model->LastRetrievedReport(), 0);
  EXPECT_EQ(Model->HistoryRecords().size(), 1u);
  Model->ClearHistoryRecords();
  EXPECT_TRUE(Model->HistoryRecords().empty());
}

// --- the record's text -------------------------------------------------------------------

class HistoryTextTest : public ::testing::Test {
 protected:
  void TearDown() override { QLocale::setDefault(QLocale::c()); }

  static THistoryRecord PassedCheck() {
    THistoryRecord r;
    r.SetAlertType(atSealwisePassed);
    r.SetPass(true);
    r.SetDateTime(TGlobals::MakeDateTime(2024, 6, 1, 12, 5, 9));
    r.SetLowestPoint(1234);
    r.SetEndPoint(950);
    r.SetUserName("ANNA");
    r.SetSamplesCount(412);
    r.SetMaskType(mtFFM);
    r.SetCrcOk(true);
    return r;
  }
};

TEST_F(HistoryTextTest, PassedCheckGivesEightMemberLines) {
  EXPECT_EQ(PassedCheck().GetAsString(),
            "{\"Time\": \"2024-06-01 12:05:09\",\r\n"
            "\"Event\": \"Sealwise Passed\",\r\n"
            "\"LowestPoint\": 12.34,\r\n"
            "\"CheckEndPoint\": 9.5,\r\n"
            "\"Name\": \"ANNA\",\r\n"
            "\"Samples\": 412,\r\n"
            "\"MaskType\": \"FullFaceMask\",\r\n"
            "\"CRCCorrect\": \"True\"");
}

TEST_F(HistoryTextTest, NumbersKeepADecimalPointInEveryLocale) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const QString text = PassedCheck().GetAsString();
  EXPECT_TRUE(text.contains("\"LowestPoint\": 12.34,")) << text.toStdString();
  EXPECT_TRUE(text.contains("\"CheckEndPoint\": 9.5,"));
}

TEST_F(HistoryTextTest, NameIsEscapedAsJsonText) {
  THistoryRecord r = PassedCheck();
  r.SetUserName(QStringLiteral("A\"B\\C\tD\x01"));
  EXPECT_TRUE(r.GetAsString().contains("\"Name\": \"A\\\"B\\\\C\\tD\\u0001\",\r\n"));
}

TEST_F(HistoryTextTest, ResultTextsAndTheOptionalMaskMember) {
  THistoryRecord r = PassedCheck();
  r.SetPass(false);
  r.SetFail(true);
  r.SetMaskType(mtUndefined);
  r.SetCrcOk(false);
  r.SetLowestPoint(-32768);
  const QString failed = r.GetAsString();
  EXPECT_TRUE(failed.contains("\"Event\": \"Sealwise Failed\""));
  EXPECT_TRUE(failed.contains("\"LowestPoint\": -327.68,"));
  EXPECT_FALSE(failed.contains("MaskType"));
  EXPECT_TRUE(failed.endsWith(",\r\n\"CRCCorrect\": \"False\""));
  r.SetFail(false);
  r.SetMaskType(mtHM);
  EXPECT_TRUE(r.GetAsString().contains("\"Event\": \"Sealwise Unknown\""));
  EXPECT_TRUE(r.GetAsString().contains("\"MaskType\": \"HalfMask\",\r\n"));
}

TEST_F(HistoryTextTest, ImpactAndFallCarryTheirPointsAndValues) {
  THistoryRecord r;
  r.SetAlertType(atFallProtection);
  r.SetDateTime(TGlobals::MakeDateTime(2024, 6, 1));
  r.SetStartPoint(3);
  r.SetFailPoint(-4);
  r.SetValueReference(0.1 + 0.2);
  r.SetValueMeasured(-12.5);
  r.SetMaskType(mtHM);
  EXPECT_EQ(r.GetAsString(),
            "{\"Time\": \"2024-06-01 00:00:00\",\r\n"
            "\"Event\": \"Fall Protection\",\r\n"
            "\"StartPoint\": 3,\r\n"
            "\"FailPoint\": -4,\r\n"
            "\"Name\": \"\",\r\n"
            "\"ValueReference\": 0.3,\r\n"
            "\"ValueMeasured\": -12.5,\r\n"
            "\"MaskType\": \"HalfMask\",\r\n"
            "\"CRCCorrect\": \"False\"");
  r.SetAlertType(atImpact);
  EXPECT_TRUE(r.GetAsString().contains("\"Event\": \"Impact\""));
}

TEST_F(HistoryTextTest, OtherKindsGiveNoText) {
  for (TAlertType kind : {atOverBreathing, atDoubleBreathe, atStopBreathing, atUnknown, atLEDRed}) {
    THistoryRecord r;
    r.SetAlertType(kind);
    EXPECT_TRUE(r.GetAsString().isEmpty()) << int(kind);
    EXPECT_TRUE(r.GetAsBytes().isEmpty());
  }
}

TEST_F(HistoryTextTest, BytesAreTheTextInTheSharedEncoding) {
  THistoryRecord r = PassedCheck();
  r.SetUserName(QString::fromUtf8("JÖRG€"));
  const QByteArray bytes = r.GetAsBytes();
  EXPECT_TRUE(bytes.contains(Bytes({'J', 0xD6, 'R', 'G', 0x80})));
  EXPECT_EQ(TGlobals::Encoding().GetString(bytes), r.GetAsString());
}
