#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <vector>

#include "KX52xx.AlertList.h"
#include "TestWait.h"

namespace {

// A short tick keeps the countdown tests quick; the real interval has a test of its own.
constexpr int kFastTickMs = 2;

// Ticks happen only while events are processed, so between two waits the list stands still.
struct TAlertListLog {
  std::vector<TAlertItem*> Changed;  // nullptr for a tick
  std::vector<TAlertType> Executed;
  int Ticks() const {
    int ticks = 0;
    for (TAlertItem* item : Changed) ticks += item == nullptr;
    return ticks;
  }
};

class AlertListTest : public ::testing::Test {
 protected:
  AlertListTest() : List(kFastTickMs) {
    List.OnAlertChanged = [this](TAlertItem* item) { Log.Changed.push_back(item); };
    List.OnAlertExecuted = [this](TAlertItem* item) {
      Log.Executed.push_back(item->AlertType());
      EXPECT_EQ(item->State(), asExecuting);
      if (DeleteOnExecute) List.Delete(item);
    };
  }
  bool WaitTicks(int ATicks) {
    const int target = Log.Ticks() + ATicks;
    return WaitUntil([&] { return Log.Ticks() >= target; });
  }

  TAlertList List;
  TAlertListLog Log;
  bool DeleteOnExecute = false;
};

}  // namespace

TEST_F(AlertListTest, SameKindIsCountedOnOneItemWithoutRestartingIt) {
  TAlertItem* first = List.Add(atStopBreathing, 1.5, 2.5);
  ASSERT_TRUE(WaitTicks(2));
  const quint32 left = first->TimeLeft();
  EXPECT_LT(left, 30u);
  TAlertItem* second = List.Add(atStopBreathing, 9, 9);
  EXPECT_EQ(first, second);
  EXPECT_EQ(List.Count(), 1);
  EXPECT_EQ(first->Counter(), 2u);
  EXPECT_EQ(first->Priority(), 7u);
  EXPECT_EQ(first->TimeLeft(), left);
  EXPECT_EQ(first->Value(), 1.5);
  EXPECT_EQ(first->Reference(), 2.5);
  EXPECT_EQ(Log.Changed.front(), first);
  EXPECT_EQ(Log.Changed.back(), first);
}

TEST_F(AlertListTest, NewItemExecutesOnceAfterExactlyThirtyTicks) {
  int ticksAtExecution = -1;
  List.OnAlertExecuted = [&](TAlertItem*) { ticksAtExecution = Log.Ticks(); };
  TAlertItem* item = List.Add(atImpact, 0, 0);
  EXPECT_EQ(item->Timeout(), 30u);
  EXPECT_EQ(item->State(), asWaiting);
  ASSERT_TRUE(WaitUntil([&] { return ticksAtExecution >= 0; }));
  EXPECT_EQ(ticksAtExecution, 29);  // during the 30th tick, before its changed event
  EXPECT_EQ(Log.Ticks(), 30);       // that tick's changed event followed the execution
  EXPECT_EQ(item->State(), asExecuted);
  EXPECT_EQ(item->TimeLeft(), 0u);
  ASSERT_TRUE(WaitTicks(3));
  EXPECT_EQ(item->State(), asExecuted);
}

TEST_F(AlertListTest, ReportAfterExecutionRestartsTheCountdown) {
  TAlertItem* item = List.Add(atImpact, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return item->TimeLeft() == 0; }));
  List.Add(atImpact, 0, 0);
  EXPECT_EQ(item->TimeLeft(), 30u);
  EXPECT_EQ(item->Counter(), 2u);
}

TEST_F(AlertListTest, DeletingTheExecutedItemStillCountsTheOthersInThatTick) {
  DeleteOnExecute = true;
  TAlertItem* first = List.Add(atStopBreathing, 0, 0);
  ASSERT_TRUE(WaitTicks(5));
  TAlertItem* second = List.Add(atImpact, 0, 0);
  const quint32 secondLeft = second->TimeLeft();
  const quint32 firstLeft = first->TimeLeft();
  int countInExecutionTick = -1;
  quint32 secondLeftInExecutionTick = 0;
  List.OnAlertChanged = [&](TAlertItem* item) {
    Log.Changed.push_back(item);
    if (item == nullptr && !Log.Executed.empty() && countInExecutionTick < 0) {
      countInExecutionTick = List.Count();
      secondLeftInExecutionTick = second->TimeLeft();
    }
  };
  ASSERT_TRUE(WaitUntil([&] { return countInExecutionTick >= 0; }));
  EXPECT_EQ(Log.Executed, std::vector<TAlertType>{atStopBreathing});
  EXPECT_EQ(countInExecutionTick, 1);
  EXPECT_EQ(secondLeftInExecutionTick, secondLeft - firstLeft);
  EXPECT_EQ(List.Get(atStopBreathing), nullptr);
  ASSERT_TRUE(WaitTicks(1));
  EXPECT_EQ(List.Count(), 1);
  EXPECT_EQ(second->TimeLeft(), secondLeft - firstLeft - 1);
}

