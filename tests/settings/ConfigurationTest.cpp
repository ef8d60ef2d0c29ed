#include <gtest/gtest.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

#include "SealwiseError.h"
#include "SettingsTestFiles.h"
#include "TIniDocument.h"
#include "uConfiguration.h"

namespace {

class ConfigurationTest : public ::testing::Test {
 protected:
  QString Path() const { return FDir.filePath(QStringLiteral("Settings.cfg")); }
  // The file as the next start of the program would see it.
  TIniDocument OnDisk() const {
    TIniDocument doc;
    doc.LoadFromFile(Path());
    return doc;
  }
  TConfiguration& Config() {
    if (!FConfig) FConfig = std::make_unique<TConfiguration>(Path());
    return *FConfig;
  }
  void Reopen() { FConfig.reset(); }

  QTemporaryDir FDir;
  std::unique_ptr<TConfiguration> FConfig;
};

TEST_F(ConfigurationTest, FreshInstallationReadsEveryDefault) {
  ASSERT_TRUE(WriteBytes(Path(), {}));
  TConfiguration& c = Config();
  EXPECT_EQ(c.GetLanguage(), "English");
  EXPECT_TRUE(c.GetShowLicense());
  EXPECT_EQ(c.GetSMTPPort(), 587);
  EXPECT_EQ(c.GetProxyPort(), 587);
  EXPECT_EQ(c.GetEmailSubject(), "KX52xx report");
  for (bool flag : {c.GetShowTutorial(), c.GetUseFahrenheit(), c.GetUseUSDateFormat(),
                    c.GetUseCloud(), c.GetUseDefaultCloudBaseAddress(), c.GetUseCloudMonitoring(),
                    c.GetCloudSendLocation(), c.GetUseSMTP(), c.GetUseProxy()})
    EXPECT_FALSE(flag);
  for (const QString& text :
       {c.GetPhoneID(), c.GetRegisteredDevice(), c.GetDefaultUserName(), c.GetCloudAddress(),
        c.GetSMTPHost(), c.GetSMTPUser(), c.GetSMTPPass(), c.GetEmailTo(), c.GetProxyHost(),
        c.GetProxyUser(), c.GetProxyPass()})
    EXPECT_TRUE(text.isEmpty()) << text.toStdString();
}

TEST_F(ConfigurationTest, MissingFileGivesDefaultsAndFirstSetterCreatesIt) {
  EXPECT_EQ(Config().GetLanguage(), "English");
  Config().SetUseCloud(true);
  EXPECT_EQ(OnDisk().ReadString("Cloud", "UseCloud", {}), "1");
}

TEST_F(ConfigurationTest, PortIsRemovedAtItsDefaultAndWrittenOtherwise) {
  Config().SetSMTPPort(465);
  EXPECT_EQ(OnDisk().ReadString("SMTP", "SMTPPort", {}), "465");
  Config().SetSMTPPort(587);
  EXPECT_FALSE(OnDisk().ValueExists("SMTP", "SMTPPort"));
  Config().SetProxyPort(8080);
  Reopen();
  EXPECT_EQ(Config().GetProxyPort(), 8080);
  EXPECT_EQ(Config().GetSMTPPort(), 587);
}

TEST_F(ConfigurationTest, EmailSubjectRemovalIsCaseSensitive) {
  Config().SetEmailSubject("kx52xx REPORT");
  EXPECT_EQ(OnDisk().ReadString("Email", "EmailSubject", {}), "kx52xx REPORT");
  Config().SetEmailSubject("KX52xx report");
  EXPECT_FALSE(OnDisk().ValueExists("Email", "EmailSubject"));
  EXPECT_EQ(Config().GetEmailSubject(), "KX52xx report");
}

TEST_F(ConfigurationTest, AcceptingTheAgreementStoresZeroAndDecliningRemovesTheKey) {
  Config().SetShowLicense(false);
  EXPECT_EQ(OnDisk().ReadString("License", "Show", {}), "0");
  Reopen();
  EXPECT_FALSE(Config().GetShowLicense());
  Config().SetShowLicense(true);
  EXPECT_FALSE(OnDisk().ValueExists("License", "Show"));
}

TEST_F(ConfigurationTest, LanguageIsRemovedOnlyWhenEmpty) {
  Config().SetLanguage("English");
  EXPECT_EQ(OnDisk().ReadString("Language", "Lang", {}), "English");
  Config().SetLanguage("");
  EXPECT_FALSE(OnDisk().ValueExists("Language", "Lang"));
  EXPECT_EQ(Config().GetLanguage(), "English");
}

TEST_F(ConfigurationTest, StringsAndFlagsKeepTheirSectionAndKey) {
  Config().SetPhoneID("{A-B}");
  Config().SetRegisteredDevice("KX5210-00042");
  Config().SetCloudAddress("https://relay.example/api");
  Config().SetUseCloudMonitoring(true);
  const TIniDocument disk = OnDisk();
  EXPECT_EQ(disk.ReadString("DeviceID", "DeviceID", {}), "{A-B}");
  EXPECT_EQ(disk.ReadString("RegDev", "SerialNr", {}), "KX5210-00042");
  EXPECT_EQ(disk.ReadString("Cloud", "OwnCloudAddress", {}), "https://relay.example/api");
  EXPECT_EQ(disk.ReadString("Cloud", "UseCloudMonitoring", {}), "1");
  Config().SetPhoneID("");
  Config().SetUseCloudMonitoring(false);
  EXPECT_FALSE(OnDisk().ValueExists("DeviceID", "DeviceID"));
  EXPECT_FALSE(OnDisk().ValueExists("Cloud", "UseCloudMonitoring"));
}

TEST_F(ConfigurationTest, HandEditedValuesAreReadAsIntegersOrDefaults) {
  ASSERT_TRUE(WriteBytes(Path(),
                         "[appsettings]\nfahrenheit=yes\nUSDATEFORMAT=2\n"
                         "[Cloud]\nUseCloud=0x1\nUseDefaultAddress=$0\n"
                         "[License]\nShow=no\n[SMTP]\nSMTPPort=$1BB\n[Proxy]\nProxyPort=70000\n"));
  EXPECT_FALSE(Config().GetUseFahrenheit());
  EXPECT_TRUE(Config().GetUseUSDateFormat());
  EXPECT_TRUE(Config().GetUseCloud());
  EXPECT_FALSE(Config().GetUseDefaultCloudBaseAddress());
  EXPECT_TRUE(Config().GetShowLicense());
  EXPECT_EQ(Config().GetSMTPPort(), 443);
  EXPECT_EQ(Config().GetProxyPort(), 587);
}

TEST_F(ConfigurationTest, SetterKeepsKeysItDoesNotOwn) {
  ASSERT_TRUE(WriteBytes(Path(), "[Other]\nKeep=me\n[AppSettings]\nUserName=Ann\n"));
  Config().SetUseFahrenheit(true);
  const TIniDocument disk = OnDisk();
  EXPECT_EQ(disk.ReadString("Other", "Keep", {}), "me");
  EXPECT_EQ(disk.ReadString("AppSettings", "UserName", {}), "Ann");
  EXPECT_EQ(disk.ReadString("AppSettings", "Fahrenheit", {}), "1");
}

TEST_F(ConfigurationTest, FailedWriteRaisesAndTheValueStaysInMemory) {
  ASSERT_TRUE(QDir(FDir.path()).mkdir("Settings.cfg"));
  EXPECT_THROW(Config().SetDefaultUserName("Ann"), ESealwiseError);
  EXPECT_EQ(Config().GetDefaultUserName(), "Ann");
}

// A file-size limit makes the write fail even for root, who may write into read-only folders.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t ABytes) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = FOld;
    limit.rlim_cur = ABytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit FOld{};
  void (*FOldHandler)(int) = nullptr;
};

