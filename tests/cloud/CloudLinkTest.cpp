#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>
#include <limits>

#include "CloudTestSupport.h"
#include "KX52xx.Data.Phys.Cloud.h"
#include "TGlobals.Cloud.h"
#include "TestWait.h"

namespace {

const QByteArray kGoodInfo =
    R"({"Type": "KX52xx Cloud Server", "Version": 1, "Subversion": 0, "DateTime": "2024-03-05T14:07:09"})";

// Device time 3600 s after the device epoch, as bytes 1..4 of an event payload.
const QByteArray kOneHourIn = QByteArray::fromHex("00000E10");

QByteArray EventPayload(quint8 kind, const QByteArray& tail = {}) {
  return QByteArray(1, char(kind)) + kOneHourIn + tail;
}

// Lowest 1234, start 950, check end 0, fail 65535, 412 samples.
const QByteArray kResultTail = QByteArray::fromHex("04D203B60000FFFF019C");

class CloudLinkTest : public CloudTest {
 protected:
  void SetUp() override {
    CloudTest::SetUp();
    Server = StartHttp();
    Server->SetHandler([this](const TLoopbackRequest& request) { return Answer(request); });
    Configuration->SetCloudAddress(Server->BaseUrl() + "/");
    Link = std::make_shared<TKX52xxDataPhysCloud>(nullptr, CONN_CLOUD);
    Link->SetDevice_Type("KX5210");
    Link->SetDevice_ID("SN0001");
    Link->SetPhone_ID("PHONE1");
    Link->SetOnConnected([this](IKX52xxDataPhys* sender) {
      EXPECT_EQ(sender, Link.get());
      ++Connected;
    });
    Link->SetOnDataReaded(
        [this](IKX52xxDataPhys*, const TDateTime&, TCmdID code, const QByteArray& data) {
          Readed.append({code, data});
          StateWhenReaded = Link->DeviceState();
        });
    Link->SetOnDataWritten([this](IKX52xxDataPhys*, TCmdID code) { Written.append(code); });
  }

  void TearDown() override {
    Link.reset();
    CloudTest::TearDown();
  }

  TLoopbackResponse Answer(const TLoopbackRequest& request) {
    if (request.Path == "/info") return TLoopbackResponse::Json(200, InfoAnswer);
    if (request.Path == "/login") return TLoopbackResponse::Json(200, LoginAnswer);
    return TLoopbackResponse::Json(200, "{}");
  }

  void ConnectAndLogIn() {
    Link->Connect(Server->BaseUrl());
    ASSERT_TRUE(WaitUntil([&] { return !Written.isEmpty(); }));
    ASSERT_EQ(Link->DeviceState(), dsConnected);
  }

  QList<TLoopbackRequest> RequestsTo(const QByteArray& path) const {
    QList<TLoopbackRequest> found;
    for (const TLoopbackRequest& request : Server->Requests())
      if (request.Path == path) found.append(request);
    return found;
  }

  // Writes a history record behind whatever the test wrote and returns the body of the first
  // records request, which holds every record written before it.
  QByteArray RecordsUpToMarker() {
    Link->Write(33, TGlobals::String_ToData(R"({"Marker": 1)"));
    EXPECT_TRUE(WaitUntil([&] { return !RequestsTo("/records").isEmpty(); }));
    const auto records = RequestsTo("/records");
    return records.isEmpty() ? QByteArray() : records.first().Body;
  }

