// The settings page over fake links: its lists and tags, navigation, the device name and
// threshold, the KX5220 user name, the cloud switch and address, and the language box.
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>

#include "KX52xx.Data.Types.h"
#include "SettingsFixture.h"
#include "TGlobals.Shell.h"
#include "Vek.Controls.h"
#include "Vek.Switch.h"
#include "pages/uPageLicense.h"
#include "pages/uPageTutorial.h"
#include "pages/uPanelUsers.h"

namespace {
const QString RestartText = QStringLiteral("Restart Sealwise device to apply new device name.");
const QString ThresholdText = QStringLiteral(
    "Wrong Threshold value. Threshold value can't be lower than 20.0 or grater than 80.0 . "
    "Threshold value not changed.");
const QString DataChargesText = QStringLiteral(
    "Warning - Enabling \"Use Cloud\" may incur data charges from your phone operator.");

// The activation point the fake device reports: 35.00 mbar.
const QByteArray Threshold35 = QByteArray::fromHex("0DAC");

int Count(const std::vector<TCmdID>& ACodes, TCmdID ACode) {
  return static_cast<int>(std::count(ACodes.begin(), ACodes.end(), ACode));
}
}  // namespace

// --- lists and navigation ------------------------------------------------------------------

struct TEntryRow {
  const char* Name;
  const char* Caption;  // empty for the spacer
  int Tag;
  bool Shown;
};
struct TListCase {
  TSettingsPage::TSubPage Page;
  const char* MainEntry;  // opens the page; null for the main list
  std::vector<TEntryRow> Rows;
};

void PrintTo(const TListCase& ACase, std::ostream* AOut) { *AOut << ACase.Rows.front().Name; }

class TSettingsListTest : public TSettingsTest, public ::testing::WithParamInterface<TListCase> {};

std::string ListCaseName(const ::testing::TestParamInfo<TListCase>& AInfo) {
  const char* names[] = {"Main", "Device", "Information", "Cloud", "Application", "Alerts"};
  return names[AInfo.param.Page];
}

