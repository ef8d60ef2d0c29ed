#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "SettingsTestFiles.h"
#include "TGlobals.Paths.h"

namespace {

// Sets an environment variable for the life of the object (unset when AValue is null).
class ScopedEnv {
 public:
  ScopedEnv(const char* AName, const QByteArray& AValue)
      : FName(AName), FHad(qEnvironmentVariableIsSet(AName)), FOld(qgetenv(AName)) {
    if (AValue.isNull())
      qunsetenv(AName);
    else
      qputenv(AName, AValue);
  }
  ~ScopedEnv() {
    if (FHad)
      qputenv(FName, FOld);
    else
      qunsetenv(FName);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* FName;
  bool FHad;
  QByteArray FOld;
};

// A home folder of its own, so default folders are created inside the test's temporary folder.
class PathsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    TGlobals::SetDataFolderOverride({});
    TGlobals::SetExportFolderOverride({});
  }
  QString Home(const QString& ARelative) const { return FHome.filePath(ARelative); }

  QTemporaryDir FHome;
  ScopedEnv FHomeEnv{"HOME", FHome.path().toLocal8Bit()};
  ScopedEnv FDataHome{"XDG_DATA_HOME", QByteArray()};
  ScopedEnv FConfigHome{"XDG_CONFIG_HOME", QByteArray()};
  ScopedEnv FDataEnv{"SEALWISE_DATA_DIR", QByteArray()};
};

TEST_F(PathsTest, DefaultFoldersAreCreatedUnderTheUsersHome) {
  EXPECT_EQ(TGlobals::GetDataDir(), Home(".local/share/Sealwise"));
  EXPECT_TRUE(QFileInfo(Home(".local/share/Sealwise")).isDir());
  EXPECT_EQ(TGlobals::GetExportDir(), Home("Documents"));
  EXPECT_TRUE(QFileInfo(TGlobals::GetExportDir()).isDir());
}

TEST_F(PathsTest, AppDirIsTheExecutablesFolderWithTrailingSeparator) {
  EXPECT_EQ(TGlobals::GetAppDir(), QCoreApplication::applicationDirPath() + "/");
}

TEST_F(PathsTest, OverridesWinOverTheEnvironmentWhichWinsOverTheDefault) {
  const ScopedEnv env("SEALWISE_DATA_DIR", Home("from-env").toLocal8Bit());
  EXPECT_EQ(TGlobals::GetDataDir(), Home("from-env"));
  TGlobals::SetDataFolderOverride(Home("data/nested"));
  TGlobals::SetExportFolderOverride(Home("export"));
  EXPECT_EQ(TGlobals::GetDataDir(), Home("data/nested"));
  EXPECT_EQ(TGlobals::GetExportDir(), Home("export"));
  EXPECT_TRUE(QFileInfo(Home("data/nested")).isDir());
  EXPECT_TRUE(QFileInfo(Home("export")).isDir());
  TGlobals::SetDataFolderOverride({});
  EXPECT_EQ(TGlobals::GetDataDir(), Home("from-env"));
}

TEST_F(PathsTest, ConfigFileIsCreatedEmptyAndAnExistingOneIsKept) {
  TGlobals::SetDataFolderOverride(Home("fresh"));
  const QString path = TGlobals::GetConfigFilePath();
  EXPECT_EQ(path, Home("fresh/Settings.cfg"));
  EXPECT_TRUE(QFileInfo(path).isFile());
  EXPECT_EQ(QFileInfo(path).size(), 0);
  ASSERT_TRUE(WriteBytes(path, "[Language]\nLang=Deutsch\n"));
  EXPECT_EQ(ReadBytes(TGlobals::GetConfigFilePath()), "[Language]\nLang=Deutsch\n");
}

// One colour function, its default and the expected colour for a given colors.ini text.
struct TColorCase {
  const char* Name;
  QRgb (*Function)();
  QByteArray Ini;  // null: no file
  QRgb Expected;
};

class LayoutColorTest : public PathsTest, public ::testing::WithParamInterface<TColorCase> {};

TEST_P(LayoutColorTest, ReadsTheKeyOrFallsBackToTheBuiltInColour) {
  TGlobals::SetDataFolderOverride(Home("layout"));
  if (!GetParam().Ini.isNull()) {
    ASSERT_TRUE(WriteBytes(QDir(TGlobals::GetDataDir()).filePath("colors.ini"), GetParam().Ini));
  }
  EXPECT_EQ(GetParam().Function(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LayoutColorTest,
    ::testing::Values(
        TColorCase{"NoFilePanel", TGlobals::ColorPanelHeader, QByteArray(), 0xFF1E1E1C},
        TColorCase{"NoFileToolBar", TGlobals::ColorToolBar, QByteArray(), 0xFF4A4A4A},
        TColorCase{"NoFileSelect", TGlobals::ColorPageSelect, QByteArray(), 0xFF008BCE},
        TColorCase{"NoFileChart", TGlobals::ColorChart, QByteArray(), 0xFF000000},
        TColorCase{"NoFileText", TGlobals::ColorText, QByteArray(), 0xFFFFFFFF},
        TColorCase{"NoFileChartBackground", TGlobals::ColorChartBackground, QByteArray(),
                   0xFFDFDFDF},
        TColorCase{"Dollar", TGlobals::ColorPanelHeader, "[Colors]\nPanel=$FF102030\n", 0xFF102030},
        TColorCase{"ZeroX", TGlobals::ColorToolBar, "[colors]\ntoolbar=0x80ABCDEF\n", 0x80ABCDEF},
        TColorCase{"Decimal", TGlobals::ColorPageSelect, "[Colors]\nSelect=16711680\n", 0x00FF0000},
        TColorCase{"Negative", TGlobals::ColorPanelHeader, "[Colors]\nPanel=-16777216\n",
                   0xFF000000},
        TColorCase{"MissingKey", TGlobals::ColorChart, "[Colors]\nPanel=$FF102030\n", 0xFF000000},
        TColorCase{"OtherSection", TGlobals::ColorText, "[Layout]\nText=$FF000000\n", 0xFFFFFFFF},
        TColorCase{"NotAnInteger", TGlobals::ColorChartBackground,
                   "[Colors]\nChartBackground=#DFDFDF\n", 0xFFDFDFDF}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PathsTest, LayoutNameIsEmptyWithoutAFileAndFollowsItsChanges) {
  TGlobals::SetDataFolderOverride(Home("layout"));
  EXPECT_TRUE(TGlobals::LayoutName().isEmpty());
  const QString ini = QDir(TGlobals::GetDataDir()).filePath("colors.ini");
  ASSERT_TRUE(WriteBytes(ini, "[Colors]\nName=Night shift\nPanel=$FF102030\n"));
  EXPECT_EQ(TGlobals::LayoutName(), "Night shift");
  ASSERT_TRUE(WriteBytes(ini, "[Colors]\nPanel=1\n"));
  EXPECT_TRUE(TGlobals::LayoutName().isEmpty());
  EXPECT_EQ(TGlobals::ColorPanelHeader(), 1u);
}

}  // namespace
