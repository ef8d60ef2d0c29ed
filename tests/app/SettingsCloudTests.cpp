// The cloud page: the switch, the address with its two marks, the data-charges warning, the
// cloud link against a loopback KX52xx cloud server, and the entries the page never shows.
#include <QLineEdit>

#include "SettingsFixture.h"
#include "TGlobals.Codecs.h"
#include "Vek.Controls.h"
#include "Vek.Switch.h"

namespace {
const QString DataChargesText = QStringLiteral(
    "Warning - Enabling \"Use Cloud\" may incur data charges from your phone operator.");
}  // namespace

class TCloudSettingsTest : public TSettingsTest {
 protected:
  // The device has told its serial number, which the cloud link logs in with.
  void OpenCloudPage() {
    OpenSettings();
    Usb().Answer(4, TGlobals::String_ToData(QStringLiteral("SN-0042")));
    Open("lbiMainCloud");
    ASSERT_EQ(ShownSettings(), Page(TSettingsPage::spCloud));
  }
  TSwitch* UseCloud() const { return Find<TSwitch>("swSettingsCloudUse"); }
  QLineEdit* Address() const { return Find<QLineEdit>("edtSettingsCloudAddress"); }
  bool OkShown() const { return Find<QWidget>("imgCloudSettingsOk")->isVisible(); }
  bool WrongShown() const { return Find<QWidget>("imgCloudSettingsWrong")->isVisible(); }
  bool HasCloudLink() const { return Window->DevData().Connectors().contains(CONN_CLOUD); }
  static QList<QByteArray> Paths(const TLoopbackHttpServer& AServer) {
    QList<QByteArray> paths;
    for (const TLoopbackRequest& request : AServer.Requests()) paths << request.Path;
    return paths;
  }
};

TEST_F(TCloudSettingsTest, SwitchingOnWithAnEmptyAddressStoresItWithoutMarksOrWarning) {
  OpenCloudPage();
  EXPECT_FALSE(UseCloud()->isChecked());
  EXPECT_FALSE(Address()->isEnabled());
  UseCloud()->click();
  EXPECT_TRUE(Configuration->GetUseCloud());
  EXPECT_FALSE(OkShown());
  EXPECT_FALSE(WrongShown());
  EXPECT_TRUE(Messages().isEmpty());
  EXPECT_TRUE(Address()->isEnabled());
  EXPECT_FALSE(HasCloudLink());

  UseCloud()->click();
  EXPECT_FALSE(Configuration->GetUseCloud());
  EXPECT_FALSE(Address()->isEnabled());
}

TEST_F(TCloudSettingsTest, AValidServerShowsTheCheckMarkWarnsAndConnectsTheCloudLink) {
  const auto server = StartCloudServer();
  Configuration->SetCloudAddress(server->BaseUrl());
  OpenCloudPage();
  EXPECT_EQ(Address()->text(), server->BaseUrl());
  EXPECT_FALSE(OkShown());
  EXPECT_EQ(server->RequestCount(), 0);  // nothing is checked while the cloud is off

  UseCloud()->click();
  EXPECT_TRUE(OkShown());
  EXPECT_FALSE(WrongShown());
  EXPECT_EQ(MessageTexts(), QStringList{DataChargesText});
  ASSERT_TRUE(WaitUntil([this] { return Window->DevData().CloudConnected(); }));
  ASSERT_TRUE(WaitUntil([&server] { return Paths(*server).contains("/login"); }));
  EXPECT_EQ(Paths(*server).first(), QByteArray("/info"));
  EXPECT_TRUE(server->Requests().last().Body.contains("SN-0042"));
}

TEST_F(TCloudSettingsTest, OpeningThePageWithTheCloudOnChecksTheStoredAddressWithoutWarning) {
  const auto server = StartCloudServer();
  Configuration->SetCloudAddress(server->BaseUrl());
  Configuration->SetUseCloud(true);
  OpenCloudPage();
  EXPECT_TRUE(UseCloud()->isChecked());
  EXPECT_TRUE(OkShown());
  EXPECT_TRUE(Messages().isEmpty());
  EXPECT_TRUE(WaitUntil([this] { return Window->DevData().CloudConnected(); }));
}

