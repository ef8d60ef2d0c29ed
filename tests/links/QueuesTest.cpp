#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "KX52xx.Data.Queues.h"
#include "SealwiseError.h"
#include "TestWait.h"

namespace {

using Clock = std::chrono::steady_clock;

// What a queue handed over, with the thread and the moment of each hand-over. Written by
// whichever thread the queue calls on, read by the test.
class THandOvers {
 public:
  void Record(const QByteArray& data) {
    std::lock_guard<std::mutex> lock(FLock);
    FData.push_back(data);
    FThreads.push_back(QThread::currentThread());
    FTimes.push_back(Clock::now());
  }
  int Count() const {
    std::lock_guard<std::mutex> lock(FLock);
    return int(FData.size());
  }
  std::vector<QByteArray> Data() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FData;
  }
  std::vector<QThread*> Threads() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FThreads;
  }
  // Hand-overs no later than `window` after `from`, and the shortest gap between two of them.
  int CountWithin(Clock::time_point from, Clock::duration window) const {
    std::lock_guard<std::mutex> lock(FLock);
    int count = 0;
    for (const auto t : FTimes) count += (t - from <= window) ? 1 : 0;
    return count;
  }
  Clock::duration ShortestGap() const {
    std::lock_guard<std::mutex> lock(FLock);
    Clock::duration shortest = Clock::duration::max();
    for (size_t i = 1; i < FTimes.size(); ++i)
      shortest = std::min(shortest, FTimes[i] - FTimes[i - 1]);
    return shortest;
  }
  bool WaitFor(int count) {
    return WaitUntil([&] { return Count() >= count; });
  }

 private:
  mutable std::mutex FLock;
  std::vector<QByteArray> FData;
  std::vector<QThread*> FThreads;
  std::vector<Clock::time_point> FTimes;
};

QString ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ESealwiseError& e) {
    return e.Message();
  }
  return QString();
}

// ---- TSendQueue ---------------------------------------------------------------------------

class SendQueue : public ::testing::Test {
 protected:
  SendQueue() : FQueue(std::make_unique<TSendQueue>()) {
    FQueue->SetOnGetNextTask([this](const QByteArray& data) { FHandOvers.Record(data); });
  }
  void StartFast(bool autoDelete) {
    FQueue->SetInterval(5);
    FQueue->SetAutoDelete(autoDelete);
    FQueue->Start();
  }

  THandOvers FHandOvers;  // outlives the queue that writes to it
  std::unique_ptr<TSendQueue> FQueue;
};

TEST_F(SendQueue, StartsWithDescribedDefaults) {
  EXPECT_EQ(FQueue->Interval(), 50u);
  EXPECT_FALSE(FQueue->AutoDelete());
  EXPECT_FALSE(FQueue->PauseSend());
  EXPECT_EQ(FQueue->Count(), 0);
}

TEST_F(SendQueue, CreatedSuspendedHandsNothingOverBeforeStart) {
  FQueue->SetInterval(5);
  FQueue->Add(QByteArray("A"));
  ProcessEventsFor(100);
  EXPECT_EQ(FHandOvers.Count(), 0);
}

TEST_F(SendQueue, AddFirstGoesAheadOfQueuedTasks) {
  FQueue->Add(QByteArray("A"));
  FQueue->Add(std::make_unique<TSendTask>(QByteArray("B")));
  FQueue->AddFirst(QByteArray("N"));
  FQueue->AddFirst(std::make_unique<TSendTask>(QByteArray("M")));
  EXPECT_EQ(FQueue->Count(), 4);
  StartFast(true);
  ASSERT_TRUE(FHandOvers.WaitFor(4));
  EXPECT_EQ(FHandOvers.Data(), (std::vector<QByteArray>{"M", "N", "A", "B"}));
  EXPECT_TRUE(WaitUntil([&] { return FQueue->Count() == 0; }));
}

