// Pacing and idle cost of the transfer queues: a send queue at 50 ms and a receive buffer at
// 100 ms run for five seconds with work always waiting, then two seconds with none. Prints
// hand-overs per second against the pacing bound, and the process CPU time of each phase.
#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "KX52xx.Data.Queues.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs the event loop for `ms` milliseconds; returns the wall-clock seconds it took.
double RunFor(QCoreApplication& app, int ms) {
  const Clock::time_point start = Clock::now();
  QTimer::singleShot(ms, &app, &QCoreApplication::quit);
  app.exec();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void PrintRate(const char* what, unsigned intervalMs, int count, double seconds) {
  const double rate = count / seconds;
  const double bound = 1000.0 / intervalMs;
  std::printf("%-15s interval %3u ms: %6.2f /s   bound %5.2f /s   ratio %.3f\n", what, intervalMs,
              rate, bound, rate / bound);
}

void PrintCpu(const char* phase, double cpu, double seconds) {
  std::printf("CPU %-8s %.1f s: %7.2f ms   (%.3f %% of one core)\n", phase, seconds, cpu * 1e3,
              100.0 * cpu / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);

  std::atomic<int> sent{0};
  TSendQueue send;
  send.SetInterval(50);
  send.SetOnGetNextTask([&](const QByteArray&) { ++sent; });
  send.Add(QByteArray::fromHex("AA 10 AC 04"));  // stays at the head: AutoDelete is off

  int delivered = 0;
  TReceiveBuffer receive;
  receive.SetInterval(100);
  receive.SetOnNextReceived([&](const QByteArray&) { ++delivered; });

  QTimer feeder;  // bytes arrive every 10 ms, as the poll answers would
  QObject::connect(&feeder, &QTimer::timeout, [&] { receive.Add(QByteArray(8, '\x55')); });
  feeder.start(10);

  double cpu = CpuSeconds();
  send.Start();
  receive.Start();
  const double busySeconds = RunFor(app, 5000);
  const double busyCpu = CpuSeconds() - cpu;
  PrintRate("send queue", send.Interval(), sent, busySeconds);
  PrintRate("receive buffer", receive.Interval(), delivered, busySeconds);

  feeder.stop();
  send.Clear();
  receive.Clear();
  cpu = CpuSeconds();
  const double idleSeconds = RunFor(app, 2000);
  const double idleCpu = CpuSeconds() - cpu;
  PrintCpu("busy", busyCpu, busySeconds);
  PrintCpu("idle", idleCpu, idleSeconds);
  return 0;
}