struct TBadAddressCase {
  const char* Name;
  const char* Address;  // null: the loopback server, which answers as another kind of server
};

void PrintTo(const TBadAddressCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class TBadCloudAddressTest : public TCloudSettingsTest,
                             public ::testing::WithParamInterface<TBadAddressCase> {};

TEST_P(TBadCloudAddressTest, ShowsTheErrorMarkAndLeavesTheCloudUnconnected) {
  const auto server = StartCloudServer();
  server->SetHandler([](const TLoopbackRequest&) {
    return TLoopbackResponse::Json(200,
                                   R"({"Type":"Some Other Server","Version":1,"Subversion":0})");
  });
  Configuration->SetUseCloud(true);
  OpenCloudPage();
  const QString address =
      GetParam().Address ? QLatin1String(GetParam().Address) : server->BaseUrl();
  TypeAndLeave("edtSettingsCloudAddress", address);
  EXPECT_EQ(Configuration->GetCloudAddress(), address);
  EXPECT_TRUE(WrongShown());
  EXPECT_FALSE(OkShown());
  EXPECT_TRUE(Messages().isEmpty());
  EXPECT_FALSE(HasCloudLink());
  EXPECT_EQ(server->RequestCount(), GetParam().Address ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Addresses, TBadCloudAddressTest,
                         ::testing::Values(TBadAddressCase{"TwelveCharacters", "https://a.io"},
                                           TBadAddressCase{"AnotherServer", nullptr}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TCloudSettingsTest, EmptyingTheAddressHidesBothMarks) {
  Configuration->SetUseCloud(true);
  OpenCloudPage();
  TypeAndLeave("edtSettingsCloudAddress", QStringLiteral("https://a.io"));
  ASSERT_TRUE(WrongShown());
  TypeAndLeave("edtSettingsCloudAddress", QString());
  EXPECT_FALSE(WrongShown());
  EXPECT_FALSE(OkShown());
}

TEST_F(TCloudSettingsTest, NeverShownEntriesStayHiddenFilledFromTheSettingsFile) {
  Configuration->SetSMTPHost(QStringLiteral("smtp.example.org"));
  Configuration->SetUseProxy(true);
  Configuration->SetProxyPort(3128);
  Configuration->SetUseDefaultCloudBaseAddress(true);
  OpenCloudPage();
  for (const char* entry :
       {"lbiCloudDefault", "lbiCloudLocation", "lbiCloudMonitoring", "lbiSMTPHeading",
        "lbiSMTPAddress", "lbiEmailTo", "lbiProxyHeading", "lbiProxyPort"})
    EXPECT_FALSE(Find<QWidget>(entry)->isVisible()) << entry;
  EXPECT_EQ(Find<QLineEdit>("edtSettingsSMTPAddress")->text(), QStringLiteral("smtp.example.org"));
  EXPECT_FALSE(Find<QLineEdit>("edtSettingsSMTPAddress")->isEnabled());  // SMTP is off
  EXPECT_EQ(Find<QLineEdit>("edtSettingsProxyPort")->text(), QStringLiteral("3128"));
  EXPECT_TRUE(Find<QLineEdit>("edtSettingsProxyPort")->isEnabled());
  EXPECT_TRUE(Find<TSwitch>("swSettingsCloudDefault")->isChecked());
  EXPECT_FALSE(Find<TSwitch>("swSettingsCloudDefault")->isEnabled());  // the cloud is off

  UseCloud()->click();
  EXPECT_TRUE(Find<TSwitch>("swSettingsCloudDefault")->isEnabled());
  // With the default address there is no own address to type.
  EXPECT_FALSE(Address()->isEnabled());
}