TEST_F(ConfigurationTest, FailedWriteLeavesThePreviousFileWhole) {
  const QByteArray before = "[AppSettings]\nUserName=Ann\n";
  ASSERT_TRUE(WriteBytes(Path(), before));
  Config();
  bool raised = false;
  {  // nothing may be printed while the limit holds: the test log is a file too
    const FileSizeLimit limit(before.size());
    try {
      Config().SetCloudAddress(QString(200, u'x'));
    } catch (const ESealwiseError&) {
      raised = true;
    }
  }
  EXPECT_TRUE(raised);
  EXPECT_EQ(ReadBytes(Path()), before);
  EXPECT_EQ(Config().GetCloudAddress(), QString(200, u'x'));
  EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files), QStringList{"Settings.cfg"});
}

TEST_F(ConfigurationTest, FormatDateTimeInBothOrdersAndOnTwoLines) {
  const TDateTime when = TGlobals::MakeDateTime(2024, 3, 5, 14, 7, 9);
  EXPECT_EQ(Config().FormatDateTime(when, false), "05-03-2024 14:07:09");
  EXPECT_EQ(Config().FormatDateTime(when, true), "05-03-2024\r\n14:07:09");
  Config().SetUseUSDateFormat(true);
  EXPECT_EQ(Config().FormatDateTime(when, false), "03-05-2024 14:07:09");
  EXPECT_EQ(Config().FormatDateTime(TGlobals::MakeDateTime(999, 12, 31, 0, 0, 0), false),
            "12-31-0999 00:00:00");
}

TEST_F(ConfigurationTest, FormatDateTimeUsesTheLocaleTimeSeparator) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::Finnish, QLocale::Finland));
  const QString separator = QLocale().timeFormat(QLocale::ShortFormat).contains(u'.') ? "." : ":";
  const QString text = Config().FormatDateTime(TGlobals::MakeDateTime(2024, 3, 5, 14, 7, 9), false);
  QLocale::setDefault(saved);
  EXPECT_EQ(text, "05-03-2024 14" + separator + "07" + separator + "09");
}

TEST_F(ConfigurationTest, TemperatureIsRoundedRightAlignedWithItsUnit) {
  EXPECT_EQ(Config().GetTemperature(5), "  5 °C");
  EXPECT_EQ(Config().GetTemperature(21.6), " 22 °C");
  EXPECT_EQ(Config().GetTemperature(-12.4), "-12 °C");
  EXPECT_EQ(Config().GetTemperature(1234), "1234 °C");
  EXPECT_EQ(Config().GetUnitTemperature(), "°C");
  Config().SetUseFahrenheit(true);
  EXPECT_EQ(Config().GetTemperature(100), "212 °F");
  EXPECT_EQ(Config().GetTemperature(21.6), " 71 °F");
  EXPECT_EQ(Config().GetUnitTemperature(), "°F");
}

TEST_F(ConfigurationTest, HumidityIsWholePercent) {
  EXPECT_EQ(Config().GetHumidity(45), "45 %");
  EXPECT_EQ(Config().GetHumidity(0), "0 %");
}

}  // namespace