TEST_F(AlertListTest, HandlerMayDeleteAnItemTheTickHasNotReachedYet) {
  TAlertItem* first = List.Add(atStopBreathing, 0, 0);
  ASSERT_TRUE(WaitTicks(1));
  TAlertItem* second = List.Add(atImpact, 0, 0);
  List.OnAlertExecuted = [&](TAlertItem* item) {
    List.Delete(second);
    List.Delete(item);
  };
  ASSERT_TRUE(WaitUntil([&] { return List.Count() == 0; }));
  EXPECT_EQ(List.Get(atImpact), nullptr);
  (void)first;
}

TEST_F(AlertListTest, EmptyListStopsTheTimerOnItsNextTickAndAddStartsItAgain) {
  EXPECT_FALSE(List.IsTimerActive());
  TAlertItem* item = List.Add(atImpact, 0, 0);
  EXPECT_TRUE(List.IsTimerActive());
  List.Delete(item);
  ASSERT_TRUE(WaitUntil([&] { return !List.IsTimerActive(); }));
  EXPECT_EQ(Log.Ticks(), 0);
  List.Add(atFallProtection, 0, 0);
  EXPECT_TRUE(List.IsTimerActive());
}

TEST_F(AlertListTest, GetAndDeleteOfAbsentItemsChangeNothing) {
  List.Add(atImpact, 0, 0);
  EXPECT_EQ(List.Get(atFallProtection), nullptr);
  TAlertItem stranger(atImpact, 30, 5, 0, 0);
  List.Delete(&stranger);
  List.Delete(nullptr);
  EXPECT_EQ(List.Count(), 1);
  EXPECT_NE(List.Get(atImpact), nullptr);
}

TEST(AlertItemTest, ItemWithoutHandlerCountsDownAndKeepsItsState) {
  TAlertItem item(atImpact, 2, 5, 0, 0);
  item.DecTimeLeft();
  item.DecTimeLeft();
  item.DecTimeLeft();
  EXPECT_EQ(item.TimeLeft(), 0u);
  EXPECT_EQ(item.State(), asWaiting);
  item.IncCounter();
  EXPECT_EQ(item.Counter(), 2u);
  item.StartTime();
  EXPECT_EQ(item.TimeLeft(), 2u);
}

TEST(AlertListRealTimeTest, TicksOncePerSecond) {
  TAlertList list;
  int ticks = 0;
  list.OnAlertChanged = [&](TAlertItem* item) { ticks += item == nullptr; };
  QElapsedTimer clock;
  clock.start();
  TAlertItem* item = list.Add(atImpact, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return ticks >= 2; }, 10000));
  EXPECT_GE(clock.elapsed(), 1900);  // a coarse timer may come a little early
  EXPECT_EQ(item->TimeLeft(), 30u - ticks);
}

struct TPriorityCase {
  TAlertType Kind;
  quint32 Priority;
};

class AlertPriorityTest : public ::testing::TestWithParam<TPriorityCase> {};

TEST_P(AlertPriorityTest, RankOfTheKind) {
  TAlertList list(kFastTickMs);
  EXPECT_EQ(list.Add(GetParam().Kind, 0, 0)->Priority(), GetParam().Priority);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AlertPriorityTest,
    ::testing::Values(TPriorityCase{atStopBreathing, 7}, TPriorityCase{atBreathingTooLow, 6},
                      TPriorityCase{atAQICO2TooHigh2, 6}, TPriorityCase{atImpact, 5},
                      TPriorityCase{atFallProtection, 4}, TPriorityCase{atAQIEthanolTooHigh, 4},
                      TPriorityCase{atTemperatureTooLow, 3}, TPriorityCase{atTemperatureTooHigh, 3},
                      TPriorityCase{atHumidityTooLow, 3}, TPriorityCase{atHumidityTooHigh, 3},
                      TPriorityCase{atAQICO2TooHigh, 1}, TPriorityCase{atAQIEthanolDetected, 1},
                      TPriorityCase{atOverBreathing, 1}));
