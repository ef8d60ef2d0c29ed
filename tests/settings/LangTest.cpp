#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include "SealwiseError.h"
#include "SettingsTestFiles.h"
#include "Vek.Lang.h"
#include "Vek.Strings.h"

namespace {

const QByteArray kGerman =
    "; German texts\n"
    "\"Sending Firmware...\" :=\"Sende Firmware...\"\n"
    "\"Cancel\"  :=  \"Abbrechen\"\n"
    "\"Close\":=\"Schliessen\"\n"
    "   ; \"Connect\" :=\"Verbinden\"\n"
    "\"Empty\" :=\"\"\n"
    "Plain :=Schlicht\n"
    "\"Say \"hi\"\" :=\"Sag \"hallo\"\"\n"
    "\"A :=B\" :=\"C\"\n"
    "\"\" :=\"Nothing\"\n"
    "Twice :=First\n"
    "Twice :=Second\n"
    "\"Status\" :=\"Zustand\"\n"
    "\"Battery\" :=\"Batterie\"\n";

// French also holds an entry for a German text: switching German -> French must translate the
// English source, never the German text now shown.
const QByteArray kFrench =
    "\"Sending Firmware...\" :=\"Envoi du firmware...\"\r\n"
    "\"Cancel\" :=\"Annuler\"\r\n"
    "\"Abbrechen\" :=\"WRONG\"\r\n"
    "\"Sende Firmware...\" :=\"WRONG\"";

class LangTest : public ::testing::Test {
 protected:
  void SetUp() override { Lng = std::make_unique<TLng>(); }
  void TearDown() override { Lng.reset(); }
  QString LngFile(const QString& AName, const QByteArray& ABytes) {
    const QString path = FDir.filePath(AName + ".lng");
    EXPECT_TRUE(WriteBytes(path, ABytes));
    return path;
  }
  void AddGermanAndFrench() {
    ASSERT_EQ(TLang::AddLang("German", LngFile("German", kGerman)), 0);
    ASSERT_EQ(TLang::AddLang("French", LngFile("French", kFrench)), 1);
  }

