// Swipes made of mouse drags: the working pages from the footer, the settings panels and the
// chart, and the tutorial pictures; taps stay taps.
#include <QChartView>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "ShellFixture.h"
#include "TGlobals.Shell.h"
#include "Vek.Swipe.h"
#include "pages/uPageDashboard.h"
#include "pages/uPageSettings.h"
#include "pages/uPageTutorial.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelResult.h"
#include "pages/uSettingsList.h"

namespace {
// Presses at the middle of AWidget moved back by half of ADelta, drags by ADelta and lets go.
// As the window does, every event goes to the control under the press (QTest sends to the
// widget it is given).
void Drag(QWidget* AWidget, QPoint ADelta) {
  const QPoint from = AWidget->rect().center() - ADelta / 2;
  QWidget* under = AWidget->childAt(from);
  QWidget* receiver = under ? under : AWidget;
  const QPoint start = receiver->mapFrom(AWidget, from);
  QTest::mousePress(receiver, Qt::LeftButton, {}, start);
  QTest::mouseMove(receiver, start + ADelta / 2);
  QTest::mouseMove(receiver, start + ADelta);
  QTest::mouseRelease(receiver, Qt::LeftButton, {}, start + ADelta);
}

constexpr int Swipe = 80;  // well past TSwipe::MinDistance
constexpr int Short = TSwipe::MinDistance / 2;
}  // namespace

class TSwipeTest : public TShellTest {
 protected:
  void SetUp() override {
    TShellTest::SetUp();
    StartAndSettle();
    ConnectUsb(QStringLiteral("KX5210_A"));
    ASSERT_EQ(Shown(), Window->tabWorking());
  }
  TWorkingPage* Working() const { return Window->WorkingPage(); }
  QString WorkingPageName() const { return Working()->Pages()->ActivePage()->objectName(); }
  void ShowWorkingPage(const char* AName) {
    TGlobals::SwitchTab(Find<QWidget>(AName));
    QApplication::processEvents();  // laid out before the drag
  }
};

struct TWorkingSwipeCase {
  const char* Area;  // the control dragged on
  const char* From;  // the working page shown before
  int DX, DY;
  const char* To;  // the working page shown after
};

void PrintTo(const TWorkingSwipeCase& ACase, std::ostream* AOut) {
  *AOut << ACase.Area << " on " << ACase.From << " by (" << ACase.DX << ", " << ACase.DY
        << ") -> " << ACase.To;
}

class TWorkingSwipeTest : public TSwipeTest,
                          public ::testing::WithParamInterface<TWorkingSwipeCase> {};

TEST_P(TWorkingSwipeTest, DragsMoveTheWorkingPagesOrActAsTaps) {
  ShowWorkingPage(GetParam().From);
  QWidget* area = Find<QWidget>(GetParam().Area);
  ASSERT_NE(area, nullptr);
  ASSERT_TRUE(area->isVisible());
  Drag(area, QPoint(GetParam().DX, GetParam().DY));
  EXPECT_EQ(WorkingPageName(), QLatin1String(GetParam().To));
}

// The footer's middle is its reports button: a drag that is no swipe is a tap on it.
INSTANTIATE_TEST_SUITE_P(
    Areas, TWorkingSwipeTest,
    ::testing::Values(
        TWorkingSwipeCase{"tlbWorking", "tabReport", -Swipe, 0, "tabDashboard"},
        TWorkingSwipeCase{"tlbWorking", "tabReport", Swipe, 0, "tabSettings"},
        TWorkingSwipeCase{"tlbWorking", "tabDashboard", -Swipe, 8, "tabDashboard"},
        TWorkingSwipeCase{"tlbWorking", "tabSettings", Swipe, -8, "tabSettings"},
        TWorkingSwipeCase{"tlbWorking", "tabDashboard", 0, 0, "tabReport"},
        TWorkingSwipeCase{"tlbWorking", "tabDashboard", Short, 0, "tabReport"},
        TWorkingSwipeCase{"tlbWorking", "tabSettings", 50, 30, "tabReport"},  // too steep
        TWorkingSwipeCase{"tcSettings", "tabSettings", Swipe, 0, "tabReport"},
        TWorkingSwipeCase{"tcSettings", "tabSettings", -Swipe, 0, "tabSettings"},
        TWorkingSwipeCase{"tcInfo", "tabSettings", Swipe, 0, "tabReport"},
        TWorkingSwipeCase{"tcInfo", "tabSettings", Short, 0, "tabSettings"},
        TWorkingSwipeCase{"chResult", "tabDashboard", -Swipe, 0, "tabReport"},
        TWorkingSwipeCase{"chResult", "tabDashboard", Swipe, 0, "tabDashboard"}));

// The drag begins and ends on the reports button: it is let go, neither clicked nor left down.
TEST_F(TSwipeTest, AFooterButtonUnderASwipeIsNotClicked) {
  ShowWorkingPage("tabDashboard");
  QToolButton* reports = Working()->FooterButton(TWorkingPage::ftReports);
  QSignalSpy clicks(reports, &QToolButton::clicked);
  Drag(Find<QWidget>("tlbWorking"), QPoint(Swipe, 0));
  EXPECT_EQ(clicks.count(), 0);
  EXPECT_FALSE(reports->isDown());
  EXPECT_EQ(WorkingPageName(), QStringLiteral("tabReport"));
}

