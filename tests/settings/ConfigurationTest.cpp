#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

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

// Every property: the text a non-default value is stored as, under its own section and key,
// read back after a restart, and removed again by its removal value.
struct TPropertyCase {
  const char* Name;
  const char* Section;
  const char* Key;
  QString StoredText;
  std::function<void(TConfiguration&)> SetStored;
  std::function<void(TConfiguration&)> SetRemoved;
  std::function<QString(const TConfiguration&)> ReadBack;
};

TPropertyCase Text(const char* AName, const char* ASection, const char* AKey,
                   void (TConfiguration::*ASet)(const QString&),
                   QString (TConfiguration::*AGet)() const, const QString& ARemoveValue = {}) {
  return {AName,
          ASection,
          AKey,
          QStringLiteral("Zoë's value"),
          [ASet](TConfiguration& c) { (c.*ASet)(QStringLiteral("Zoë's value")); },
          [ASet, ARemoveValue](TConfiguration& c) { (c.*ASet)(ARemoveValue); },
          [AGet](const TConfiguration& c) { return (c.*AGet)(); }};
}

TPropertyCase Flag(const char* AName, const char* ASection, const char* AKey,
                   void (TConfiguration::*ASet)(bool), bool (TConfiguration::*AGet)() const,
                   bool ARemoveValue = false) {
  return {AName,
          ASection,
          AKey,
          ARemoveValue ? QStringLiteral("0") : QStringLiteral("1"),
          [ASet, ARemoveValue](TConfiguration& c) { (c.*ASet)(!ARemoveValue); },
          [ASet, ARemoveValue](TConfiguration& c) { (c.*ASet)(ARemoveValue); },
          [AGet](const TConfiguration& c) { return QString::number((c.*AGet)()); }};
}

TPropertyCase Port(const char* AName, const char* ASection, const char* AKey,
                   void (TConfiguration::*ASet)(quint16), quint16 (TConfiguration::*AGet)() const) {
  return {AName,
          ASection,
          AKey,
          QStringLiteral("465"),
          [ASet](TConfiguration& c) { (c.*ASet)(465); },
          [ASet](TConfiguration& c) { (c.*ASet)(587); },
          [AGet](const TConfiguration& c) { return QString::number((c.*AGet)()); }};
}

using C = TConfiguration;
const TPropertyCase kProperties[] = {
    Text("PhoneID", "DeviceID", "DeviceID", &C::SetPhoneID, &C::GetPhoneID),
    Flag("ShowLicense", "License", "Show", &C::SetShowLicense, &C::GetShowLicense, true),
    Flag("ShowTutorial", "Tutorial", "Show", &C::SetShowTutorial, &C::GetShowTutorial),
    Text("RegisteredDevice", "RegDev", "SerialNr", &C::SetRegisteredDevice,
         &C::GetRegisteredDevice),
    Flag("UseFahrenheit", "AppSettings", "Fahrenheit", &C::SetUseFahrenheit, &C::GetUseFahrenheit),
    Flag("UseUSDateFormat", "AppSettings", "USDateFormat", &C::SetUseUSDateFormat,
         &C::GetUseUSDateFormat),
    Text("DefaultUserName", "AppSettings", "UserName", &C::SetDefaultUserName,
         &C::GetDefaultUserName),
    Text("Language", "Language", "Lang", &C::SetLanguage, &C::GetLanguage),
    Flag("UseCloud", "Cloud", "UseCloud", &C::SetUseCloud, &C::GetUseCloud),
    Flag("UseDefaultCloudBaseAddress", "Cloud", "UseDefaultAddress",
         &C::SetUseDefaultCloudBaseAddress, &C::GetUseDefaultCloudBaseAddress),
    Text("CloudAddress", "Cloud", "OwnCloudAddress", &C::SetCloudAddress, &C::GetCloudAddress),
    Flag("UseCloudMonitoring", "Cloud", "UseCloudMonitoring", &C::SetUseCloudMonitoring,
         &C::GetUseCloudMonitoring),
    Flag("CloudSendLocation", "Cloud", "CloudSendLocation", &C::SetCloudSendLocation,
         &C::GetCloudSendLocation),
    Flag("UseSMTP", "SMTP", "UseSMTP", &C::SetUseSMTP, &C::GetUseSMTP),
    Text("SMTPHost", "SMTP", "SMTPHost", &C::SetSMTPHost, &C::GetSMTPHost),
    Port("SMTPPort", "SMTP", "SMTPPort", &C::SetSMTPPort, &C::GetSMTPPort),
    Text("SMTPUser", "SMTP", "SMTPUserName", &C::SetSMTPUser, &C::GetSMTPUser),
    Text("SMTPPass", "SMTP", "SMTPPassword", &C::SetSMTPPass, &C::GetSMTPPass),
    Text("EmailTo", "Email", "EmailTo", &C::SetEmailTo, &C::GetEmailTo),
    Text("EmailSubject", "Email", "EmailSubject", &C::SetEmailSubject, &C::GetEmailSubject,
         "KX52xx report"),
    Flag("UseProxy", "Proxy", "UseProxy", &C::SetUseProxy, &C::GetUseProxy),
    Text("ProxyHost", "Proxy", "ProxyHost", &C::SetProxyHost, &C::GetProxyHost),
    Port("ProxyPort", "Proxy", "ProxyPort", &C::SetProxyPort, &C::GetProxyPort),
    Text("ProxyUser", "Proxy", "ProxyUserName", &C::SetProxyUser, &C::GetProxyUser),
    Text("ProxyPass", "Proxy", "ProxyPassword", &C::SetProxyPass, &C::GetProxyPass),
};

class PropertyTest : public ConfigurationTest,
                     public ::testing::WithParamInterface<const TPropertyCase*> {};

TEST_P(PropertyTest, StoresUnderItsKeyAndRemovesAtItsRemovalValue) {
  const TPropertyCase& p = *GetParam();
  p.SetStored(Config());
  EXPECT_EQ(ReadBytes(Path()),
            QStringLiteral("[%1]\n%2=%3\n").arg(p.Section, p.Key, p.StoredText).toUtf8());
  Reopen();
  EXPECT_EQ(p.ReadBack(Config()), p.StoredText);
  p.SetRemoved(Config());
  EXPECT_EQ(ReadBytes(Path()), "");
}

std::vector<const TPropertyCase*> Properties() {
  std::vector<const TPropertyCase*> all;
  for (const TPropertyCase& p : kProperties) all.push_back(&p);
  return all;
}

INSTANTIATE_TEST_SUITE_P(Table, PropertyTest, ::testing::ValuesIn(Properties()),
                         [](const auto& info) { return std::string(info.param->Name); });

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
  const QString text = Config().FormatDateTime(TGlobals::MakeDateTime(2024, 3, 5, 14, 7, 9), false);
  QLocale::setDefault(saved);
  EXPECT_EQ(text, "05-03-2024 14.07.09");  // Finnish writes "H.mm"
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
