#pragma once
#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Writes the user list to its file on a worker thread of its own, so adding a user never waits
// for the disk. Saves that pile up while one is being written collapse into one: the worker
// always writes the newest list handed over, so the file ends with the newest list whatever
// the timing. The worker sleeps while there is nothing to write.
//
// The list is handed over already encoded, in bytes no other thread holds: implicitly shared
// Qt containers check for sharing without a memory barrier, so sharing the list itself with
// the worker would race with the next append on the GUI thread.
class TUsersSaver {
 public:
  explicit TUsersSaver(QString AFilePath);
  // Writes a pending list, then stops and joins the worker.
  ~TUsersSaver();
  TUsersSaver(const TUsersSaver&) = delete;
  TUsersSaver& operator=(const TUsersSaver&) = delete;

  // Hands over the encoded list; a list not yet written is replaced by this newer one.
  void Save(QByteArray AData);
  // Waits until every list handed over has been written (or its write has failed).
  void Flush();

 private:
  void Run();

  const QString FFilePath;
  std::mutex FLock;
  std::condition_variable FWake;  // a list is pending, or the worker is to stop
  std::condition_variable FIdle;  // nothing pending and nothing being written
  std::optional<QByteArray> FPending;
  bool FWriting = false;
  bool FStopping = false;
  std::thread FWorker;  // last member: starts once everything it uses exists
};