  QTemporaryDir FDir;
};

struct TEntryCase {
  const char* Source;
  const char* Expected;
};

void PrintTo(const TEntryCase& ACase, std::ostream* AOut) { *AOut << '[' << ACase.Source << ']'; }

class LngFileRulesTest : public LangTest, public ::testing::WithParamInterface<TEntryCase> {};

TEST_P(LngFileRulesTest, TranslatesOnlyWellFormedEntries) {
  AddGermanAndFrench();
  TLang::SetLang("german");
  EXPECT_EQ(TranslateText(QString::fromUtf8(GetParam().Source)),
            QString::fromUtf8(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, LngFileRulesTest,
    ::testing::Values(TEntryCase{"Sending Firmware...", "Sende Firmware..."},
                      TEntryCase{"Cancel", "Abbrechen"},  // blanks around both sides
                      TEntryCase{"Close", "Close"},       // no space before :=
                      TEntryCase{"Connect", "Connect"},   // comment line
                      TEntryCase{"Empty", "Empty"},       // empty translation
                      TEntryCase{"SENDING FIRMWARE...", "SENDING FIRMWARE..."},  // case-sensitive
                      TEntryCase{"Plain", "Schlicht"},            // quotes are optional
                      TEntryCase{"Say \"hi\"", "Sag \"hallo\""},  // inner quotes stay
                      TEntryCase{"A", "B\" :=\"C"},               // first separator splits
                      TEntryCase{"", ""}, TEntryCase{"Twice", "Second"},
                      TEntryCase{"Unknown text", "Unknown text"}));

TEST_F(LangTest, RegistrationErrorsCarryTheirMessages) {
  const QString missing = FDir.filePath("Klingon.lng");
  try {
    TLang::AddLang("Klingon", missing);
    FAIL() << "no error for a missing file";
  } catch (const ESealwiseError& error) {
    EXPECT_EQ(error.Message(), "Translation file \"" + missing + "\" doesn't exists.");
  }
  AddGermanAndFrench();
  try {
    TLang::AddLang("GERMAN", LngFile("Other", "x :=y\n"));
    FAIL() << "no error for a second German";
  } catch (const ESealwiseError& error) {
    EXPECT_EQ(error.Message(), "Language GERMAN already exists.");
  }
  EXPECT_THROW(TLang::AddLang("Folder", FDir.path()), ESealwiseError);
  EXPECT_EQ(TLang::Count(), 2);
  EXPECT_EQ(TLang::LangName(1), "French");
  EXPECT_TRUE(TLang::LangName(2).isEmpty());
  EXPECT_TRUE(TLang::LangName(-1).isEmpty());
}

TEST_F(LangTest, LanguageChoiceByNameAndIndex) {
  AddGermanAndFrench();
  TLang::SetLang("FRENCH");
  EXPECT_EQ(Lng->CurrentLang(), 1);
  TLang::SetLang("eNgLiSh");
  EXPECT_EQ(Lng->CurrentLang(), -1);
  TLang::SetLang(0);
  TLang::SetLang("Klingon");
  EXPECT_EQ(Lng->CurrentLang(), -1);
  TLang::SetLang(2);
  EXPECT_EQ(Lng->CurrentLang(), -1);
  TLang::SetDefaultLangName("German");
  TLang::SetLang("german");
  EXPECT_EQ(Lng->CurrentLang(), -1);
  EXPECT_EQ(TLang::DefaultLangName(), "German");
}

TEST(LangWithoutEngineTest, FacadeIsNeutral) {
  ASSERT_FALSE(Lng);
  EXPECT_EQ(TLang::AddLang("German", "/nonexistent.lng"), -1);
  EXPECT_EQ(TLang::Count(), -1);
  EXPECT_TRUE(TLang::LangName(0).isEmpty());
  EXPECT_TRUE(TLang::DefaultLangName().isEmpty());
  TLang::SetLang("German");
  QLabel label("Cancel");
  TLang::SetLang(&label, 0);
  TLang::ExcludeFromTranslation(&label);
  TLang::Translate(&label);
  EXPECT_EQ(label.text(), "Cancel");
  EXPECT_EQ(TLang::Translate("Cancel"), "Cancel");
  EXPECT_EQ(TranslateText("Cancel"), "Cancel");
}

// A small window: named controls, an excluded panel, an unnamed label, a tab page (reached
// through Qt's internal stacked widget), a spin box (whose internal line edit must keep its
// text) and two controls that share a name.
class WindowTranslationTest : public LangTest {
 protected:
  void SetUp() override {
    LangTest::SetUp();
    AddGermanAndFrench();
    FWindow.setObjectName("frmMain");
    auto* layout = new QVBoxLayout(&FWindow);
    FStatus = AddLabel(&FWindow, "lblFirmwareStatus", "Sending Firmware...");
    FCancel = new QPushButton("Cancel", &FWindow);
    FCancel->setObjectName("btnCancel");
    FInfo = new QWidget(&FWindow);
    FInfo->setObjectName("pnlInfo");
    FInfoLine = AddLabel(FInfo, "lblInfoLine", "Cancel");
    FUnnamed = AddLabel(FInfo, "", "Cancel");
    auto* tabs = new QTabWidget(&FWindow);
    tabs->setObjectName("tcMain");
    auto* page = new QWidget;
    page->setObjectName("tabDashboard");
    tabs->addTab(page, "Dashboard");
    FOnPage = AddLabel(page, "lblBattery", "Battery");
    FSpin = new QSpinBox(&FWindow);
    FSpin->setObjectName("sbPort");
    FSpin->setValue(5);
    FStatusA = AddLabel(page, "lblStatus", "Status");
    FStatusB = AddLabel(FInfo, "lblStatus", "Cancel");
    for (QWidget* w : std::initializer_list<QWidget*>{FStatus, FCancel, FInfo, tabs, FSpin})
      layout->addWidget(w);
  }
  // Each control's "text" property, with the control's name in any failure.
  static void ExpectTexts(std::initializer_list<std::pair<const QObject*, const char*>> ATexts) {
    for (const auto& [control, text] : ATexts)
      EXPECT_EQ(control->property("text").toString(), QString::fromUtf8(text))
          << control->objectName().toStdString();
  }
  static QLabel* AddLabel(QWidget* AParent, const QString& AName, const QString& AText) {
    auto* label = new QLabel(AText, AParent);
    label->setObjectName(AName);
    return label;
  }

  QWidget FWindow;
  QLabel* FStatus = nullptr;
  QPushButton* FCancel = nullptr;
  QWidget* FInfo = nullptr;
  QLabel* FInfoLine = nullptr;
  QLabel* FUnnamed = nullptr;
  QLabel* FOnPage = nullptr;
  QSpinBox* FSpin = nullptr;
  QLabel* FStatusA = nullptr;
  QLabel* FStatusB = nullptr;
};

TEST_F(WindowTranslationTest, ControlKeysFollowTheObjectNames) {
  EXPECT_EQ(TLng::ControlKey(FStatus, "Text"), "frmMain|lblFirmwareStatus|Text");
  EXPECT_EQ(TLng::ControlKey(&FWindow, "Text"), "frmMain|Text");
  EXPECT_EQ(TLng::ControlKey(FUnnamed, "Text"), "frmMain|pnlInfo|Text");
  EXPECT_EQ(TLng::ControlKey(FOnPage, "Text"), "frmMain|lblBattery|Text");
}

TEST_F(WindowTranslationTest, SwitchingLanguagesTranslatesFromTheRecordedSourceTexts) {
  TLang::SetLang(&FWindow, "German");
  ExpectTexts({{FStatus, "Sende Firmware..."},
               {FCancel, "Abbrechen"},
               {FOnPage, "Batterie"},
               {FStatusA, "Zustand"},
               {FStatusB, "Abbrechen"},
               {FSpin, "5"}});
  FSpin->setValue(7);  // data in Qt's internal line edit is never taken for a source text

  TLang::SetLang(&FWindow, "French");
  ExpectTexts({{FStatus, "Envoi du firmware..."},
               {FCancel, "Annuler"},
               {FOnPage, "Battery"},
               {FStatusA, "Status"},
               {FStatusB, "Annuler"}});

  TLang::SetLang(&FWindow, "ENGLISH");
  ExpectTexts({{FStatus, "Sending Firmware..."},
               {FCancel, "Cancel"},
               {FOnPage, "Battery"},
               {FStatusA, "Status"},
               {FStatusB, "Cancel"},
               {FSpin, "7"}});
}

TEST_F(WindowTranslationTest, ExcludedControlsKeepTheirTextsAndSoDoTheirChildren) {
  TLang::ExcludeFromTranslation(FInfo);
  TLang::ExcludeFromTranslation(FCancel);
  TLang::SetLang(&FWindow, "German");
  ExpectTexts({{FInfoLine, "Cancel"},
               {FUnnamed, "Cancel"},
               {FStatusB, "Cancel"},
               {FCancel, "Cancel"},
               {FStatus, "Sende Firmware..."}});
}

TEST_F(WindowTranslationTest, UnnamedControlsTranslateTheirCurrentText) {
  TLang::SetLang(&FWindow, "German");
  EXPECT_EQ(FUnnamed->text(), "Abbrechen");
  TLang::SetLang(&FWindow, "English");
  EXPECT_EQ(FUnnamed->text(), "Abbrechen");  // nothing recorded to go back to
  FUnnamed->setText("Cancel");
  TLang::SetLang(&FWindow, "French");
  EXPECT_EQ(FUnnamed->text(), "Annuler");
}

TEST_F(WindowTranslationTest, TheRecordedSourceTextOutlivesTextsSetByCode) {
  TLang::SetLang(&FWindow, "German");
  EXPECT_EQ(Lng->TranslateToOryg(FStatus, "Text", "x"), "Sending Firmware...");
  EXPECT_EQ(Lng->TranslateToOryg(FUnnamed, "Text", "x"), "x");
  EXPECT_EQ(Lng->TranslateToOryg(FSpin, "Text", "x"), "x");
  FStatus->setText("Done");
  TLang::SetLang(&FWindow, "English");
  EXPECT_EQ(FStatus->text(), "Sending Firmware...");
}

TEST_F(WindowTranslationTest, AWindowCreatedAnewReusesTheRecordOfItsKey) {
  TLang::SetLang(&FWindow, "German");
  delete FCancel;
  FCancel = new QPushButton("Abbrechen", &FWindow);
  FCancel->setObjectName("btnCancel");
  TLang::SetLang(&FWindow, "French");
  EXPECT_EQ(FCancel->text(), "Annuler");
}

struct TPosCase {
  const char* SubStr;
  const char* Str;
  int Offset;
  int Expected;
};

class StrPosTest : public ::testing::TestWithParam<TPosCase> {};

TEST_P(StrPosTest, CountsFromOne) {
  EXPECT_EQ(TStr::Pos(GetParam().SubStr, GetParam().Str, GetParam().Offset), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, StrPosTest,
                         ::testing::Values(TPosCase{"a", "abca", 1, 1}, TPosCase{"a", "abca", 2, 4},
                                           TPosCase{"ca", "abca", 1, 3},
                                           TPosCase{"x", "abca", 1, 0}, TPosCase{"", "abc", 1, 0},
                                           TPosCase{"a", "abca", 0, 0}, TPosCase{"a", "abca", 5, 0},
                                           TPosCase{"a", "", 1, 0}));

TEST(StrTest, CopyIsOneBasedAndClipped) {
  EXPECT_EQ(TStr::FirstIndex(), 1);
  EXPECT_EQ(TStr::Copy("KX5210", 1, 4), "KX52");
  EXPECT_EQ(TStr::Copy("KX5210", 5, 10), "10");
  EXPECT_EQ(TStr::Copy("KX5210", 0, 2), "KX");
  EXPECT_EQ(TStr::Copy("KX5210", -5, 2), "KX");
  EXPECT_EQ(TStr::Copy("KX5210", 7, 1), "");
  EXPECT_EQ(TStr::Copy("KX5210", 2, 0), "");
  EXPECT_EQ(TStr::Copy("KX5210", 2, -1), "");
}

}  // namespace
