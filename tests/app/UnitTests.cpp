// Small helpers of the shell: placeholders, battery pictures, the image module, the command
// line and the page control.
#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "TGlobals.Shell.h"
#include "TestWait.h"
#include "Vek.Controls.h"
#include "Vek.PageControl.h"
#include "dIcons.h"
#include "uCommandLine.h"
#include "uPortAccess.h"

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

TEST(TFillPlaceholdersTest, FillsInOrderAndNeverSearchesInsertedText) {
  EXPECT_EQ(TGlobals::FillPlaceholders(QStringLiteral("Connecting to %s device%s"),
                                       {QStringLiteral("a%sb"), QStringLiteral("\n")}),
            QStringLiteral("Connecting to a%sb device\n"));
  EXPECT_EQ(TGlobals::FillPlaceholders(QStringLiteral("%s-%s-%s"), {QStringLiteral("x")}),
            QStringLiteral("x--"));
  EXPECT_EQ(TGlobals::FillPlaceholders(QStringLiteral("none"), {}), QStringLiteral("none"));
}

class TBatteryIndexTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(TBatteryIndexTest, LevelGivesItsPicture) {
  EXPECT_EQ(TGlobals::BatteryLevelToImageIndex(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Levels, TBatteryIndexTest,
                         ::testing::Values(std::pair{0, 2}, std::pair{1, 3}, std::pair{2, 4},
                                           std::pair{3, 5}, std::pair{4, 6}, std::pair{5, 1},
                                           std::pair{6, 0}, std::pair{9, 0}, std::pair{-1, 0}));

TEST(TImageModuleTest, EveryListHasItsEntriesAndNoneIsBlank) {
  TdmIcons icons;
  const std::pair<TIconList, int> lists[] = {
      {TIconList::Panels, 3},     {TIconList::Footer, 4},          {TIconList::License, 2},
      {TIconList::Connectors, 4}, {TIconList::BatteryDefaults, 7}, {TIconList::Battery, 7},
      {TIconList::Sealwise, 5},   {TIconList::Icons, 10}};
  for (const auto& [list, count] : lists) {
    const TImageList& images = icons.List(list);
    ASSERT_EQ(images.Count(), count);
    for (int i = 0; i < count; ++i) {
      const QImage image = images.Image(i);
      int painted = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) > 0;
      EXPECT_GT(painted, image.width() * image.height() / 50) << int(list) << ":" << i;
    }
  }
  EXPECT_TRUE(icons.ilIcons.Bitmap(-1, QSize(16, 16)).isNull());
  EXPECT_TRUE(icons.ilIcons.Bitmap(10, QSize(16, 16)).isNull());
  // Different pictures for different meanings.
  EXPECT_NE(icons.ilBatteryDefaults.Image(2), icons.ilBatteryDefaults.Image(6));
  EXPECT_NE(icons.ilSealwise.Image(0), icons.ilSealwise.Image(1));
}

// Drawings are rendered on first use: a picture given before that, or a list copied before
// that, must not be lost to the late rendering.
TEST(TImageModuleTest, PicturesGivenOrCopiedBeforeFirstUseAreKept) {
  TdmIcons icons;
  QImage red(8, 8, QImage::Format_ARGB32_Premultiplied);
  red.fill(Qt::red);
  icons.ilIcons.SetImage(TIcon::IconSave, red);
  EXPECT_EQ(icons.ilIcons.Image(TIcon::IconSave), red);
  EXPECT_EQ(icons.ilIcons.Bitmap(TIcon::IconSave, QSize(4, 4)).toImage().pixelColor(1, 1),
            QColor(Qt::red));
  ASSERT_EQ(icons.ilBattery.Count(), icons.ilBatteryDefaults.Count());
  for (int i = 0; i < icons.ilBattery.Count(); ++i) {
    EXPECT_FALSE(icons.ilBattery.Image(i).isNull()) << i;
    EXPECT_EQ(icons.ilBattery.Image(i), icons.ilBatteryDefaults.Image(i)) << i;
  }
}

TEST(TImageModuleTest, ControlsFindTheirPicturesOnceTheModuleExists) {
  TGlyph glyph(QStringLiteral("imgTest"), nullptr);
  glyph.resize(24, 24);
  glyph.SetImage(TIconList::Icons, TIcon::IconLocation);
  EXPECT_TRUE(glyph.Shown().isNull());
  dmIcons = std::make_unique<TdmIcons>();
  EXPECT_FALSE(glyph.Shown().isNull());
  glyph.SetImageIndex(-1);
  EXPECT_TRUE(glyph.Shown().isNull());
  dmIcons.reset();
}

TEST(TCommandLineTest, ReadsTheOptions) {
  QString error;
  const TCommandLine line = TCommandLine::Parse(
      {QStringLiteral("sealwise"), QStringLiteral("--demo"), QStringLiteral("kx5220"),
       QStringLiteral("--serial-port"), QStringLiteral("/dev/pts/4"),
       QStringLiteral("--serial-port=/dev/pts/5"), QStringLiteral("--connect"),
       QStringLiteral("/dev/pts/4"), QStringLiteral("--data-dir"), QStringLiteral("/tmp/d"),
       QStringLiteral("--export-dir"), QStringLiteral("/tmp/e"), QStringLiteral("--screenshots"),
       QStringLiteral("/tmp/s")},
      &error);
  EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
  EXPECT_TRUE(line.Demo);
  EXPECT_EQ(line.DemoModel, QStringLiteral("KX5220"));
  EXPECT_EQ(line.SerialPorts, (QStringList{"/dev/pts/4", "/dev/pts/5"}));
  EXPECT_EQ(line.ConnectKey, QStringLiteral("/dev/pts/4"));
  EXPECT_EQ(line.DataDir, QStringLiteral("/tmp/d"));
  EXPECT_EQ(line.ExportDir, QStringLiteral("/tmp/e"));
  EXPECT_EQ(line.ScreenshotsDir, QStringLiteral("/tmp/s"));
}

TEST(TCommandLineTest, DemoDefaultsToTheKx5210AndTakesItsModelAfterAnEqualsSign) {
  QString error;
  EXPECT_EQ(TCommandLine::Parse({"sealwise", "--demo"}, &error).DemoModel,
            QStringLiteral("KX5210"));
  EXPECT_EQ(TCommandLine::Parse({"sealwise", "--demo=KX5211"}, &error).DemoModel,
            QStringLiteral("KX5211"));
  EXPECT_TRUE(error.isEmpty());
}

class TBadCommandLineTest : public ::testing::TestWithParam<QStringList> {};

TEST_P(TBadCommandLineTest, IsRefusedWithAMessage) {
  QString error;
  TCommandLine::Parse(GetParam(), &error);
  EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Lines, TBadCommandLineTest,
                         ::testing::Values(QStringList{"sealwise", "KX5210"},
                                           QStringList{"sealwise", "--demo", "KX9"},
                                           QStringList{"sealwise", "--screenshots", "/tmp/s"},
                                           QStringList{"sealwise", "--demo", "KX5210", "KX5211"},
                                           QStringList{"sealwise", "--no-such-option"}));

TEST(TPageControlTest, TheActivePageChangesAtOnceAndTheSlideSettlesBothPages) {
  TPageControl pages;
  pages.resize(200, 100);
  QWidget* first = pages.AddPage(QStringLiteral("a"));
  QWidget* second = pages.AddPage(QStringLiteral("b"));
  int changes = 0;
  pages.OnChange = [&] { ++changes; };
  pages.show();
  ASSERT_TRUE(WaitUntil([&] { return pages.isVisible(); }));
  pages.SetActivePage(second, TTabTransition::Slide);
  EXPECT_EQ(pages.ActivePage(), second);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(first->isVisible());  // sliding out
  EXPECT_TRUE(WaitUntil([&] { return !first->isVisible(); }, 2000));
  EXPECT_EQ(second->geometry(), pages.contentsRect());
  // A change during a slide ends the slide first.
  pages.SetActivePage(first, TTabTransition::Slide);
  pages.SetActivePage(second, TTabTransition::Slide);
  EXPECT_TRUE(WaitUntil([&] { return !first->isVisible(); }, 2000));
  EXPECT_EQ(second->geometry(), pages.contentsRect());
  EXPECT_EQ(changes, 3);
  TGlobals::SwitchTab(second);  // already shown: the change handler runs again
  EXPECT_EQ(changes, 4);
}

TEST(TPortAccessTest, AnUnreadablePortIsAPermissionProblem) {
#ifdef Q_OS_LINUX
  if (geteuid() == 0) GTEST_SKIP() << "root may open any port";
  QTemporaryDir folder;
  const QString port = folder.filePath(QStringLiteral("ttyFake"));
  QFile file(port);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  ASSERT_TRUE(file.setPermissions(QFileDevice::Permissions()));
  EXPECT_TRUE(TPortAccess::IsPermissionDenied(port));
  EXPECT_FALSE(TPortAccess::IsPermissionDenied(folder.filePath(QStringLiteral("missing"))));
  EXPECT_TRUE(TPortAccess::PermissionHint().contains(QStringLiteral("dialout")));
#else
  GTEST_SKIP();
#endif
}