TEST_F(SendQueue, WithoutAutoDeleteTheHeadIsHandedOverAgain) {
  FQueue->Add(QByteArray("A"));
  FQueue->Add(QByteArray("B"));
  StartFast(false);
  ASSERT_TRUE(FHandOvers.WaitFor(4));
  for (const QByteArray& data : FHandOvers.Data()) EXPECT_EQ(data, "A");
  EXPECT_EQ(FQueue->Count(), 2);
}

TEST_F(SendQueue, PauseSuspendsAndResumesWithTheHead) {
  FQueue->SetPauseSend(true);
  FQueue->Add(QByteArray("A"));
  FQueue->Add(QByteArray("B"));
  StartFast(true);
  ProcessEventsFor(100);
  EXPECT_EQ(FHandOvers.Count(), 0);
  EXPECT_EQ(FQueue->Count(), 2);
  FQueue->SetPauseSend(false);
  ASSERT_TRUE(FHandOvers.WaitFor(2));
  EXPECT_EQ(FHandOvers.Data(), (std::vector<QByteArray>{"A", "B"}));
}

// Pausing from the handler itself: exactly one hand-over, then none until resumed.
TEST_F(SendQueue, PauseBetweenHandOvers) {
  FQueue->SetOnGetNextTask([this](const QByteArray& data) {
    FHandOvers.Record(data);
    FQueue->SetPauseSend(true);
  });
  FQueue->Add(QByteArray("A"));
  FQueue->Add(QByteArray("B"));
  StartFast(true);
  ASSERT_TRUE(FHandOvers.WaitFor(1));
  ProcessEventsFor(100);
  EXPECT_EQ(FHandOvers.Count(), 1);
  EXPECT_TRUE(WaitUntil([&] { return FQueue->Count() == 1; }));
  FQueue->SetPauseSend(false);
  ASSERT_TRUE(FHandOvers.WaitFor(2));
  EXPECT_EQ(FHandOvers.Data(), (std::vector<QByteArray>{"A", "B"}));
}

TEST_F(SendQueue, EmptyBlockIsRefusedAndQueueUnchanged) {
  FQueue->Add(QByteArray("A"));
  EXPECT_EQ(ErrorOf([&] { FQueue->Add(QByteArray()); }), "Empty task data buffer");
  EXPECT_EQ(ErrorOf([&] { FQueue->AddFirst(QByteArray()); }), "Empty task data buffer");
  EXPECT_EQ(ErrorOf([] { TSendTask task{QByteArray()}; }), "Empty task data buffer");
  EXPECT_EQ(FQueue->Count(), 1);
  StartFast(true);
  ASSERT_TRUE(FHandOvers.WaitFor(1));
  EXPECT_EQ(FHandOvers.Data(), std::vector<QByteArray>{"A"});
}

TEST_F(SendQueue, DeleteByIdentityRemovesThatTaskOnly) {
  auto first = std::make_unique<TSendTask>(QByteArray("same"));
  auto second = std::make_unique<TSendTask>(QByteArray("same"));
  const TSendTask* secondPtr = second.get();
  FQueue->Add(std::move(first));
  FQueue->Add(std::move(second));
  const TSendTask stranger{QByteArray("same")};

  FQueue->Delete(&stranger);  // equal data, other object: not queued
  EXPECT_EQ(FQueue->Count(), 2);
  FQueue->Delete(secondPtr);
  EXPECT_EQ(FQueue->Count(), 1);
  FQueue->Delete(secondPtr);  // already gone: nothing happens
  EXPECT_EQ(FQueue->Count(), 1);
}