  std::unique_ptr<TLoopbackHttpServer> Server;
  QByteArray InfoAnswer = kGoodInfo;
  QByteArray LoginAnswer = R"({"Token": "tok123"})";
  std::shared_ptr<TKX52xxDataPhysCloud> Link;
  int Connected = 0;
  QList<QPair<TCmdID, QByteArray>> Readed;
  TDeviceState StateWhenReaded = dsUnknown;
  QList<TCmdID> Written;
};

const QByteArray kMarker = R"({"Marker": 1})";

TEST_F(CloudLinkTest, ConnectChecksLogsInAnnouncesTheTimeAndCarriesTheToken) {
  Link->Connect(Server->BaseUrl());
  EXPECT_EQ(Connected, 1);
  ASSERT_EQ(Readed.size(), 1);
  EXPECT_EQ(Readed[0].first, 20);
  EXPECT_EQ(Readed[0].second.size(), 4);
  EXPECT_EQ(StateWhenReaded, dsConnected);
  ASSERT_TRUE(WaitUntil([&] { return !Written.isEmpty(); }));
  EXPECT_EQ(Written, QList<TCmdID>{0});
  EXPECT_EQ(Link->DeviceState(), dsConnected);
  EXPECT_EQ(Link->DeviceID(), Server->BaseUrl());

  const auto logins = RequestsTo("/login");
  ASSERT_EQ(logins.size(), 1);
  EXPECT_EQ(logins[0].Method, "POST");
  EXPECT_EQ(logins[0].Body, R"({"DeviceType":"KX5210","DeviceUID":"SN0001","PhoneUID":"PHONE1"})");
  EXPECT_FALSE(logins[0].HasHeader("Authorization"));
  EXPECT_EQ(RequestsTo("/info")[0].Method, "GET");

  Configuration->SetUseCloudMonitoring(true);
  Link->Write(16, QStringLiteral("1234"));
  ASSERT_TRUE(WaitUntil([&] { return !RequestsTo("/records").isEmpty(); }));
  const TLoopbackRequest record = RequestsTo("/records")[0];
  EXPECT_EQ(record.Header("Authorization"), "Bearer tok123");
  EXPECT_EQ(record.Header("User-Agent"), "KX52XX-HttpClient/1.0");
  ASSERT_TRUE(WaitUntil([&] { return Written.size() == 2; }));
}

TEST_F(CloudLinkTest, LoginBodyIsEmptyWithoutAPhoneIdentifierAndNoTokenMeansDisconnected) {
  Link->SetPhone_ID("");
  LoginAnswer = R"({"Message": "who are you"})";
  Link->Connect(Server->BaseUrl());
  ASSERT_TRUE(WaitUntil([&] { return Link->DeviceState() == dsDisconnected; }));
  ASSERT_EQ(RequestsTo("/login").size(), 1);
  EXPECT_EQ(RequestsTo("/login")[0].Body, "");
  Link->Write(33, TGlobals::String_ToData("{\"X\": 1"));
  ProcessEventsFor(200);
  EXPECT_TRUE(RequestsTo("/records").isEmpty());
}

TEST_F(CloudLinkTest, LoginBodyEscapesItsTexts) {
  Link->SetDevice_ID(R"(S"N\1)");
  ConnectAndLogIn();
  const QJsonObject login = QJsonDocument::fromJson(RequestsTo("/login")[0].Body).object();
  EXPECT_EQ(login.value("DeviceUID").toString(), R"(S"N\1)");
}

TEST_F(CloudLinkTest, RefusedServerGivesServerErrorAndSendsNothingMore) {
  InfoAnswer = R"({"Type": "Something Else", "Version": 1, "Subversion": 0})";
  Link->Connect(Server->BaseUrl());
  EXPECT_EQ(Link->DeviceState(), dsServerError);
  EXPECT_EQ(Connected, 0);
  EXPECT_TRUE(Readed.isEmpty());
  Link->Write(33, TGlobals::String_ToData("{\"X\": 1"));
  ProcessEventsFor(200);
  EXPECT_EQ(Server->RequestCount(), 1);
}

TEST_F(CloudLinkTest, ConnectNeedsTheDeviceSerialNumberAndIsRefusedWhileConnected) {
  Link->SetDevice_ID("");
  Link->Connect(Server->BaseUrl());
  EXPECT_EQ(Link->DeviceState(), dsUnknown);
  EXPECT_EQ(Server->RequestCount(), 0);
  Link->SetDevice_ID("SN0001");
  ConnectAndLogIn();
  Link->Connect(Server->BaseUrl());
  EXPECT_EQ(RequestsTo("/info").size(), 1);
  EXPECT_EQ(Connected, 1);
}

TEST_F(CloudLinkTest, WithoutADataHandlerTheLinkStaysConnectingUntilTheLoginAnswer) {
  Link->SetOnDataReaded(nullptr);
  Link->Connect(Server->BaseUrl());
  EXPECT_EQ(Link->DeviceState(), dsConnecting);
  EXPECT_TRUE(Link->IsConnected());
  ASSERT_TRUE(WaitUntil([&] { return Link->DeviceState() == dsConnected; }));
}

TEST_F(CloudLinkTest, TheServerCheckKeepsTheEventLoopRunningAndTheLinkMayBeDroppedMeanwhile) {
  bool timerFired = false;
  QTimer::singleShot(0, [&] { timerFired = true; });
  Server->SetHandler([&](const TLoopbackRequest& request) {
    Link.reset();  // the owner drops the link while its check waits
    return Answer(request);
  });
  TKX52xxDataPhysCloud* raw = Link.get();
  raw->Connect(Server->BaseUrl());
  EXPECT_TRUE(timerFired);
  EXPECT_EQ(Link, nullptr);
  ProcessEventsFor(100);
  EXPECT_EQ(Server->RequestCount(), 1);
}

TEST_F(CloudLinkTest, DisconnectDropsQueuedRecordsAndLaterWrites) {
  ConnectAndLogIn();
  Link->Write(33, TGlobals::String_ToData("{\"X\": 1"));
  Link->Disconnect();
  EXPECT_EQ(Link->DeviceState(), dsDisconnected);
  EXPECT_FALSE(Link->IsConnected());
  Link->Write(33, TGlobals::String_ToData("{\"X\": 2"));
  ProcessEventsFor(200);
  EXPECT_TRUE(RequestsTo("/records").isEmpty());
}

TEST_F(CloudLinkTest, AFailedRecordRaisesNoWrittenEvent) {
  ConnectAndLogIn();
  Server->close();
  Link->Write(33, TGlobals::String_ToData("{\"X\": 1"));
  ProcessEventsFor(500);
  EXPECT_EQ(Written.size(), 1);
}

TEST_F(CloudLinkTest, UserNameWithQuoteAndBackslashArrivesAsValidJson) {
  ConnectAndLogIn();
  Link->Write(240, TGlobals::String_ToData(R"(Ann "A\B")"));
  EXPECT_EQ(Link->UserName(), R"(Ann "A\B")");
  Link->Write(255, EventPayload(atOverBreathing));
  ASSERT_TRUE(WaitUntil([&] { return !RequestsTo("/records").isEmpty(); }));
  const QByteArray body = RequestsTo("/records")[0].Body;
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(body, &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << body.constData();
  EXPECT_EQ(document.array().at(0).toObject().value("Name").toString(), R"(Ann "A\B")");
  EXPECT_EQ(body,
            "[{\"Time\": \"2019-01-01 01:00:00\",\"Name\": \"Ann \\\"A\\\\B\\\"\","
            "\"Alert\": \"Over Breathing\"}]");
}

TEST_F(CloudLinkTest, LocationIsZeroWhenUnknownAndUsesADecimalPointInAnyLocale) {
  Configuration->SetUseCloud(true);
  Configuration->SetCloudSendLocation(true);
  ConnectAndLogIn();
  Link->Write(255, EventPayload(atSealwiseStart));
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  Link->SetLocation(52.520008, -13.25);
  Link->Write(255, EventPayload(atSealwiseStart));
  Link->SetLocation(std::numeric_limits<double>::quiet_NaN(), 8.5);
  Link->Write(255, EventPayload(atSealwiseStart));
  const QByteArray body = RecordsUpToMarker();
  QLocale::setDefault(saved);
  EXPECT_EQ(body,
            "[{\"Time\": \"2019-01-01 01:00:00\",\"Latitude\": 0,\"Longitude\": 0,"
            "\"Event\": \"SEALWISE START\"},\r\n"
            "{\"Time\": \"2019-01-01 01:00:00\",\"Latitude\": 52.520008,\"Longitude\": -13.25,"
            "\"Event\": \"SEALWISE START\"},\r\n"
            "{\"Time\": \"2019-01-01 01:00:00\",\"Latitude\": 0,\"Longitude\": 0,"
            "\"Event\": \"SEALWISE START\"},\r\n" +
                kMarker + "]");
}

TEST_F(CloudLinkTest, LocationNeedsBothCloudSettings) {
  Configuration->SetCloudSendLocation(true);
  ConnectAndLogIn();
  Link->SetLocation(1.5, 2.5);
  Link->Write(255, EventPayload(atSealwiseStart));
  EXPECT_FALSE(RecordsUpToMarker().contains("Latitude"));
}

struct TRecordCase {
  const char* Name;
  TCmdID Cmd;
  QByteArray Payload;
  bool Monitoring;
  QByteArray Expected;  // empty: the write sends nothing; <now> stands for the current time
};
void PrintTo(const TRecordCase& c, std::ostream* out) { *out << c.Name; }

class CloudRecordTest : public CloudLinkTest, public ::testing::WithParamInterface<TRecordCase> {};

TEST_P(CloudRecordTest, EachWriteBecomesItsRecordOrNothing) {
  const TRecordCase& record = GetParam();
  Configuration->SetUseCloudMonitoring(record.Monitoring);
  ConnectAndLogIn();
  Link->Write(record.Cmd, record.Payload);
  QByteArray body = RecordsUpToMarker();
  static const QRegularExpression now(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"));
  if (record.Expected.contains("<now>"))
    body = QString::fromUtf8(body).replace(now, QStringLiteral("<now>")).toUtf8();
  const QByteArray expected = record.Expected.isEmpty()
                                  ? "[" + kMarker + "]"
                                  : "[" + record.Expected + ",\r\n" + kMarker + "]";
  EXPECT_EQ(body, expected);
  QJsonParseError error{};
  QJsonDocument::fromJson(body, &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << body.constData();
}

INSTANTIATE_TEST_SUITE_P(
    Records, CloudRecordTest,
    ::testing::Values(
        TRecordCase{"PressureWithMonitoring", 16, " 1234 ", true,
                    R"({"Time": "<now>","Pressure": 1234})"},
        TRecordCase{"PressureWithoutMonitoring", 16, "1234", false, ""},
        TRecordCase{"PressureThatIsNoNumber", 16, "12a", true, ""},
        TRecordCase{"SealCheckStart", 255, EventPayload(atSealwiseStart), false,
                    R"({"Time": "2019-01-01 01:00:00","Event": "SEALWISE START"})"},
        TRecordCase{"SealCheckPassed", 255, EventPayload(atSealwisePassed, kResultTail), false,
                    "{\"Time\": \"2019-01-01 01:00:00\",\"Event\": \"Sealwise Passed\",\r\n"
                    "\"AlertType\": \"0x12\",\r\n\"LowestPoint\": 12.34,\r\n"
                    "\"StartPoint\": 9.5,\r\n\"CheckEndPoint\": 0,\r\n\"FailPoint\": 655.35,\r\n"
                    "\"Samples\": 412\r\n}"},
        TRecordCase{"SealCheckFailed", 255, EventPayload(atSealwiseFailed, kResultTail), false,
                    "{\"Time\": \"2019-01-01 01:00:00\",\"Event\": \"Sealwise Failed\",\r\n"
                    "\"AlertType\": \"0x13\",\r\n\"LowestPoint\": 12.34,\r\n"
                    "\"StartPoint\": 9.5,\r\n\"CheckEndPoint\": 0,\r\n\"FailPoint\": 655.35,\r\n"
                    "\"Samples\": 412\r\n}"},
        TRecordCase{"ShortResult", 255, EventPayload(atSealwisePassed, kResultTail.left(9)), false,
                    ""},
        TRecordCase{"DoubleBreathe", 255, EventPayload(atDoubleBreathe), false,
                    R"({"Time": "2019-01-01 01:00:00","Alert": "Double Breathe"})"},
        TRecordCase{"ShortEvent", 255, EventPayload(atSealwiseStart).left(4), false, ""},
        TRecordCase{"Impact", 255, EventPayload(atImpact), false, ""},
        TRecordCase{"StopBreathing", 255, EventPayload(atStopBreathing), false, ""},
        TRecordCase{"LedState", 255, EventPayload(atLEDGreen), false, ""},
        TRecordCase{"HistoryRecord", 33,
                    "{\"Time\": \"2024-03-05 14:07:09\",\r\n\"CRCCorrect\": \"True\"", false,
                    "{\"Time\": \"2024-03-05 14:07:09\",\r\n\"CRCCorrect\": \"True\"}"},
        TRecordCase{"OtherCode", 4, "SN0001", false, ""},
        TRecordCase{"UserNameOnly", 240, "ANNA", false, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CloudLinkTest, RecordsWrittenTogetherLeaveAsOneArray) {
  Configuration->SetUseCloudMonitoring(true);
  ConnectAndLogIn();
  for (int i = 0; i < 3; ++i) Link->Write(16, QString::number(100 + i));
  ASSERT_TRUE(WaitUntil([&] { return !RequestsTo("/records").isEmpty(); }));
  ProcessEventsFor(100);
  ASSERT_EQ(RequestsTo("/records").size(), 1);
  const QJsonDocument document = QJsonDocument::fromJson(RequestsTo("/records")[0].Body);
  ASSERT_TRUE(document.isArray());
  EXPECT_EQ(document.array().size(), 3);
  EXPECT_EQ(document.array().at(2).toObject().value("Pressure").toInt(), 102);
}

TEST_F(CloudLinkTest, WriteNowSendsAReadyRequestAheadOfQueuedRecords) {
  TRESTSender::SetTimeScale(60.0);
  ConnectAndLogIn();
  Link->Write(33, TGlobals::String_ToData("{\"X\": 1"));
  Link->WriteNow("/status", rmPUT, R"({"Up": true})", {{"X-Kind", "status"}}, false);
  ASSERT_TRUE(WaitUntil([&] { return !RequestsTo("/status").isEmpty(); }));
  EXPECT_EQ(RequestsTo("/status")[0].Method, "PUT");
  EXPECT_EQ(RequestsTo("/status")[0].Header("X-Kind"), "status");
  EXPECT_TRUE(RequestsTo("/records").isEmpty());
}

}  // namespace
