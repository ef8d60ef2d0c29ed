#include "dDb.UsersSaver.h"

#include <utility>

#include "dDb.UsersFile.h"

TUsersSaver::TUsersSaver(QString AFilePath)
    : FFilePath(std::move(AFilePath)), FWorker([this] { Run(); }) {}

TUsersSaver::~TUsersSaver() {
  {
    const std::lock_guard<std::mutex> guard(FLock);
    FStopping = true;
  }
  FWake.notify_one();
  FWorker.join();
}

void TUsersSaver::Save(QByteArray AData) {
  {
    const std::lock_guard<std::mutex> guard(FLock);
    FPending = std::move(AData);
  }
  FWake.notify_one();
}

void TUsersSaver::Flush() {
  std::unique_lock<std::mutex> lock(FLock);
  FIdle.wait(lock, [this] { return !FPending && !FWriting; });
}

void TUsersSaver::Run() {
  std::unique_lock<std::mutex> lock(FLock);
  for (;;) {
    FWake.wait(lock, [this] { return FPending || FStopping; });
    // A pending list is written even when stopping: nothing is saved at exit otherwise.
    if (!FPending) return;
    const QByteArray data = std::move(*FPending);
    FPending.reset();
    FWriting = true;
    lock.unlock();
    // A failed write is dropped without a message; the next list handed over carries the
    // same users and more.
    UsersFile::Save(FFilePath, data);
    lock.lock();
    FWriting = false;
    if (!FPending) FIdle.notify_all();
  }
}