TEST_P(TSettingsListTest, HoldsItsEntriesInOrderWithTheirTagsAndBackReturns) {
  OpenSettings();
  const TListCase& list = GetParam();
  if (list.MainEntry) Tap(list.MainEntry);
  ASSERT_EQ(ShownSettings(), Page(list.Page));
  const QList<TSettingsEntry*> entries = Settings()->List(list.Page)->Entries();
  std::vector<TSettingsEntry*> onPage;
  for (TSettingsEntry* entry : entries) {
    // The cloud page's never-shown entries have their own test.
    if (list.Page != TSettingsPage::spCloud || entry->isVisible()) onPage.push_back(entry);
  }
  ASSERT_EQ(onPage.size(), list.Rows.size());
  for (size_t i = 0; i < list.Rows.size(); ++i) {
    const TEntryRow& row = list.Rows[i];
    TSettingsEntry* entry = onPage[i];
    EXPECT_EQ(entry->objectName(), QLatin1String(row.Name));
    EXPECT_EQ(entry->Caption() ? entry->Caption()->text() : QString(), QLatin1String(row.Caption))
        << row.Name;
    EXPECT_EQ(entry->Tag(), row.Tag) << row.Name;
    EXPECT_EQ(entry->isVisible(), row.Shown) << row.Name;
    EXPECT_EQ(entry->height(), TSettingsList::EntryHeight) << row.Name;
  }
  if (!list.MainEntry) return;
  EXPECT_EQ(Settings()->List(TSettingsPage::spMain)->Selected(), nullptr);
  Tap(list.Rows.front().Name);  // "Back..."
  EXPECT_EQ(ShownSettings(), Page(TSettingsPage::spMain));
  EXPECT_EQ(Settings()->List(list.Page)->Selected(), nullptr);
  EXPECT_TRUE(Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Pages, TSettingsListTest,
    ::testing::Values(TListCase{TSettingsPage::spMain,
                                nullptr,
                                {{"lbiMainDevice", "Device Settings...", 1, true},
                                 {"lbiMainInformation", "Information...", 2, true},
                                 {"lbiMainCloud", "Cloud Settings...", 3, true},
                                 {"lbiMainAlerts", "Alerts Settings...", 4, false},
                                 {"lbiMainApplication", "Application Settings...", 5, true}}},
                      TListCase{TSettingsPage::spDevice,
                                "lbiMainDevice",
                                {{"lbiDevBack", "Back...", 1000, true},
                                 {"lbiDevName", "Device Name:", 0, true},
                                 {"lbiDevActivationPt", "KX Activation pt.:", 0, true},
                                 {"lbiDevMaskType", "Mask Type:", 0, false},
                                 {"lbiDevDisableBLE", "Disable BLE", 0, false},
                                 {"lbiDevSpacer", "", 0, true},
                                 {"lbiDevFirmware", "Update device firmware...", 302, true}}},
                      TListCase{TSettingsPage::spInformation,
                                "lbiMainInformation",
                                {{"lbiInfoBack", "Back...", 1000, true},
                                 {"lbiInfoTutorial", "Show Tutorial...", 300, true},
                                 {"lbiInfoEula", "Show EULA...", 301, true}}},
                      TListCase{TSettingsPage::spCloud,
                                "lbiMainCloud",
                                {{"lbiCloudBack", "Back...", 1000, true},
                                 {"lbiCloudHeading", "Cloud Settings:", 0, true},
                                 {"lbiCloudUse", "Use Cloud:", 0, true},
                                 {"lbiCloudAddress", "Cloud Address:", 0, true}}},
                      TListCase{TSettingsPage::spApplication,
                                "lbiMainApplication",
                                {{"lbiAppBack", "Back...", 1000, true},
                                 {"lbiAppUserName", "User Name:", 0, false},
                                 {"lbiAppLanguage", "Language:", 0, true}}}),
    ListCaseName);

TEST_F(TSettingsTest, PanelsPagesAndControlsCarryTheirNamesAndTags) {
  OpenSettings();
  EXPECT_EQ(Find<QLabel>("lblSettingsHeader")->text(), QStringLiteral("Device & App Settings"));
  EXPECT_EQ(Find<QLabel>("lblInfoHeader")->text(), QStringLiteral("Device Information"));
  const char* pages[] = {"tabDevAppSettings_Main", "tabDevAppSettings_Dev",
                         "tabDevAppSettings_Info", "tabDevAppSettings_Cloud",
                         "tabDevAppSettings_App",  "tabDevAppSettings_Alerts"};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(Settings()->Pages()->widget(i)->objectName(), QLatin1String(pages[i]));
  const std::pair<const char*, int> tagged[] = {{"swSettingsCloudUse", 100},
                                                {"edtSettingsCloudAddress", 102},
                                                {"edtSettingsDevName", 200},
                                                {"edtDevAppSettings_AlgSensitivity", 201},
                                                {"edtSettingsAppUserName", 500}};
  for (const auto& [name, tag] : tagged)
    EXPECT_EQ(Find<QWidget>(name)->property("Tag").toInt(), tag) << name;
  EXPECT_EQ(Find<QLineEdit>("edtSettingsDevName")->maxLength(), 9);
  // The device's identity shares the page.
  EXPECT_EQ(Find<QLabel>("litmDevInfo_Type")->text(), QStringLiteral("KX5210"));
}

TEST_F(TSettingsTest, EnteringTheSettingsShowsTheMainListAgain) {
  OpenSettings();
  Tap("lbiMainCloud");
  Find<QToolButton>("btnDashboard")->click();
  Find<QToolButton>("btnSettings")->click();
  EXPECT_EQ(ShownSettings(), Page(TSettingsPage::spMain));
  EXPECT_FALSE(Find<QWidget>("lbiMainAlerts")->isVisible());
}

TEST_F(TSettingsTest, InformationEntriesOpenTheTutorialAndTheAgreementWithoutDecline) {
  OpenSettings();
  Open("lbiMainInformation");
  Tap("lbiInfoTutorial");
  EXPECT_EQ(Shown(), Window->tabTutorial());
  EXPECT_FALSE(Find<QWidget>("swTutorial")->isVisible());
  TGlobals::SwitchTab(Window->tabWorking());
  Open("lbiMainInformation");
  Tap("lbiInfoEula");
  EXPECT_EQ(Shown(), Window->tabLicense());
  EXPECT_FALSE(Find<QToolButton>("btnLicenseCancel")->isVisible());
  Find<QToolButton>("btnLicenseAccept")->click();
  EXPECT_EQ(Shown(), Window->tabWorking());
  EXPECT_FALSE(Configuration->GetShowLicense());
}

TEST_F(TSettingsTest, TheFirmwareEntryDoesNothingYet) {
  OpenSettings();
  Open("lbiMainDevice");
  Tap("lbiDevFirmware");
  EXPECT_EQ(ShownSettings(), Page(TSettingsPage::spDevice));
  EXPECT_TRUE(Messages().isEmpty());
}

// --- device name and threshold -------------------------------------------------------------

TEST_F(TSettingsTest, DeviceNameShowsTheUserPartAndEveryExitShowsTheRestartMessage) {
  OpenSettings(QStringLiteral("KX5210_OLDNAME"));
  Open("lbiMainDevice");
  EXPECT_EQ(Find<QLineEdit>("edtSettingsDevName")->text(), QStringLiteral("OLDNAME"));
  for (int exit = 0; exit < 2; ++exit) {
    LeaveUnchanged("edtSettingsDevName");
    EXPECT_EQ(MessageTexts(), QStringList{RestartText});
    CloseMessages();
  }
  EXPECT_EQ(Count(Usb().Writes, 15), 0);  // the same name is not sent

  TypeAndLeave("edtSettingsDevName", QStringLiteral("NEWNAME12345"));  // 9 characters at most
  EXPECT_EQ(Find<QLineEdit>("edtSettingsDevName")->text(), QStringLiteral("NEWNAME12"));
  EXPECT_EQ(Window->DevData().DeviceName(), QStringLiteral("KX5210_NEWNAME12"));
  EXPECT_EQ(Count(Usb().Writes, 15), 1);
  EXPECT_EQ(MessageTexts(), QStringList{RestartText});
}

struct TThresholdCase {
  const char* Name;
  QLocale::Language Language;
  const char* Typed;
  bool Accepted;
  float Stored;       // the device model's value afterwards
  const char* Shown;  // the edit afterwards
};

void PrintTo(const TThresholdCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class TThresholdTest : public TSettingsTest,
                       public ::testing::WithParamInterface<TThresholdCase> {};

TEST_P(TThresholdTest, IsSentOrRefusedWithTheMessageAndThePreviousValue) {
  const TThresholdCase& c = GetParam();
  QLocale::setDefault(QLocale(c.Language));
  OpenSettings();
  Usb().Answer(252, Threshold35);
  Open("lbiMainDevice");
  TypeAndLeave("edtDevAppSettings_AlgSensitivity", QString::fromUtf8(c.Typed));
  EXPECT_FLOAT_EQ(Window->DevData().KXActivatPt(), c.Stored);
  EXPECT_EQ(Find<QLineEdit>("edtDevAppSettings_AlgSensitivity")->text(),
            QString::fromUtf8(c.Shown));
  EXPECT_EQ(Count(Usb().Writes, 254), c.Accepted ? 1 : 0);
  EXPECT_EQ(MessageTexts(), c.Accepted ? QStringList() : QStringList{ThresholdText});
}

INSTANTIATE_TEST_SUITE_P(
    Values, TThresholdTest,
    ::testing::Values(TThresholdCase{"Above", QLocale::C, "85", false, 35, "35.00"},
                      TThresholdCase{"JustBelow", QLocale::C, "19.99", false, 35, "35.00"},
                      TThresholdCase{"NotANumber", QLocale::C, "abc", false, 35, "35.00"},
                      TThresholdCase{"Lowest", QLocale::C, "20", true, 20, "20.00"},
                      TThresholdCase{"Highest", QLocale::C, "80", true, 80, "80.00"},
                      TThresholdCase{"GermanComma", QLocale::German, "42,5", true, 42.5f, "42,50"},
                      TThresholdCase{"GermanAbove", QLocale::German, "85,0", false, 35, "35,00"}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- application page ----------------------------------------------------------------------

class TUserNameEntryTest : public TSettingsTest,
                           public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(TUserNameEntryTest, IsShownOnlyForAKX5220) {
  const auto& [device, shown] = GetParam();
  OpenSettings(QLatin1String(device));
  Open("lbiMainApplication");
  EXPECT_EQ(Find<QWidget>("lbiAppUserName")->isVisible(), shown);
}

INSTANTIATE_TEST_SUITE_P(Models, TUserNameEntryTest,
                         ::testing::Values(std::pair{"KX5210_A", false},
                                           std::pair{"KX5211_A", false},
                                           std::pair{"KX5220_A", true}),
                         [](const auto& info) { return std::string(info.param.first, 6); });

TEST_F(TSettingsTest, AKX5220UserNameIsStoredSentAndAddedToTheUsers) {
  Configuration->SetDefaultUserName(QStringLiteral("Joanne"));
  OpenSettings(QStringLiteral("KX5220_A"));
  Open("lbiMainApplication");
  EXPECT_EQ(Find<QLineEdit>("edtSettingsAppUserName")->text(), QStringLiteral("Joanne"));
  const int sentBefore = Count(Usb().Writes, 240);
  TypeAndLeave("edtSettingsAppUserName", QStringLiteral("Anna"));
  EXPECT_EQ(Configuration->GetDefaultUserName(), QStringLiteral("Anna"));
  EXPECT_EQ(Window->DevData().UserName(), QStringLiteral("Anna"));
  EXPECT_EQ(Count(Usb().Writes, 240), sentBefore + 1);
  QStringList users;
  dmDb->GetUsers(&users);
  EXPECT_TRUE(users.contains(QStringLiteral("Anna")));
  EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(TSettingsTest, TheLanguageBoxOffersTheShippedLanguagesWithTheStoredOneSelected) {
  Configuration->SetLanguage(QStringLiteral("Français"));
  OpenSettings();
  auto* box = Find<QComboBox>("cbSettingsAppLang");
  ASSERT_GE(box->count(), 3);
  EXPECT_EQ(box->itemText(0), QStringLiteral("English"));
  EXPECT_GE(box->findText(QStringLiteral("Deutsch")), 1);
  EXPECT_EQ(box->currentText(), QStringLiteral("Français"));
  Configuration->SetLanguage(QStringLiteral("Klingon"));  // not offered: the first entry
  Open("lbiMainApplication");
  EXPECT_EQ(box->currentText(), QStringLiteral("English"));
}

// Every fixed text of the window and its controls, by object: the title, the text properties
// and the prompts of the edits (whose own texts are what the user typed).
QMap<const QObject*, QString> AllTexts(const QWidget& AWindow) {
  QMap<const QObject*, QString> texts;
  texts.insert(&AWindow, AWindow.windowTitle());
  for (const QObject* object : AWindow.findChildren<QObject*>()) {
    if (auto* edit = qobject_cast<const QLineEdit*>(object)) {
      texts.insert(object, edit->placeholderText());
      continue;
    }
    const QVariant text = object->property("text");
    if (text.isValid()) texts.insert(object, text.toString());
  }
  return texts;
}

TEST_F(TSettingsTest, GermanThenFrenchThenEnglishRestoresEveryText) {
  OpenSettings();
  Open("lbiMainApplication");
  const QMap<const QObject*, QString> english = AllTexts(*Window);
  auto* box = Find<QComboBox>("cbSettingsAppLang");
  QLabel* device = Find<TSettingsEntry>("lbiMainDevice")->Caption();

  box->setCurrentIndex(box->findText(QStringLiteral("Deutsch")));
  EXPECT_EQ(Configuration->GetLanguage(), QStringLiteral("Deutsch"));
  EXPECT_EQ(device->text(), QStringLiteral("Geräteeinstellungen..."));
  EXPECT_EQ(Find<QToolButton>("btnDashboard")->text(), QStringLiteral("Übersicht"));
  EXPECT_EQ(Window->UsersPanel()->UserAddEdit()->placeholderText(),
            QStringLiteral("Neuer Benutzername..."));

  box->setCurrentIndex(box->findText(QStringLiteral("Français")));
  EXPECT_EQ(Configuration->GetLanguage(), QStringLiteral("Français"));
  EXPECT_EQ(device->text(), QStringLiteral("Réglages de l'appareil..."));
  EXPECT_EQ(Find<QLabel>("lblSettingsHeader")->text(),
            QStringLiteral("Réglages appareil & application"));

  box->setCurrentIndex(0);
  EXPECT_EQ(Configuration->GetLanguage(), QStringLiteral("English"));
  const QMap<const QObject*, QString> restored = AllTexts(*Window);
  for (auto it = english.cbegin(); it != english.cend(); ++it)
    EXPECT_EQ(restored.value(it.key()), it.value()) << qPrintable(it.key()->objectName());
  EXPECT_EQ(box->currentText(), QStringLiteral("English"));
}
