#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QObject;

// The transfer queues of the local links: TSendQueue hands outgoing blocks one at a time to a
// writer on its own worker thread at a fixed pace; TReceiveBuffer gathers incoming blocks and
// delivers them in batches on the GUI thread. Both are created suspended, configured, then
// started with Start(); the owner keeps them in a std::unique_ptr, and destroying them (on the
// GUI thread) clears the handler, ends the worker and joins it.

// Runs calls on the GUI thread for a worker that waits until each has run. The wait can be
// aborted, so an owner on the GUI thread can stop and join that worker without deadlock.
class TGuiThreadCall {
 public:
  TGuiThreadCall();
  ~TGuiThreadCall();
  TGuiThreadCall(const TGuiThreadCall&) = delete;
  TGuiThreadCall& operator=(const TGuiThreadCall&) = delete;

  // Worker side: runs ACall on the GUI thread and waits for it. False when aborted (the call
  // is then dropped and never runs) or when there is no GUI thread. An exception that ACall
  // raises is raised again here, on the worker.
  bool Run(std::function<void()> ACall);
  // Any thread: ends a waiting Run at once and refuses every later one. Destroy the object
  // only after the worker that calls Run has ended.
  void Abort();

  struct TState;

 private:
  struct TReceiverDeleter {
    void operator()(QObject* receiver) const;
  };
  std::shared_ptr<TState> FState;
  std::unique_ptr<QObject, TReceiverDeleter> FReceiver;
};

// The worker thread of both queues: sleeps the interval, runs one step, again until it is
// terminated. A step that raises ends the thread.
class TQueueWorker {
 public:
  TQueueWorker(std::function<quint32()> AInterval, std::function<void()> AStep);
  ~TQueueWorker();  // terminates and joins; never call from the worker's own step
  TQueueWorker(const TQueueWorker&) = delete;
  TQueueWorker& operator=(const TQueueWorker&) = delete;

  void Start();      // once; later calls and calls after Terminate do nothing
  void Terminate();  // asks the thread to leave at its next check; returns at once

 private:
  void Execute();
  bool SleepInterval();  // false when terminated meanwhile

  const std::function<quint32()> FInterval;
  const std::function<void()> FStep;
  std::mutex FLock;
  std::condition_variable FWake;
  bool FTerminated = false;
  std::thread FThread;
};

// One non-empty block of bytes waiting to be sent.
class TSendTask {
 public:
  // Raises ESealwiseError "Empty task data buffer" for an empty block.
  explicit TSendTask(const QByteArray& AData);
  const QByteArray& Data() const { return FData; }

 private:
  const QByteArray FData;
};

using TOnGetNextTask = std::function<void(const QByteArray& AData)>;

class TSendQueue {
 public:
  TSendQueue();  // suspended: Interval 50, AutoDelete false, PauseSend false
  // Clears the handler, then ends and joins the worker; a hand-over already under way
  // finishes first.
  ~TSendQueue();
  TSendQueue(const TSendQueue&) = delete;
  TSendQueue& operator=(const TSendQueue&) = delete;

  void Start();
  void Terminate();

  // The data forms raise "Empty task data buffer" for an empty block and add nothing then.
  void Add(const QByteArray& AData);
  void Add(std::unique_ptr<TSendTask> ATask);
  void AddFirst(const QByteArray& AData);
  void AddFirst(std::unique_ptr<TSendTask> ATask);
  void Clear();
  int Count() const;
  // Removes the task that is this very object; nothing when it is not queued.
  void Delete(const TSendTask* ATask);
  // Raises ESealwiseError "List index out of bounds (n)" outside 0..Count()-1.
  void Delete(int AIndex);

  quint32 Interval() const;
  void SetInterval(quint32 Value);
  bool AutoDelete() const;
  void SetAutoDelete(bool Value);
  bool PauseSend() const;
  void SetPauseSend(bool Value);
  // Called on the worker thread with the head task's data, once per interval.
  TOnGetNextTask OnGetNextTask() const;
  void SetOnGetNextTask(TOnGetNextTask Value);

 private:
  using TTaskPtr = std::shared_ptr<const TSendTask>;
  void Insert(bool atHead, std::unique_ptr<TSendTask> task);
  TTaskPtr Head() const;
  void HandOverHead();

  mutable std::mutex FTasksLock;
  std::deque<TTaskPtr> FTasks;

  mutable std::mutex FParamsLock;
  quint32 FInterval = 50;
  bool FAutoDelete = false;
  bool FPauseSend = false;
  TOnGetNextTask FOnGetNextTask;

  TQueueWorker FWorker;  // last: it stops before the members it uses go
};

using TOnNextReceived = std::function<void(const QByteArray& AData)>;

class TReceiveBuffer {
 public:
  TReceiveBuffer();  // suspended: Interval 50, MinimumLength 0, PauseInform false
  // On the GUI thread: clears the handler and drops a delivery that waits for the GUI thread,
  // then ends and joins the worker. No handler runs once this has begun.
  ~TReceiveBuffer();
  TReceiveBuffer(const TReceiveBuffer&) = delete;
  TReceiveBuffer& operator=(const TReceiveBuffer&) = delete;

  void Start();
  void Terminate();

  void Add(const QByteArray& AData);  // an empty block adds nothing
  void Clear();
  // Total number of bytes in all blocks.
  qsizetype Count() const;
  // Takes every block out; fills Buffer with them in arrival order and returns true only when
  // they hold more than MinimumLength bytes (fewer are dropped).
  bool GetBytes(QByteArray& Buffer);

  quint32 Interval() const;
  void SetInterval(quint32 Value);
  int MinimumLength() const;
  void SetMinimumLength(int Value);
  bool PauseInform() const;
  void SetPauseInform(bool Value);
  // Called on the GUI thread; the worker waits until it has returned.
  TOnNextReceived OnNextReceived() const;
  void SetOnNextReceived(TOnNextReceived Value);

 private:
  void DeliverGathered();

  mutable std::mutex FBlocksLock;
  std::vector<QByteArray> FBlocks;
  qsizetype FByteCount = 0;

  mutable std::mutex FParamsLock;
  quint32 FInterval = 50;
  int FMinimumLength = 0;
  bool FPauseInform = false;
  TOnNextReceived FOnNextReceived;

  TGuiThreadCall FGuiCall;
  TQueueWorker FWorker;  // last: it stops before the members it uses go
};
