// The connection page list, the users panel, the tutorial and the agreement text.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "ShellFixture.h"
#include "TGlobals.Shell.h"
#include "Vek.Controls.h"
#include "pages/uPageConnecting.h"
#include "pages/uPageLicense.h"
#include "pages/uPageTutorial.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelUsers.h"

// --- device list ---------------------------------------------------------------------------

class TConnectingTest : public TShellTest {
 protected:
  void SetUp() override {
    TShellTest::SetUp();
    StartAndSettle();
  }
  QListWidget* List() const { return Window->ConnectingPage()->List(); }
  // The rows as "H:text" for headers and "D:text=key" for devices.
  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < List()->count(); ++i) {
      const QListWidgetItem* item = List()->item(i);
      const bool header =
          item->data(TConnectingPage::PurposeRole).toInt() == TConnectingPage::ipHeader;
      rows << (header ? QStringLiteral("H:") + item->text()
                      : QStringLiteral("D:%1=%2").arg(
                            item->text(), item->data(TConnectingPage::TagStringRole).toString()));
    }
    return rows;
  }
  void Tap(int ARow) {
    QListWidgetItem* item = List()->item(ARow);
    List()->setCurrentItem(item);
    Window->ConnectingPage()->TapItem(item);
  }
};

TEST_F(TConnectingTest, GroupsFollowTheOrderTheirFirstCyclesEnded) {
  Link(CONN_BLE).Devices = {{QStringLiteral("AA:01"), QStringLiteral("KX5220_A")},
                            {QStringLiteral("AA:02"), QString()}};
  Link(CONN_BLE).EndDiscovery();
  Usb().Devices = {{QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB0")}};
  Usb().EndDiscovery();
  EXPECT_EQ(Rows(), (QStringList{"H:Bluetooth Devices:", "D:KX5220_A=AA:01", "D:N\\A=AA:02",
                                 "H:USB Devices:", "D:ttyUSB0=ttyUSB0"}));
  // A later cycle replaces its own group in place.
  Link(CONN_BLE).Devices = {{QStringLiteral("AA:03"), QStringLiteral("KX5210_C")}};
  Link(CONN_BLE).EndDiscovery();
  EXPECT_EQ(Rows(), (QStringList{"H:Bluetooth Devices:", "D:KX5210_C=AA:03",
                                 "H:USB Devices:", "D:ttyUSB0=ttyUSB0"}));
  // An empty cycle removes the group, header included.
  Link(CONN_BLE).Devices.clear();
  Link(CONN_BLE).EndDiscovery();
  EXPECT_EQ(Rows(), (QStringList{"H:USB Devices:", "D:ttyUSB0=ttyUSB0"}));
}

TEST_F(TConnectingTest, EveryCycleRequestsTheNextOnItsOwnLink) {
  const int usb = Usb().DiscoverCalls;
  const int ble = Link(CONN_BLE).DiscoverCalls;
  Usb().EndDiscovery();
  EXPECT_EQ(Usb().DiscoverCalls, usb + 1);
  EXPECT_EQ(Link(CONN_BLE).DiscoverCalls, ble);
}

TEST_F(TConnectingTest, ATappedUsbDeviceConnectsAtTheNextUsbCycleOnly) {
  Usb().Devices = {{QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB0")}};
  Usb().EndDiscovery();
  Tap(1);
  EXPECT_EQ(Window->ConnectingPage()->Waiting().WaitingText(),
            QStringLiteral("Connecting to ttyUSB0 device\n"));
  Link(CONN_BLE).EndDiscovery();  // another link's cycle does not connect
  EXPECT_TRUE(Usb().ConnectKeys.empty());
  Usb().EndDiscovery();
  EXPECT_EQ(Usb().ConnectKeys, std::vector<QString>{QStringLiteral("ttyUSB0")});
}

TEST_F(TConnectingTest, ATappedHeaderOnlyClearsTheSelectionAtTheNextCycle) {
  Usb().Devices = {{QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB0")}};
  Usb().EndDiscovery();
  Tap(0);
  Usb().Devices.clear();
  Usb().EndDiscovery();  // the list is not updated in this cycle
  EXPECT_TRUE(List()->selectedItems().isEmpty());
  EXPECT_EQ(Rows().size(), 2);
  EXPECT_TRUE(Usb().ConnectKeys.empty());
  Usb().EndDiscovery();
  EXPECT_TRUE(Rows().isEmpty());
}

TEST_F(TConnectingTest, ResultsAreDroppedWhileALocalLinkIsConnected) {
  Usb().Devices = {{QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB0")}};
  Usb().EndDiscovery();
  Tap(1);
  Usb().EndDiscovery();
  ASSERT_TRUE(WaitUntil([this] { return Shown() == Window->tabWorking(); }));
  Window->ConnectingPage()->StartDiscovery();  // as if the page were entered again
  const int calls = Link(CONN_BLE).DiscoverCalls;
  Link(CONN_BLE).Devices = {{QStringLiteral("AA:01"), QStringLiteral("KX5220_A")}};
  Link(CONN_BLE).EndDiscovery();
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_EQ(Link(CONN_BLE).DiscoverCalls, calls);
}

TEST_F(TConnectingTest, APortThatCannotBeOpenedIsReportedOnce) {
  Usb().Devices = {{QStringLiteral("ttyUSB7"), QStringLiteral("ttyUSB7")}};
  Usb().ConnectError = QStringLiteral("Can't open port ttyUSB7");
  Usb().EndDiscovery();
  Tap(1);
  Usb().EndDiscovery();
  ASSERT_EQ(Messages().size(), 1);
  EXPECT_TRUE(Messages().first()->text().startsWith(QStringLiteral("Can't open port ttyUSB7")));
  EXPECT_TRUE(List()->selectedItems().isEmpty());
  EXPECT_EQ(Window->ConnectingPage()->Waiting().WaitingText(), WaitingForDeviceText());
  CloseMessages();
  Usb().EndDiscovery();
  EXPECT_TRUE(Messages().isEmpty());
  EXPECT_EQ(Usb().ConnectKeys.size(), 1u);
}

TEST_F(TConnectingTest, AKeyGivenOnTheCommandLineIsSelectedWhenListed) {
  Window->ConnectingPage()->SelectWhenListed(QStringLiteral("ttyUSB3"));
  Usb().Devices = {{QStringLiteral("ttyUSB2"), QStringLiteral("ttyUSB2")}};
  Usb().EndDiscovery();
  EXPECT_TRUE(List()->selectedItems().isEmpty());
  Usb().Devices.insert(QStringLiteral("ttyUSB3"), QStringLiteral("ttyUSB3"));
  Usb().EndDiscovery();
  ASSERT_EQ(List()->selectedItems().size(), 1);
  EXPECT_EQ(List()->selectedItems().first()->text(), QStringLiteral("ttyUSB3"));
  Usb().EndDiscovery();
  EXPECT_EQ(Usb().ConnectKeys, std::vector<QString>{QStringLiteral("ttyUSB3")});
}

TEST_F(TConnectingTest, TheDisclaimerHasAnEmptyLineBetweenItsParagraphs) {
  const QString text = Find<QLabel>("lblWarning2")->text();
  EXPECT_TRUE(text.contains(QStringLiteral("fitting.\n\nPlease consult")));
  EXPECT_FALSE(text.contains(QStringLiteral("%s")));
}

// --- waiting text --------------------------------------------------------------------------

TEST(TWaitingTextTest, DotsCycleFromOneToFiveAndARetargetShowsFromTheNextTick) {
  QLabel label;
  TWaitingText waiting(&label);
  waiting.Start(QStringLiteral("Waiting\n"));
  EXPECT_EQ(label.text(), QStringLiteral("Waiting\n"));
  QStringList seen;
  for (int i = 0; i < 6; ++i) {
    const QString before = label.text();
    ASSERT_TRUE(WaitUntil([&] { return label.text() != before; }, 2000));
    seen << label.text().section(QLatin1Char('\n'), 1);
  }
  EXPECT_EQ(seen, (QStringList{".", "..", "...", "....", ".....", "."}));
  waiting.Start(QStringLiteral("Other\n"));
  EXPECT_TRUE(label.text().startsWith(QStringLiteral("Waiting")));
  EXPECT_TRUE(WaitUntil([&] { return label.text() == QLatin1String("Other\n.."); }, 2000));
  waiting.Stop();
  EXPECT_TRUE(label.text().isEmpty());
  EXPECT_FALSE(waiting.IsRunning());
}

// --- users panel ---------------------------------------------------------------------------

class TUsersTest : public TShellTest {
 protected:
  void SetUp() override {
    TShellTest::SetUp();
    StartAndSettle();
    ConnectUsb(QStringLiteral("KX5210_A"));
    dmDb->AddUser(QStringLiteral("Zoe"));
    dmDb->AddUser(QStringLiteral("adam"));
  }
  TUsersPanel* Users() const { return Window->UsersPanel(); }
  QStringList Entries() const {
    QStringList entries;
    for (int i = 0; i < Users()->UserList()->count(); ++i)
      entries << Users()->UserList()->item(i)->text();
    return entries;
  }
  void TapEntry(const QString& AText) {
    const QList<QListWidgetItem*> found = Users()->UserList()->findItems(AText, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << qPrintable(AText);
    emit Users()->UserList()->itemClicked(found.first());
  }
  void AddUser(const QString& AName) {
    emit Users()->UsersLabel()->Clicked();
    TapEntry(QStringLiteral("Add User"));
    EXPECT_EQ(Users()->Selector()->ActivePage()->objectName(), QStringLiteral("tabUserSelAdd"));
    QLineEdit* edit = Users()->UserAddEdit();
    EXPECT_TRUE(edit->text().isEmpty());
    edit->setText(AName);
    emit edit->editingFinished();
    emit edit->editingFinished();  // Enter, then the loss of focus
  }
};

TEST_F(TUsersTest, TheLabelOpensTheSortedListBetweenAddAndCancel) {
  EXPECT_EQ(Users()->PanelHeight(), TUsersPanel::CollapsedHeight);
  emit Users()->UsersLabel()->Clicked();
  EXPECT_EQ(Entries(), (QStringList{"Add User", "adam", "Zoe", "Cancel..."}));
  EXPECT_TRUE(Users()->IsExpanded());
  EXPECT_EQ(Users()->PanelHeight(), Window->WorkingPage()->Pages()->height() / 2);
  EXPECT_EQ(Users()->UserList()->item(0)->foreground().color(), QColor(0xFF, 0, 0));
  EXPECT_EQ(Users()->UserList()->item(3)->foreground().color(), QColor(0x00, 0x8B, 0xCE));
}

TEST_F(TUsersTest, SelectingAUserSetsTheStoreIdAndTheDeviceUserName) {
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Zoe"));
  EXPECT_EQ(Users()->UsersLabel()->text(), QStringLiteral("Zoe"));
  EXPECT_EQ(Window->SelectedUserID(), dmDb->GetUserID(QStringLiteral("Zoe")));
  EXPECT_NE(Window->SelectedUserID(), 0);
  EXPECT_EQ(Window->DevData().UserName(), QStringLiteral("Zoe"));
  EXPECT_FALSE(Users()->IsExpanded());
  EXPECT_EQ(Users()->PanelHeight(), TUsersPanel::CollapsedHeight);
}

TEST_F(TUsersTest, CancelKeepsThePreviousSelection) {
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("adam"));
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Cancel..."));
  EXPECT_EQ(Users()->UsersLabel()->text(), QStringLiteral("adam"));
  EXPECT_EQ(Window->SelectedUserID(), dmDb->GetUserID(QStringLiteral("adam")));
  EXPECT_FALSE(Users()->IsExpanded());
}

TEST_F(TUsersTest, AddingAUserStoresAndSelectsIt) {
  AddUser(QStringLiteral("Bea"));
  EXPECT_EQ(Users()->Selector()->ActivePage()->objectName(), QStringLiteral("tabUserSel"));
  EXPECT_EQ(Users()->UsersLabel()->text(), QStringLiteral("Bea"));
  EXPECT_NE(dmDb->GetUserID(QStringLiteral("Bea")), 0);
  EXPECT_EQ(Window->SelectedUserID(), dmDb->GetUserID(QStringLiteral("Bea")));
  EXPECT_TRUE(Users()->UserAddEdit()->text().isEmpty());
  emit Users()->UsersLabel()->Clicked();
  EXPECT_EQ(Entries(), (QStringList{"Add User", "adam", "Bea", "Zoe", "Cancel..."}));
}

TEST_F(TUsersTest, AnExistingNameIsSelectedWithoutASecondEntry) {
  AddUser(QStringLiteral("ZOE"));
  EXPECT_EQ(Window->SelectedUserID(), dmDb->GetUserID(QStringLiteral("Zoe")));
  QStringList users;
  dmDb->GetUsers(&users);
  EXPECT_EQ(users.size(), 2);
}

TEST_F(TUsersTest, AnEmptyNameClearsTheSelection) {
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Zoe"));
  AddUser(QString());
  EXPECT_EQ(Users()->UsersLabel()->text(), QStringLiteral("CHOOSE USER"));
  EXPECT_EQ(Window->SelectedUserID(), 0);
  EXPECT_TRUE(Window->DevData().UserName().isEmpty());
}

// What typing does: at most ten characters make a name, but the choose-user text can be typed
// in full (in any letter case) and then means no user; a longer start of it is cut when the
// edit is left. "Wearer" is a language whose choose-user text is long and plain.
struct TTypedNameCase {
  const char* Language;  // nullptr: English
  const char* Typed;
  const char* Selected;  // nullptr: no user
};

void PrintTo(const TTypedNameCase& ACase, std::ostream* AOut) {
  *AOut << '"' << ACase.Typed << '"' << (ACase.Language ? " in " : "")
        << (ACase.Language ? ACase.Language : "");
}

class TTypedNameTest : public TUsersTest, public ::testing::WithParamInterface<TTypedNameCase> {
 protected:
  void SetUp() override {
    TUsersTest::SetUp();
    if (!GetParam().Language) return;
    const QString file = QDir(FData.path()).filePath(QStringLiteral("Wearer.lng"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("\"CHOOSE USER\" :=\"PICK A WEARER\"\n");
    out.close();
    TLang::AddLang(QStringLiteral("Wearer"), file);
    Configuration->SetLanguage(QLatin1String(GetParam().Language));
    Window->ApplyLanguage();
  }
};

TEST_P(TTypedNameTest, TypedNamesAreCutToTenUnlessTheyAreTheChooseUserText) {
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Zoe"));
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Add User"));
  QLineEdit* edit = Users()->UserAddEdit();
  QTest::keyClicks(edit, QLatin1String(GetParam().Typed));
  QTest::keyClick(edit, Qt::Key_Return);
  QStringList users;
  dmDb->GetUsers(&users);
  if (GetParam().Selected) {
    const QString name = QLatin1String(GetParam().Selected);
    EXPECT_EQ(Users()->UsersLabel()->text(), name);
    EXPECT_EQ(Window->SelectedUserID(), dmDb->GetUserID(name));
    EXPECT_EQ(users.size(), 3);
  } else {
    EXPECT_EQ(Users()->UsersLabel()->text(), ChooseUserText());
    EXPECT_EQ(Window->SelectedUserID(), 0);
    EXPECT_TRUE(Window->DevData().UserName().isEmpty());
    EXPECT_EQ(users.size(), 2);  // nothing stored
  }
  EXPECT_EQ(Users()->Selector()->ActivePage()->objectName(), QStringLiteral("tabUserSel"));
}

INSTANTIATE_TEST_SUITE_P(
    Names, TTypedNameTest,
    ::testing::Values(TTypedNameCase{nullptr, "Bea", "Bea"},
                      TTypedNameCase{nullptr, "Bartholomew1", "Bartholome"},
                      TTypedNameCase{nullptr, "CHOOSE", "CHOOSE"},
                      TTypedNameCase{nullptr, "CHOOSE USER", nullptr},
                      TTypedNameCase{nullptr, "choose user", nullptr},
                      TTypedNameCase{nullptr, "CHOOSE USERS", nullptr},
                      TTypedNameCase{"Wearer", "Pick A Wearer", nullptr},
                      TTypedNameCase{"Wearer", "PICK A WEAR", "PICK A WEA"}));

TEST_F(TUsersTest, AStoredUserNamedChooseUserCountsAsNone) {
  dmDb->AddUser(QStringLiteral("Choose User"));
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Choose User"));
  EXPECT_EQ(Users()->UsersLabel()->text(), QStringLiteral("CHOOSE USER"));
  EXPECT_EQ(Window->SelectedUserID(), 0);
  EXPECT_TRUE(TUsersPanel::IsNoUserName(QStringLiteral("choose user")));
  EXPECT_TRUE(TUsersPanel::IsNoUserName(QString()));
  EXPECT_FALSE(TUsersPanel::IsNoUserName(QStringLiteral("choose")));
}

TEST_F(TUsersTest, ALanguageChangeKeepsTheSelectedName) {
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Zoe"));
  Window->ApplyLanguage();
  EXPECT_EQ(Users()->UsersLabel()->text(), QStringLiteral("Zoe"));
}

TEST_F(TUsersTest, LeavingTheSelectorCollapsesTheList) {
  emit Users()->UsersLabel()->Clicked();
  ASSERT_TRUE(Users()->IsExpanded());
  Users()->Selector()->SetActivePage(Users()->Selector()->widget(1), TTabTransition::None);
  EXPECT_FALSE(Users()->IsExpanded());
  Users()->ShowUserLabel();
  EXPECT_EQ(Users()->Selector()->ActivePage()->objectName(), QStringLiteral("tabUserSel"));
}

TEST_F(TUsersTest, TheListSlidesOpenIn200Ms) {
  TPageControl::SetAnimationsEnabled(true);
  emit Users()->UsersLabel()->Clicked();
  const int expanded = Window->WorkingPage()->Pages()->height() / 2;
  EXPECT_LT(Users()->PanelHeight(), expanded);  // still growing
  EXPECT_TRUE(WaitUntil([&] { return Users()->height() == expanded; }, 2000));
  TapEntry(QStringLiteral("Cancel..."));
  EXPECT_TRUE(WaitUntil([&] { return Users()->height() == TUsersPanel::CollapsedHeight; }, 2000));
}

TEST_F(TUsersTest, TheListIsSeenOnlyWhileThePanelIsExpanded) {
  QListWidget* list = Users()->UserList();
  EXPECT_FALSE(list->isVisible());
  emit Users()->UsersLabel()->Clicked();
  EXPECT_TRUE(list->isVisible());
  TapEntry(QStringLiteral("Zoe"));
  EXPECT_FALSE(list->isVisible());
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Add User"));  // the edit is shown, the list goes
  EXPECT_FALSE(list->isVisible());
}

// The language is switched as the settings page does: stored, then the window re-translated.
class TUsersLanguageTest : public TUsersTest {
 protected:
  void UseLanguage(const QString& AName) {
    if (AName != QStringLiteral("English") && !Window->Languages().contains(AName))
      TLang::AddLang(AName, QStringLiteral(SEALWISE_SOURCE_DIR "/translations/%1.lng").arg(AName));
    Configuration->SetLanguage(AName);
    Window->ApplyLanguage();
  }
};

TEST_F(TUsersLanguageTest, AChangeTranslatesTheListEntriesAndKeepsTheSelection) {
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Zoe"));
  const int zoe = Window->SelectedUserID();
  emit Users()->UsersLabel()->Clicked();
  Users()->UserList()->setCurrentRow(1);
  UseLanguage(QStringLiteral("Deutsch"));
  EXPECT_EQ(Entries(), (QStringList{"Benutzer hinzufügen", "adam", "Zoe", "Abbrechen..."}));
  EXPECT_EQ(Users()->UserList()->item(0)->foreground().color(), QColor(0xFF, 0, 0));
  EXPECT_EQ(Users()->UserList()->currentRow(), 1);
  EXPECT_EQ(Users()->UsersLabel()->text(), QStringLiteral("Zoe"));
  EXPECT_EQ(Window->SelectedUserID(), zoe);
  UseLanguage(QStringLiteral("English"));
  EXPECT_EQ(Entries(), (QStringList{"Add User", "adam", "Zoe", "Cancel..."}));
}

// The first entry to the working page put the text into the edit; it is never cut, and it
// follows the language until the user types.
TEST_F(TUsersLanguageTest, TheEditHoldsTheWholeChooseUserTextInTheCurrentLanguage) {
  QLineEdit* edit = Users()->UserAddEdit();
  EXPECT_EQ(edit->text(), QStringLiteral("CHOOSE USER"));
  UseLanguage(QStringLiteral("Deutsch"));
  EXPECT_EQ(edit->text(), QStringLiteral("BENUTZER WÄHLEN"));
  EXPECT_TRUE(edit->hasAcceptableInput());
  emit Users()->UsersLabel()->Clicked();
  TapEntry(QStringLiteral("Benutzer hinzufügen"));
  UseLanguage(QStringLiteral("English"));
  EXPECT_TRUE(edit->text().isEmpty());
}

class TUsersLabelFitTest : public TUsersLanguageTest,
                           public ::testing::WithParamInterface<const char*> {};

// Nothing covers the name in the collapsed panel, and it fits the narrow window in full.
TEST_P(TUsersLabelFitTest, TheCollapsedPanelShowsTheWholeChooseUserText) {
  UseLanguage(QString::fromUtf8(GetParam()));
  emit Users()->UsersLabel()->Clicked();
  TapEntry(TranslateText(QStringLiteral("Cancel...")));
  QApplication::processEvents();  // the layout settles
  ASSERT_EQ(Window->width(), 309);
  QLabel* label = Users()->UsersLabel();
  EXPECT_EQ(label->text(), ChooseUserText());
  EXPECT_GE(label->width(), label->sizeHint().width());
  EXPECT_GE(label->height(), label->sizeHint().height());
  const QRect shown(label->mapTo(Users(), QPoint(0, 0)), label->size());
  EXPECT_TRUE(Users()->rect().contains(shown));
  const QRect text = label->contentsRect();
  for (const QPoint corner : {text.topLeft(), text.bottomRight(), text.bottomLeft()})
    EXPECT_EQ(Users()->childAt(label->mapTo(Users(), corner)), label);
}

INSTANTIATE_TEST_SUITE_P(Languages, TUsersLabelFitTest,
                         ::testing::Values("English", "Deutsch", "Français"));

// --- tutorial ------------------------------------------------------------------------------

class TTutorialTest : public TShellTest {
 protected:
  TTutorialPage* Tutorial() const { return Window->TutorialPage(); }
  QString ShownPage() const { return Tutorial()->Pages()->ActivePage()->objectName(); }
};

TEST_F(TTutorialTest, WithoutADeviceFiveHalfMaskPages) {
  StartAndSettle();
  Window->ShowTutorialFromSettings();
  EXPECT_EQ(Shown(), Window->tabTutorial());
  EXPECT_EQ(Window->TutorialTabsCount(), 5);
  for (int i = 1; i <= 5; ++i)
    EXPECT_TRUE(Tutorial()->PictureFile(i).endsWith(QStringLiteral("inm_st%1.png").arg(i)));
  EXPECT_TRUE(Tutorial()->PictureFile(6).isEmpty());
  EXPECT_FALSE(Find<QWidget>("swTutorial")->isVisible());
}

struct TTutorialCase {
  const char* DeviceName;
  int Pages;
  const char* Pattern;
};

class TTutorialModelTest : public TTutorialTest,
                           public ::testing::WithParamInterface<TTutorialCase> {};

TEST_P(TTutorialModelTest, ConnectedModelsChooseTheirPictures) {
  StartAndSettle();
  ConnectUsb(QLatin1String(GetParam().DeviceName));
  ASSERT_TRUE(WaitUntil([this] { return !Window->DevData().DeviceType().isEmpty(); }));
  Window->ShowTutorialFromSettings();
  EXPECT_EQ(Window->TutorialTabsCount(), GetParam().Pages);
  for (int i = 1; i <= GetParam().Pages; ++i)
    EXPECT_TRUE(
        Tutorial()->PictureFile(i).endsWith(QString::fromLatin1(GetParam().Pattern).arg(i)));
}

INSTANTIATE_TEST_SUITE_P(Models, TTutorialModelTest,
                         ::testing::Values(TTutorialCase{"KX5210_A", 6, "offm_st%1.png"},
                                           TTutorialCase{"KX5211_A", 6, "offm_st%1.png"},
                                           TTutorialCase{"KX5220_A", 5, "inm_st%1.png"}));

TEST_F(TTutorialTest, ButtonsFollowThePageAndTheLastPageCloses) {
  StartAndSettle();
  Window->ShowTutorialFromSettings();
  EXPECT_EQ(ShownPage(), QStringLiteral("tabTutorial1"));
  EXPECT_FALSE(Tutorial()->BackButton()->isEnabled());
  for (int i = 2; i <= 5; ++i) {
    Tutorial()->NextButton()->click();
    EXPECT_EQ(ShownPage(), QStringLiteral("tabTutorial%1").arg(i));
  }
  EXPECT_TRUE(Tutorial()->BackButton()->isEnabled());
  EXPECT_FALSE(Tutorial()->NextButton()->isVisible());
  EXPECT_TRUE(Tutorial()->CloseButton()->isVisible());
  Tutorial()->BackButton()->click();
  EXPECT_TRUE(Tutorial()->NextButton()->isVisible());
  EXPECT_FALSE(Tutorial()->CloseButton()->isVisible());
  // Going on past the last page (a swipe) closes at once: still starting, so to the connection
  // page.
  Tutorial()->NextButton()->click();
  Tutorial()->Pages()->SetActivePage(Tutorial()->Pages()->widget(5), TTabTransition::None);
  EXPECT_EQ(Shown(), Window->tabConnecting());
}

TEST_F(TTutorialTest, CloseReturnsToTheWorkingPageOnceConnected) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_A"));
  Window->ShowTutorialFromSettings();
  Tutorial()->CloseButton()->click();
  EXPECT_EQ(Shown(), Window->tabWorking());
  // Opening again starts at the first picture.
  Window->ShowTutorialFromSettings();
  EXPECT_EQ(ShownPage(), QStringLiteral("tabTutorial1"));
}

TEST(TTutorialPicturesTest, FilesAreLoadedAndMissingOnesAreWhite) {
  QTemporaryDir folder;
  QImage red(40, 60, QImage::Format_RGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(QDir(folder.path()).filePath(QStringLiteral("offm_st2.png"))));
  TTutorialPage page(nullptr);
  page.resize(309, 548);
  page.LoadTutorialImages(folder.path(), true);
  EXPECT_EQ(page.TutorialTabsCount(), 6);
  EXPECT_EQ(page.Picture(2)->Picture().toImage().pixelColor(5, 5), QColor(Qt::red));
  for (int i : {1, 3, 6})
    EXPECT_EQ(page.Picture(i)->Picture().toImage().pixelColor(5, 5), QColor(Qt::white)) << i;
}

// --- agreement -----------------------------------------------------------------------------

TEST(TLicensePageTest, TheTextIsReadInTheBackgroundAndJoinedByLineBreaks) {
  QTemporaryDir folder;
  const QString file = QDir(folder.path()).filePath(QStringLiteral("License.txt"));
  QFile out(file);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write("\xEF\xBB\xBFTerms\r\nSecond line \xC3\xA9\n");  // a byte-order mark, CR LF
  out.close();
  TLicensePage page(nullptr);
  QSignalSpy loaded(&page, &TLicensePage::TextLoaded);
  page.LoadText(file);
  ASSERT_TRUE(loaded.wait(5000));
  EXPECT_EQ(page.LicenseLabel()->text(), QStringLiteral("Terms\nSecond line \u00E9"));
}

TEST(TLicensePageTest, AMissingFileLeavesThePageEmpty) {
  TLicensePage page(nullptr);
  QSignalSpy loaded(&page, &TLicensePage::TextLoaded);
  page.LoadText(QStringLiteral("/nonexistent/License.txt"));
  ASSERT_TRUE(loaded.wait(5000));
  EXPECT_TRUE(page.LicenseLabel()->text().isEmpty());
}

TEST(TLicensePageTest, ThePageMayGoWhileTheTextIsStillBeingRead) {
  auto page = std::make_unique<TLicensePage>(nullptr);
  page->LoadText(QStringLiteral(SEALWISE_SOURCE_DIR "/app/License.txt"));
  page.reset();  // joins the reader; its posted text is dropped
  ProcessEventsFor(50);
}

using TAgreementTest = TShellTest;

TEST_F(TAgreementTest, FromTheSettingsThereIsNoDeclineAndAcceptReturnsToWork) {
  StartAndSettle();
  ConnectUsb(QStringLiteral("KX5210_A"));
  Window->ShowLicenseFromSettings();
  EXPECT_EQ(Shown(), Window->tabLicense());
  EXPECT_FALSE(Find<QToolButton>("btnLicenseCancel")->isVisible());
  Find<QToolButton>("btnLicenseAccept")->click();
  EXPECT_EQ(Shown(), Window->tabWorking());
}

TEST_F(TAgreementTest, ButtonsShareTheToolBar) {
  Start(true);
  ASSERT_TRUE(WaitUntil([this] { return Shown() == Window->tabLicense(); }));
  auto* accept = Find<QToolButton>("btnLicenseAccept");
  auto* decline = Find<QToolButton>("btnLicenseCancel");
  EXPECT_EQ(accept->width(), decline->width());
  EXPECT_NEAR(accept->width(), (309 - 2 * TLicensePage::ButtonMargin) / 2, 2);
  EXPECT_LE(accept->geometry().right(), decline->geometry().left());
}
