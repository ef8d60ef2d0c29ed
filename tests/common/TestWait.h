#pragma once
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

// Processes events until the condition holds or the time is up; returns the condition.
// Tests wait with this (or QSignalSpy::wait), never with a bare sleep before an assertion.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  QDeadlineTimer deadline(timeoutMs);
  while (!condition()) {
    if (deadline.hasExpired()) return condition();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

// Keeps the event loop running for a while (for counting what happens in a window of time).
inline void ProcessEventsFor(int ms) {
  QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
}
