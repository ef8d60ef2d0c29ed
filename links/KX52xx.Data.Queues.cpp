#include "KX52xx.Data.Queues.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

#include "SealwiseError.h"

// ---- TGuiThreadCall -----------------------------------------------------------------------

struct TGuiThreadCall::TState {
  // Posting: the worker is handing the event to Qt; Posted: Qt has it; Running: the GUI
  // thread runs the call; Done: it has returned.
  enum class TPhase { Idle, Posting, Posted, Running, Done };

  std::mutex Lock;
  std::condition_variable Changed;
  TPhase Phase = TPhase::Idle;
  bool Aborted = false;
  std::function<void()> Call;
  std::exception_ptr Failure;
  QThread* GuiThread = nullptr;
};

namespace {

using TPhase = TGuiThreadCall::TState::TPhase;

// A parameter is read or written under its owner's parameter lock, one access at a time.
template <typename T>
T LockedRead(std::mutex& lock, const T& field) {
  std::lock_guard<std::mutex> guard(lock);
  return field;
}

template <typename T>
void LockedWrite(std::mutex& lock, T& field, T value) {
  std::lock_guard<std::mutex> guard(lock);
  field = std::move(value);
}

QEvent::Type RunCallEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

// Every post of our workers goes through this one lock. Qt's own event-queue locking is
// invisible to the thread checker; with this lock it sees the posts in order.
std::mutex& PostLock() {
  static std::mutex lock;
  return lock;
}

// Takes the pending call and runs it on the GUI thread. Works on its own reference to the
// state, since the call may destroy the owner (and this receiver) before it returns.
void RunPendingCall(const std::shared_ptr<TGuiThreadCall::TState> state) {
  std::function<void()> call;
  {
    std::unique_lock<std::mutex> lock(state->Lock);
    // The worker marks the post as soon as Qt has taken it; waiting for that mark (a moment
    // at most) orders the post before this run in a way the thread checker can follow.
    state->Changed.wait(lock, [&] { return state->Phase != TPhase::Posting; });
    if (state->Aborted || state->Phase != TPhase::Posted) return;
    call = std::exchange(state->Call, nullptr);
    state->Phase = TPhase::Running;
  }
  std::exception_ptr failure;
  try {
    call();
  } catch (...) {
    failure = std::current_exception();  // raised again on the waiting worker
  }
  {
    std::lock_guard<std::mutex> lock(state->Lock);
    state->Failure = failure;
    state->Phase = TPhase::Done;
  }
  state->Changed.notify_all();
}

// Lives on the GUI thread; only our own event is ever posted to it.
class TCallReceiver : public QObject {
 public:
  explicit TCallReceiver(std::shared_ptr<TGuiThreadCall::TState> state)
      : FState(std::move(state)) {}

 protected:
  void customEvent(QEvent*) override { RunPendingCall(FState); }

 private:
  const std::shared_ptr<TGuiThreadCall::TState> FState;
};

}  // namespace

void TGuiThreadCall::TReceiverDeleter::operator()(QObject* receiver) const {
  // Deleting it drops the posts still waiting for it; off its own thread that must wait for
  // its event loop.
  if (receiver->thread() == QThread::currentThread())
    delete receiver;
  else
    receiver->deleteLater();
}

TGuiThreadCall::TGuiThreadCall() : FState(std::make_shared<TState>()) {
  const QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  FState->GuiThread = app->thread();
  FReceiver.reset(new TCallReceiver(FState));
  FReceiver->moveToThread(FState->GuiThread);
}

TGuiThreadCall::~TGuiThreadCall() { Abort(); }

bool TGuiThreadCall::Run(std::function<void()> ACall) {
  if (!FReceiver) return false;
  if (QThread::currentThread() == FState->GuiThread) {
    ACall();
    return true;
  }
  std::unique_lock<std::mutex> lock(FState->Lock);
  if (FState->Aborted) return false;
  FState->Call = std::move(ACall);
  FState->Phase = TPhase::Posting;
  lock.unlock();
  {
    std::lock_guard<std::mutex> post(PostLock());
    // The event queue takes ownership of the event.
    QCoreApplication::postEvent(FReceiver.get(), new QEvent(RunCallEventType()));
  }
  lock.lock();
  FState->Phase = TPhase::Posted;
  FState->Changed.notify_all();
  FState->Changed.wait(lock, [&] { return FState->Phase == TPhase::Done || FState->Aborted; });
  const bool ran = FState->Phase == TPhase::Done;
  FState->Phase = TPhase::Idle;
  FState->Call = nullptr;
  const std::exception_ptr failure = std::exchange(FState->Failure, nullptr);
  lock.unlock();
  if (failure) std::rethrow_exception(failure);
  return ran;
}

