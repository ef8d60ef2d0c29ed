// A customer layout in the data folder, and the languages beside the program.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>

#include "ShellFixture.h"
#include "Vek.Controls.h"
#include "Vek.Panel.h"
#include "pages/uPageConnecting.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelUsers.h"

namespace {
void WriteFile(const QString& APath, const QByteArray& AContent) {
  QFile file(APath);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(AContent);
}

QImage Filled(const QColor& AColor, int ASize) {
  QImage image(ASize, ASize, QImage::Format_ARGB32);
  image.fill(AColor);
  return image;
}

QColor TextColor(const QWidget* AWidget) { return AWidget->palette().color(QPalette::WindowText); }

// The header strip of a panel: its label's parent.
QColor HeaderColor(const TPanel* APanel) {
  return APanel->HeaderLabel()->parentWidget()->palette().color(QPalette::Window);
}
}  // namespace

class TLayoutTest : public TShellTest {
 protected:
  void PrepareDataFolder() override {
    const QDir data(FData.path());
    WriteFile(data.filePath(QStringLiteral("colors.ini")),
              "[Colors]\nName=Acme\nPanel=$FF102030\nSelect=0xFF00FF00\n");
    ASSERT_TRUE(Filled(Qt::red, 32).save(data.filePath(QStringLiteral("3battery.png"))));
    ASSERT_TRUE(Filled(Qt::blue, 40).save(data.filePath(QStringLiteral("logo.png"))));
  }
};

TEST_F(TLayoutTest, PanelColourGoesToHeadersClockAndWaitingText) {
  StartAndSettle();
  const QColor panel(0x10, 0x20, 0x30);
  EXPECT_EQ(HeaderColor(Window->UsersPanel()), panel);
  EXPECT_EQ(TextColor(Find<QLabel>("lblDateTime")), panel);
  EXPECT_EQ(TextColor(Find<QLabel>("lblConnectingWaiting")), panel);
  EXPECT_EQ(Window->WorkingPage()->TabMarker()->palette().color(QPalette::Window),
            QColor(Qt::green));
  EXPECT_EQ(Window->WorkingPage()->Logo()->Picture().toImage().pixelColor(2, 2), QColor(Qt::blue));
}

TEST_F(TLayoutTest, OnlyTheBatteryPicturesThatExistComeFromTheFolder) {
  StartAndSettle();
  const TImageList& battery = dmIcons->ilBattery;
  ASSERT_EQ(battery.Count(), 7);
  EXPECT_EQ(battery.Image(3).size(), QSize(32, 32));
  EXPECT_EQ(battery.Image(3).pixelColor(5, 5), QColor(Qt::red));
  for (int i : {0, 1, 2, 4, 5, 6}) EXPECT_EQ(battery.Image(i), dmIcons->ilBatteryDefaults.Image(i));
}

class TNoLayoutTest : public TShellTest {
 protected:
  void PrepareDataFolder() override {
    // A battery picture without a layout name is not used.
    ASSERT_TRUE(
        Filled(Qt::red, 32).save(QDir(FData.path()).filePath(QStringLiteral("3battery.png"))));
  }
};

TEST_F(TNoLayoutTest, BuiltInLookAndBatteryPicturesScaledToTheIndicator) {
  StartAndSettle();
  EXPECT_EQ(HeaderColor(Window->UsersPanel()), QColor::fromRgba(0xFF1E1E1C));
  EXPECT_EQ(TextColor(Find<QLabel>("lblConnectingWaiting")), QColor(0xD3, 0xD3, 0xD3));
  const int width = Window->WorkingPage()->Battery()->width();
  const TImageList& battery = dmIcons->ilBattery;
  ASSERT_EQ(battery.Count(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(battery.Image(i).width(), width);
    EXPECT_EQ(battery.Image(i),
              dmIcons->ilBatteryDefaults.Image(i).scaledToWidth(width, Qt::SmoothTransformation));
  }
}

// A translation file beside the program, removed again when the test ends.
class TLanguageTest : public TShellTest {
 protected:
  void SetUp() override {
    FFile = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Testish.lng"));
    WriteFile(FFile,
              "\"Discovered Sealwise Devices:\" :=\"Found devices:\"\n"
              "\"Waiting for Sealwise device%s\" :=\"Waiting%s\"\n"
              "\"CHOOSE USER\" :=\"PICK\"\n");
    TShellTest::SetUp();
  }
  void TearDown() override {
    TShellTest::TearDown();
    QFile::remove(FFile);
  }
  QString FFile;
};

TEST_F(TLanguageTest, TheStoredLanguageTranslatesTheWindowByControlKeys) {
  Configuration->SetLanguage(QStringLiteral("Testish"));
  StartAndSettle();
  EXPECT_EQ(Window->Languages().first(), QStringLiteral("English"));
  EXPECT_TRUE(Window->Languages().contains(QStringLiteral("Testish")));
  QLabel* caption = Find<QLabel>("lblConnecting");
  EXPECT_EQ(TLng::ControlKey(caption, QStringLiteral("Text")),
            QStringLiteral("frmMain|lblConnecting|Text"));
  EXPECT_EQ(caption->text(), QStringLiteral("Found devices:"));
  EXPECT_EQ(Window->ConnectingPage()->Waiting().WaitingText(), QStringLiteral("Waiting\n"));
  EXPECT_EQ(Window->UsersPanel()->UsersLabel()->text(), QStringLiteral("PICK"));

  Configuration->SetLanguage(QStringLiteral("English"));
  Window->ApplyLanguage();
  EXPECT_EQ(caption->text(), QStringLiteral("Discovered Sealwise Devices:"));
  EXPECT_EQ(Window->UsersPanel()->UsersLabel()->text(), QStringLiteral("CHOOSE USER"));
}

TEST_F(TLanguageTest, DataControlsKeepTheirTexts) {
  Configuration->SetLanguage(QStringLiteral("Testish"));
  StartAndSettle();
  QLabel* version = Find<QLabel>("litmDevInfo_SoftwareRev");
  version->setText(QStringLiteral("CHOOSE USER"));  // a value that happens to have a translation
  Window->ApplyLanguage();
  EXPECT_EQ(version->text(), QStringLiteral("CHOOSE USER"));
}
