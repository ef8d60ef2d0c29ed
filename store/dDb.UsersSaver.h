#pragma once
#include <QString>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "dDb.UsersFile.h"

// Writes the user list to its file on a worker thread of its own, so adding a user never waits
// for the disk. Saves that pile up while one is being written collapse into one: the worker
// always writes the newest list handed over, so the file ends with the newest list whatever
// the timing. The worker sleeps while there is nothing to write.
class TUsersSaver {
 public:
  explicit TUsersSaver(QString AFilePath);
  // Writes a pending list, then stops and joins the worker.
  ~TUsersSaver();
  TUsersSaver(const TUsersSaver&) = delete;
  TUsersSaver& operator=(const TUsersSaver&) = delete;

  // Hands over a copy of the list; a list not yet written is replaced by this newer one.
  void Save(TUsersFileContent AContent);
  // Waits until every list handed over has been written (or its write has failed).
  void Flush();

 private:
  void Run();

  const QString FFilePath;
  std::mutex FLock;
  std::condition_variable FWake;  // a list is pending, or the worker is to stop
  std::condition_variable FIdle;  // nothing pending and nothing being written
  std::optional<TUsersFileContent> FPending;
  bool FWriting = false;
  bool FStopping = false;
  std::thread FWorker;  // last member: starts once everything it uses exists
};