void TGuiThreadCall::Abort() {
  std::function<void()> dropped;
  {
    std::lock_guard<std::mutex> lock(FState->Lock);
    FState->Aborted = true;
    dropped = std::exchange(FState->Call, nullptr);
  }
  FState->Changed.notify_all();
}

// ---- TQueueWorker -------------------------------------------------------------------------

TQueueWorker::TQueueWorker(std::function<quint32()> AInterval, std::function<void()> AStep)
    : FInterval(std::move(AInterval)), FStep(std::move(AStep)) {}

TQueueWorker::~TQueueWorker() {
  Terminate();
  if (FThread.joinable()) FThread.join();
}

void TQueueWorker::Start() {
  std::lock_guard<std::mutex> lock(FLock);
  if (FTerminated || FThread.joinable()) return;
  FThread = std::thread([this] { Execute(); });
}

void TQueueWorker::Terminate() {
  {
    std::lock_guard<std::mutex> lock(FLock);
    FTerminated = true;
  }
  FWake.notify_all();
}

void TQueueWorker::Execute() {
  try {
    while (SleepInterval()) FStep();
  } catch (...) {
    // A handler that raises ends its worker; the queue itself goes on to exist, idle.
  }
}

bool TQueueWorker::SleepInterval() {
  // At least a millisecond, so an interval of 0 cannot turn the worker into a spin.
  const auto pause = std::chrono::milliseconds(std::max<quint32>(FInterval(), 1));
  const auto until = std::chrono::steady_clock::now() + pause;
  std::unique_lock<std::mutex> lock(FLock);
  return !FWake.wait_until(lock, until, [this] { return FTerminated; });
}

// ---- TSendTask / TSendQueue ---------------------------------------------------------------

TSendTask::TSendTask(const QByteArray& AData) : FData(AData) {
  if (FData.isEmpty()) throw ESealwiseError(QStringLiteral("Empty task data buffer"));
}

TSendQueue::TSendQueue() : FWorker([this] { return Interval(); }, [this] { HandOverHead(); }) {}

TSendQueue::~TSendQueue() {
  SetOnGetNextTask(nullptr);
  Terminate();
}

void TSendQueue::Start() { FWorker.Start(); }
void TSendQueue::Terminate() { FWorker.Terminate(); }

void TSendQueue::Add(const QByteArray& AData) { Insert(false, std::make_unique<TSendTask>(AData)); }
void TSendQueue::Add(std::unique_ptr<TSendTask> ATask) { Insert(false, std::move(ATask)); }
void TSendQueue::AddFirst(const QByteArray& AData) {
  Insert(true, std::make_unique<TSendTask>(AData));
}
void TSendQueue::AddFirst(std::unique_ptr<TSendTask> ATask) { Insert(true, std::move(ATask)); }

void TSendQueue::Insert(bool atHead, std::unique_ptr<TSendTask> task) {
  if (!task) return;
  std::lock_guard<std::mutex> lock(FTasksLock);
  if (atHead)
    FTasks.emplace_front(std::move(task));
  else
    FTasks.emplace_back(std::move(task));
}

void TSendQueue::Clear() {
  std::lock_guard<std::mutex> lock(FTasksLock);
  FTasks.clear();
}

int TSendQueue::Count() const {
  std::lock_guard<std::mutex> lock(FTasksLock);
  return int(FTasks.size());
}

void TSendQueue::Delete(const TSendTask* ATask) {
  std::lock_guard<std::mutex> lock(FTasksLock);
  const auto it = std::find_if(FTasks.begin(), FTasks.end(),
                               [ATask](const TTaskPtr& task) { return task.get() == ATask; });
  if (it != FTasks.end()) FTasks.erase(it);
}

void TSendQueue::Delete(int AIndex) {
  std::lock_guard<std::mutex> lock(FTasksLock);
  if (AIndex < 0 || size_t(AIndex) >= FTasks.size())
    throw ESealwiseError(QStringLiteral("List index out of bounds (%1)").arg(AIndex));
  FTasks.erase(FTasks.begin() + AIndex);
}

// The worker keeps its own reference while it hands the task over, so a task deleted
// meanwhile cannot be mistaken for a new one that happens to get the same address.
TSendQueue::TTaskPtr TSendQueue::Head() const {
  std::lock_guard<std::mutex> lock(FTasksLock);
  return FTasks.empty() ? nullptr : FTasks.front();
}