TEST_F(SendQueue, DeleteByIndex) {
  FQueue->Add(QByteArray("A"));
  FQueue->Add(QByteArray("B"));
  FQueue->Add(QByteArray("C"));
  EXPECT_EQ(ErrorOf([&] { FQueue->Delete(3); }), "List index out of bounds (3)");
  EXPECT_EQ(ErrorOf([&] { FQueue->Delete(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(FQueue->Count(), 3);
  FQueue->Delete(1);
  FQueue->Delete(0);
  StartFast(true);
  ASSERT_TRUE(FHandOvers.WaitFor(1));
  EXPECT_EQ(FHandOvers.Data(), std::vector<QByteArray>{"C"});
}

TEST_F(SendQueue, ClearRemovesEverything) {
  FQueue->Add(QByteArray("A"));
  FQueue->Add(QByteArray("B"));
  FQueue->Clear();
  EXPECT_EQ(FQueue->Count(), 0);
  StartFast(true);
  ProcessEventsFor(50);
  EXPECT_EQ(FHandOvers.Count(), 0);
}

TEST_F(SendQueue, HandlerRunsOnTheWorkerThread) {
  FQueue->Add(QByteArray("A"));
  StartFast(false);
  FQueue->Start();  // a second start changes nothing: still one worker
  ASSERT_TRUE(FHandOvers.WaitFor(3));
  const std::vector<QThread*> threads = FHandOvers.Threads();
  EXPECT_NE(threads.front(), QCoreApplication::instance()->thread());
  for (QThread* thread : threads) EXPECT_EQ(thread, threads.front());
}

// At most one hand-over per interval: 1 s at 50 ms allows 20 at most.
TEST_F(SendQueue, PacesHandOversByTheInterval) {
  FQueue->Add(QByteArray("A"));
  const Clock::time_point started = Clock::now();
  FQueue->Start();
  ProcessEventsFor(1100);
  const int count = FHandOvers.CountWithin(started, std::chrono::seconds(1));
  EXPECT_GE(count, 8);
  EXPECT_LE(count, 20);
  EXPECT_GE(FHandOvers.ShortestGap(), std::chrono::milliseconds(49));
}

TEST_F(SendQueue, DestructionWaitsForARunningHandOverAndEndsThem) {
  std::atomic<bool> inHandler{false};
  std::atomic<bool> finished{false};
  FQueue->SetOnGetNextTask([&](const QByteArray& data) {
    inHandler = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    FHandOvers.Record(data);
    finished = true;
  });
  FQueue->Add(QByteArray("A"));
  StartFast(false);
  ASSERT_TRUE(WaitUntil([&] { return inHandler.load(); }));
  FQueue.reset();
  EXPECT_TRUE(finished);
  const int afterDestruction = FHandOvers.Count();
  ProcessEventsFor(50);
  EXPECT_EQ(FHandOvers.Count(), afterDestruction);
}

TEST_F(SendQueue, TerminateEndsHandOvers) {
  FQueue->Add(QByteArray("A"));
  StartFast(false);
  ASSERT_TRUE(FHandOvers.WaitFor(1));
  FQueue->Terminate();
  const int atTerminate = FHandOvers.Count();
  ProcessEventsFor(100);
  EXPECT_LE(FHandOvers.Count(), atTerminate + 1);  // one may have been under way
  const int settled = FHandOvers.Count();
  FQueue->Start();  // a terminated queue stays ended
  ProcessEventsFor(100);
  EXPECT_EQ(FHandOvers.Count(), settled);
}

TEST_F(SendQueue, RaisingHandlerEndsTheWorker) {
  FQueue->SetOnGetNextTask([this](const QByteArray& data) {
    FHandOvers.Record(data);
    throw std::runtime_error("handler failed");
  });
  FQueue->Add(QByteArray("A"));
  StartFast(false);
  ASSERT_TRUE(FHandOvers.WaitFor(1));
  ProcessEventsFor(100);
  EXPECT_EQ(FHandOvers.Count(), 1);
  EXPECT_EQ(FQueue->Count(), 1);
}

// ---- TReceiveBuffer -----------------------------------------------------------------------

class ReceiveBuffer : public ::testing::Test {
 protected:
  ReceiveBuffer() : FBuffer(std::make_unique<TReceiveBuffer>()) {
    FBuffer->SetOnNextReceived([this](const QByteArray& data) { FDeliveries.Record(data); });
  }
  // Waits, without running the GUI thread's events, until the worker has taken the bytes
  // and is handing them to the GUI thread.
  void WaitForWorkerToTakeBytes() {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (FBuffer->Count() > 0 && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(FBuffer->Count(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let it reach its wait
  }

  THandOvers FDeliveries;  // outlives the buffer that writes to it
  std::unique_ptr<TReceiveBuffer> FBuffer;
};

TEST_F(ReceiveBuffer, StartsWithDescribedDefaults) {
  EXPECT_EQ(FBuffer->Interval(), 50u);
  EXPECT_EQ(FBuffer->MinimumLength(), 0);
  EXPECT_FALSE(FBuffer->PauseInform());
}

TEST_F(ReceiveBuffer, CountIsBytesNotBlocks) {
  FBuffer->Add(QByteArray("abc"));
  FBuffer->Add(QByteArray("defgh"));
  EXPECT_EQ(FBuffer->Count(), 8);
  FBuffer->Clear();
  EXPECT_EQ(FBuffer->Count(), 0);
}

TEST_F(ReceiveBuffer, GetBytesNeedsMoreThanMinimumAndAlwaysEmpties) {
  FBuffer->SetMinimumLength(4);
  QByteArray out("stale");
  FBuffer->Add(QByteArray("ab"));
  FBuffer->Add(QByteArray("cd"));
  EXPECT_FALSE(FBuffer->GetBytes(out));
  EXPECT_TRUE(out.isEmpty());
  EXPECT_EQ(FBuffer->Count(), 0);  // dropped, not kept for the next call

  FBuffer->Add(QByteArray("ab"));
  FBuffer->Add(QByteArray("c"));
  FBuffer->Add(QByteArray("ab"));
  EXPECT_TRUE(FBuffer->GetBytes(out));
  EXPECT_EQ(out, "abcab");  // arrival order, equal blocks included
  EXPECT_EQ(FBuffer->Count(), 0);
  EXPECT_FALSE(FBuffer->GetBytes(out));
}

TEST_F(ReceiveBuffer, GetBytesWithNoBlocksIsFalseEvenBelowZeroMinimum) {
  FBuffer->SetMinimumLength(-1);
  QByteArray out;
  EXPECT_FALSE(FBuffer->GetBytes(out));
  FBuffer->Add(QByteArray());
  EXPECT_FALSE(FBuffer->GetBytes(out));
}

TEST_F(ReceiveBuffer, MinimumLengthDropsWhatIsNotMore) {
  FBuffer->SetInterval(10);
  FBuffer->SetMinimumLength(4);
  FBuffer->Add(QByteArray("ab"));
  FBuffer->Add(QByteArray("cd"));
  FBuffer->Start();
  ASSERT_TRUE(WaitUntil([&] { return FBuffer->Count() == 0; }));
  ProcessEventsFor(100);
  EXPECT_EQ(FDeliveries.Count(), 0);
}

TEST_F(ReceiveBuffer, DeliversOnTheGuiThreadInArrivalOrder) {
  FBuffer->SetInterval(10);
  FBuffer->SetMinimumLength(4);
  FBuffer->Add(QByteArray("ab"));
  FBuffer->Add(QByteArray("c"));
  FBuffer->Add(QByteArray("de"));
  FBuffer->Start();
  ASSERT_TRUE(FDeliveries.WaitFor(1));
  EXPECT_EQ(FDeliveries.Data(), std::vector<QByteArray>{"abcde"});
  EXPECT_EQ(FDeliveries.Threads().front(), QCoreApplication::instance()->thread());
}

TEST_F(ReceiveBuffer, PauseKeepsTheBytesForLater) {
  FBuffer->SetInterval(10);
  FBuffer->SetPauseInform(true);
  FBuffer->Start();
  FBuffer->Add(QByteArray("abc"));
  ProcessEventsFor(100);
  EXPECT_EQ(FDeliveries.Count(), 0);
  EXPECT_EQ(FBuffer->Count(), 3);
  FBuffer->SetPauseInform(false);
  ASSERT_TRUE(FDeliveries.WaitFor(1));
  EXPECT_EQ(FDeliveries.Data(), std::vector<QByteArray>{"abc"});
}

TEST_F(ReceiveBuffer, PacesDeliveriesByTheInterval) {
  QTimer feeder;
  QObject::connect(&feeder, &QTimer::timeout, [this] { FBuffer->Add(QByteArray("x")); });
  feeder.start(5);
  const Clock::time_point started = Clock::now();
  FBuffer->Start();
  ProcessEventsFor(1100);
  feeder.stop();
  const int count = FDeliveries.CountWithin(started, std::chrono::seconds(1));
  EXPECT_GE(count, 8);
  EXPECT_LE(count, 20);
  EXPECT_GE(FDeliveries.ShortestGap(), std::chrono::milliseconds(49));
}

TEST_F(ReceiveBuffer, DestroyedWhileTheWorkerWaitsForTheGuiThread) {
  FBuffer->SetInterval(5);
  FBuffer->Add(QByteArray("abc"));
  FBuffer->Start();
  WaitForWorkerToTakeBytes();
  FBuffer.reset();  // would hang here if the worker's wait could not be ended
  ProcessEventsFor(50);
  EXPECT_EQ(FDeliveries.Count(), 0);  // the delivery it waited for never runs
}

TEST_F(ReceiveBuffer, TerminatedWhileTheWorkerWaitsForTheGuiThread) {
  FBuffer->SetInterval(5);
  FBuffer->Add(QByteArray("abc"));
  FBuffer->Start();
  WaitForWorkerToTakeBytes();
  FBuffer->Terminate();
  FBuffer->Add(QByteArray("def"));
  ProcessEventsFor(100);
  EXPECT_EQ(FDeliveries.Count(), 0);
}

// The owner of a link may be dropped by the very event the link raises from a delivery.
TEST_F(ReceiveBuffer, HandlerMayDestroyTheBuffer) {
  FBuffer->SetInterval(5);
  FBuffer->SetOnNextReceived([this](const QByteArray& data) {
    FDeliveries.Record(data);
    FBuffer.reset();
  });
  FBuffer->Add(QByteArray("abc"));
  FBuffer->Start();
  ASSERT_TRUE(WaitUntil([&] { return !FBuffer; }));
  ProcessEventsFor(50);
  EXPECT_EQ(FDeliveries.Data(), std::vector<QByteArray>{"abc"});
}

TEST_F(ReceiveBuffer, RaisingHandlerEndsTheWorker) {
  FBuffer->SetInterval(5);
  FBuffer->SetOnNextReceived([this](const QByteArray& data) {
    FDeliveries.Record(data);
    throw std::runtime_error("handler failed");
  });
  FBuffer->Add(QByteArray("abc"));
  FBuffer->Start();
  ASSERT_TRUE(FDeliveries.WaitFor(1));
  FBuffer->Add(QByteArray("def"));
  ProcessEventsFor(100);
  EXPECT_EQ(FDeliveries.Count(), 1);
  EXPECT_EQ(FBuffer->Count(), 3);
}

// ---- TGuiThreadCall -----------------------------------------------------------------------

TEST(GuiThreadCall, RunsOnTheGuiThreadAndRaisesAgainOnTheWorker) {
  TGuiThreadCall call;
  QThread* ranOn = nullptr;
  std::atomic<int> outcome{0};  // 1 ran, 2 raised again
  std::thread worker([&] {
    if (call.Run([&] { ranOn = QThread::currentThread(); })) outcome = 1;
    try {
      call.Run([] { throw std::runtime_error("from the GUI thread"); });
    } catch (const std::runtime_error&) {
      outcome = 2;
    }
  });
  EXPECT_TRUE(WaitUntil([&] { return outcome == 2; }));
  worker.join();
  EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());
}

TEST(GuiThreadCall, AbortedCallsNeverRun) {
  TGuiThreadCall call;
  call.Abort();
  bool ran = true;
  std::thread worker([&] { ran = call.Run([] { ADD_FAILURE() << "ran after abort"; }); });
  worker.join();
  EXPECT_FALSE(ran);
  ProcessEventsFor(20);
}

TEST(GuiThreadCall, OnTheGuiThreadItRunsAtOnce) {
  TGuiThreadCall call;
  bool ran = false;
  EXPECT_TRUE(call.Run([&] { ran = true; }));
  EXPECT_TRUE(ran);
}

}  // namespace
