#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTimer>

#include "CloudTestSupport.h"
#include "TGlobals.Cloud.h"

namespace {

TEST(CloudGlobals, FormatCloudDateIsYearMonthDayAnd24HourTime) {
  EXPECT_EQ(TGlobals::FormatCloudDate(TGlobals::MakeDateTime(2024, 3, 5, 14, 7, 9)),
            "2024-03-05 14:07:09");
  EXPECT_EQ(TGlobals::FormatCloudDate(TGlobals::MakeDateTime(2019, 12, 31, 0, 0, 0)),
            "2019-12-31 00:00:00");
}

TEST(CloudGlobals, GeneratePhoneIdIs32UpperCaseHexDigitsAndNewEachTime) {
  static const QRegularExpression hex(QStringLiteral("^[0-9A-F]{32}$"));
  const QString first = TGlobals::GeneratePhoneID();
  EXPECT_TRUE(hex.match(first).hasMatch()) << first.toStdString();
  EXPECT_NE(first, TGlobals::GeneratePhoneID());
}

using CloudGlobalsSettings = CloudTest;

TEST_F(CloudGlobalsSettings, GetPhoneIdIsGeneratedOnceStoredAndStable) {
  ASSERT_TRUE(Configuration->GetPhoneID().isEmpty());
  const QString id = TGlobals::GetPhoneID();
  EXPECT_EQ(id.size(), 32);
  EXPECT_EQ(Configuration->GetPhoneID(), id);
  EXPECT_EQ(TGlobals::GetPhoneID(), id);
  Configuration = std::make_unique<TConfiguration>(FTempDir.path() + "/Settings.cfg");
  EXPECT_EQ(TGlobals::GetPhoneID(), id);
}

struct TBaseAddressCase {
  const char* Name;
  bool UseDefault;
  const char* Address;
  bool Insecure;
  const char* Expected;
};
void PrintTo(const TBaseAddressCase& c, std::ostream* out) { *out << c.Name; }

class CloudBaseAddressTest : public CloudTest,
                             public ::testing::WithParamInterface<TBaseAddressCase> {};

TEST_P(CloudBaseAddressTest, FromTheSettings) {
  const TBaseAddressCase& c = GetParam();
  Configuration->SetUseDefaultCloudBaseAddress(c.UseDefault);
  Configuration->SetCloudAddress(c.Address);
  EXPECT_EQ(TGlobals::GetCloudBaseAddress(c.Insecure), QString(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, CloudBaseAddressTest,
    ::testing::Values(TBaseAddressCase{"Plain", false, "https://cloud.example", false,
                                       "https://cloud.example"},
                      TBaseAddressCase{"OneSlashRemoved", false, "https://cloud.example//", false,
                                       "https://cloud.example/"},
                      TBaseAddressCase{"DefaultChosen", true, "https://cloud.example", false, ""},
                      TBaseAddressCase{"Insecure", false, "https://a.example/https://b/", true,
                                       "http://a.example/https://b"},
                      TBaseAddressCase{"InsecureOfPlainHttp", false, "http://a.example", true,
                                       "http://a.example"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TInfoCase {
  const char* Name;
  int Status;
  QByteArray Body;
  bool Accepted;
};
void PrintTo(const TInfoCase& c, std::ostream* out) { *out << c.Name; }

class ServerCheckTest : public CloudTest, public ::testing::WithParamInterface<TInfoCase> {};

TEST_P(ServerCheckTest, InfoAnswerDecides) {
  auto server = StartHttp();
  server->SetHandler([](const TLoopbackRequest&) {
    return TLoopbackResponse::Json(GetParam().Status, GetParam().Body);
  });
  EXPECT_EQ(TGlobals::IsKX52ServerCorrect(server->BaseUrl() + "/"), GetParam().Accepted);
  ASSERT_EQ(server->RequestCount(), 1);
  EXPECT_EQ(server->Requests()[0].Method, "GET");
  EXPECT_EQ(server->Requests()[0].Path, "/info");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ServerCheckTest,
    ::testing::Values(
        TInfoCase{
            "Exact", 200,
            R"({"Type":"KX52xx Cloud Server","Version":1,"Subversion":0,"DateTime":"2024-03-05T14:07:09"})",
            true},
        TInfoCase{"TypeInLowerCaseNamesInUpperCase", 200,
                  R"({"TYPE":"kx52xx cloud server","VERSION":1,"SUBVERSION":0})", true},
        TInfoCase{"LaterSubversion", 200,
                  R"({"Type":"KX52XX CLOUD SERVER","Version":1,"Subversion":7})", true},
        TInfoCase{"Version2", 200, R"({"Type":"KX52xx Cloud Server","Version":2,"Subversion":0})",
                  false},
        TInfoCase{"NoSubversion", 200, R"({"Type":"KX52xx Cloud Server","Version":1})", false},
        TInfoCase{"OtherType", 200, R"({"Type":"KX52xx Cloud","Version":1,"Subversion":0})", false},
        TInfoCase{"VersionAsText", 200,
                  R"({"Type":"KX52xx Cloud Server","Version":"one","Subversion":0})", false},
        TInfoCase{"BadDateTime", 200,
                  R"({"Type":"KX52xx Cloud Server","Version":1,"Subversion":0,"DateTime":"soon"})",
                  false},
        TInfoCase{"InvalidJson", 200, R"({"Type":"KX52xx Cloud Server","Version":1,)", false},
        TInfoCase{"EmptyAnswer", 200, "", false},
        TInfoCase{"NotFound", 404, R"({"Type":"KX52xx Cloud Server","Version":1,"Subversion":0})",
                  false}),
    [](const auto& info) { return std::string(info.param.Name); });

using ServerCheck = CloudTest;

TEST_F(ServerCheck, NoServerListeningIsRefused) {
  auto server = StartHttp();
  const QString address = server->BaseUrl();
  server.reset();
  EXPECT_FALSE(TGlobals::IsKX52ServerCorrect(address));
}

TEST_F(ServerCheck, HttpsWithTheTrustedTestCertificateIsAcceptedAndUntrustedIsRefused) {
  auto server = StartHttps();
  server->SetHandler([](const TLoopbackRequest&) {
    return TLoopbackResponse::Json(200,
                                   R"({"Type":"KX52xx Cloud Server","Version":1,"Subversion":0})");
  });
  EXPECT_TRUE(TGlobals::IsKX52ServerCorrect(server->BaseUrl()));
  DistrustTestCertificate();
  EXPECT_FALSE(TGlobals::IsKX52ServerCorrect(server->BaseUrl()));
}

// Runs at the shipped 5000 ms time-out.
TEST_F(ServerCheck, ASilentServerIsRefusedAfterTheTimeOut) {
  auto server = StartHttp();
  server->SetHandler([](const TLoopbackRequest&) {
    TLoopbackResponse silent;
    silent.NoAnswer = true;
    return silent;
  });
  EXPECT_FALSE(TGlobals::IsKX52ServerCorrect(server->BaseUrl()));
  EXPECT_EQ(server->RequestCount(), 1);
}

TEST_F(ServerCheck, GuiEventsAreProcessedWhileItWaits) {
  auto server = StartHttp();
  bool timerFired = false;
  QTimer::singleShot(0, [&] { timerFired = true; });
  TGlobals::IsKX52ServerCorrect(server->BaseUrl());
  EXPECT_TRUE(timerFired);
}

}  // namespace