void TSendQueue::HandOverHead() {
  if (PauseSend()) return;
  const TTaskPtr head = Head();
  if (!head) return;
  if (const TOnGetNextTask handler = OnGetNextTask()) handler(head->Data());
  if (AutoDelete()) Delete(head.get());
}

quint32 TSendQueue::Interval() const { return LockedRead(FParamsLock, FInterval); }
void TSendQueue::SetInterval(quint32 Value) {
  LockedWrite(FParamsLock, FInterval, std::move(Value));
}
bool TSendQueue::AutoDelete() const { return LockedRead(FParamsLock, FAutoDelete); }
void TSendQueue::SetAutoDelete(bool Value) {
  LockedWrite(FParamsLock, FAutoDelete, std::move(Value));
}
bool TSendQueue::PauseSend() const { return LockedRead(FParamsLock, FPauseSend); }
void TSendQueue::SetPauseSend(bool Value) {
  LockedWrite(FParamsLock, FPauseSend, std::move(Value));
}
TOnGetNextTask TSendQueue::OnGetNextTask() const { return LockedRead(FParamsLock, FOnGetNextTask); }
void TSendQueue::SetOnGetNextTask(TOnGetNextTask Value) {
  LockedWrite(FParamsLock, FOnGetNextTask, std::move(Value));
}

// ---- TReceiveBuffer -----------------------------------------------------------------------

TReceiveBuffer::TReceiveBuffer()
    : FWorker([this] { return Interval(); }, [this] { DeliverGathered(); }) {}

TReceiveBuffer::~TReceiveBuffer() {
  SetOnNextReceived(nullptr);
  Terminate();
}

void TReceiveBuffer::Start() { FWorker.Start(); }

void TReceiveBuffer::Terminate() {
  FGuiCall.Abort();
  FWorker.Terminate();
}

void TReceiveBuffer::Add(const QByteArray& AData) {
  if (AData.isEmpty()) return;
  std::lock_guard<std::mutex> lock(FBlocksLock);
  FBlocks.push_back(AData);
  FByteCount += AData.size();
}

void TReceiveBuffer::Clear() {
  std::lock_guard<std::mutex> lock(FBlocksLock);
  FBlocks.clear();
  FByteCount = 0;
}

qsizetype TReceiveBuffer::Count() const {
  std::lock_guard<std::mutex> lock(FBlocksLock);
  return FByteCount;
}

bool TReceiveBuffer::GetBytes(QByteArray& Buffer) {
  Buffer.clear();
  const int minimum = MinimumLength();
  std::vector<QByteArray> blocks;
  qsizetype total = 0;
  {
    std::lock_guard<std::mutex> lock(FBlocksLock);
    blocks.swap(FBlocks);
    total = std::exchange(FByteCount, 0);
  }
  if (total == 0 || total <= minimum) return false;
  Buffer.reserve(total);
  for (const QByteArray& block : blocks) Buffer.append(block);
  return true;
}

void TReceiveBuffer::DeliverGathered() {
  QByteArray gathered;
  if (PauseInform() || !GetBytes(gathered)) return;
  // Runs only while not aborted, and the owner aborts on the GUI thread before it goes, so
  // `this` is alive whenever the call runs.
  FGuiCall.Run([this, gathered] {
    if (const TOnNextReceived handler = OnNextReceived()) handler(gathered);
  });
}

quint32 TReceiveBuffer::Interval() const { return LockedRead(FParamsLock, FInterval); }
void TReceiveBuffer::SetInterval(quint32 Value) {
  LockedWrite(FParamsLock, FInterval, std::move(Value));
}
int TReceiveBuffer::MinimumLength() const { return LockedRead(FParamsLock, FMinimumLength); }
void TReceiveBuffer::SetMinimumLength(int Value) {
  LockedWrite(FParamsLock, FMinimumLength, std::move(Value));
}
bool TReceiveBuffer::PauseInform() const { return LockedRead(FParamsLock, FPauseInform); }
void TReceiveBuffer::SetPauseInform(bool Value) {
  LockedWrite(FParamsLock, FPauseInform, std::move(Value));
}
TOnNextReceived TReceiveBuffer::OnNextReceived() const {
  return LockedRead(FParamsLock, FOnNextReceived);
}
void TReceiveBuffer::SetOnNextReceived(TOnNextReceived Value) {
  LockedWrite(FParamsLock, FOnNextReceived, std::move(Value));
}