TEST_F(TSwipeTest, TheAlertPageIsNotLeftByASwipe) {
  ShowWorkingPage("tabAlert");
  Drag(Find<QWidget>("tlbWorking"), QPoint(-Swipe, 0));
  Drag(Find<QWidget>("tlbWorking"), QPoint(Swipe, 0));
  EXPECT_EQ(WorkingPageName(), QStringLiteral("tabAlert"));
}

TEST_F(TSwipeTest, AChartTapIsATapAndASwipeIsNot) {
  ShowWorkingPage("tabDashboard");
  TResultPanel* result = Working()->Dashboard()->Result();
  QWidget* chart = result->ChartView()->viewport();
  QSignalSpy taps(result, &TResultPanel::ChartTapped);
  QTest::mouseClick(chart, Qt::LeftButton, {}, chart->rect().center());
  EXPECT_EQ(taps.count(), 1);
  Drag(chart, QPoint(-Swipe, 0));
  EXPECT_EQ(taps.count(), 1);
  EXPECT_EQ(WorkingPageName(), QStringLiteral("tabReport"));
}

// The settings list entry under the drag is not opened by a swipe, but by a tap.
TEST_F(TSwipeTest, ASwipeOverASettingsEntryDoesNotOpenIt) {
  ShowWorkingPage("tabSettings");
  TSettingsPage* settings = Working()->SettingsPage();
  QWidget* main = settings->Page(TSettingsPage::spMain);
  TSettingsEntry* device = nullptr;
  for (TSettingsEntry* entry : settings->List(TSettingsPage::spMain)->findChildren<TSettingsEntry*>())
    if (entry->Tag() == TSettingsPage::etDevice) device = entry;
  ASSERT_NE(device, nullptr);
  Drag(device, QPoint(-Swipe, 0));
  EXPECT_EQ(settings->Pages()->ActivePage(), main);
  EXPECT_EQ(WorkingPageName(), QStringLiteral("tabSettings"));
  Drag(device, QPoint(Short, 0));
  EXPECT_EQ(settings->Pages()->ActivePage(), settings->Page(TSettingsPage::spDevice));
}

struct TTutorialSwipeCase {
  int From;  // index of the page shown before
  int DX;
  int To;  // index of the page shown after; -1: the tutorial has closed
};

void PrintTo(const TTutorialSwipeCase& ACase, std::ostream* AOut) {
  *AOut << "page " << ACase.From << " by " << ACase.DX << " -> " << ACase.To;
}

class TTutorialSwipeTest : public TSwipeTest,
                           public ::testing::WithParamInterface<TTutorialSwipeCase> {};

// A KX5210 shows six pictures: pages 0 to 5.
TEST_P(TTutorialSwipeTest, PicturesSwipeLeftToGoOnAndRightToGoBack) {
  Window->ShowTutorialFromSettings();
  TTutorialPage* tutorial = Window->TutorialPage();
  ASSERT_EQ(tutorial->TutorialTabsCount(), 6);
  tutorial->Pages()->SetActivePage(tutorial->Pages()->widget(GetParam().From),
                                   TTabTransition::None);
  QApplication::processEvents();
  Drag(tutorial->Picture(GetParam().From + 1), QPoint(GetParam().DX, 0));
  if (GetParam().To < 0) {
    EXPECT_EQ(Shown(), Window->tabWorking());
  } else {
    EXPECT_EQ(Shown(), Window->tabTutorial());
    EXPECT_EQ(tutorial->Pages()->currentIndex(), GetParam().To);
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, TTutorialSwipeTest,
                         ::testing::Values(TTutorialSwipeCase{0, -Swipe, 1},
                                           TTutorialSwipeCase{3, -Swipe, 4},
                                           TTutorialSwipeCase{1, Swipe, 0},
                                           TTutorialSwipeCase{0, Swipe, 0},
                                           TTutorialSwipeCase{5, -Swipe, -1},
                                           TTutorialSwipeCase{2, 0, 2},
                                           TTutorialSwipeCase{2, -Short, 2}));

// A control made inside a watched one later is watched too.
TEST(TSwipeUnitTest, ControlsAddedLaterSwipeAndOthersDoNot) {
  QWidget area;
  area.resize(200, 100);
  auto* swipe = new TSwipe(&area);
  auto* later = new QWidget(&area);
  later->setGeometry(0, 0, 200, 100);
  QWidget outsider;
  outsider.resize(200, 100);
  area.show();
  outsider.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
  QSignalSpy left(swipe, &TSwipe::SwipedLeft);
  QSignalSpy right(swipe, &TSwipe::SwipedRight);
  Drag(later, QPoint(-Swipe, 0));
  Drag(later, QPoint(Swipe, 0));
  Drag(&outsider, QPoint(Swipe, 0));
  EXPECT_EQ(left.count(), 1);
  EXPECT_EQ(right.count(), 1);
}
