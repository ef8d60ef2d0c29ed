// Sends 1000 pressure records through the cloud link to a loopback server over 10 s (100 a
// second) and counts the requests that carried them: the one-second pause should batch them
// into about one request a second. Then measures the CPU the process uses over 10 s while the
// link is connected and nothing is written, which is what the idle REST worker costs.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>

#include "KX52xx.Data.Phys.Cloud.h"
#include "LoopbackHttpServer.h"
#include "uConfiguration.h"

namespace {

constexpr int kRecords = 1000;
constexpr int kSendingMs = 10000;
constexpr int kIdleMs = 10000;
constexpr int kRequestBound = 11;
constexpr double kIdleCpuBoundPercent = 1.0;

double ProcessCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

void RunEventLoopFor(int ms) {
  QTimer::singleShot(ms, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
}

// Runs the event loop until the condition holds, at most timeoutMs.
bool RunUntil(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition() && clock.elapsed() < timeoutMs)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  return condition();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dataDir;
  Configuration = std::make_unique<TConfiguration>(dataDir.path() + "/Settings.cfg");
  Configuration->SetUseCloudMonitoring(true);

  int recordRequests = 0;
  int recordsReceived = 0;
  TLoopbackHttpServer server;
  server.SetHandler([&](const TLoopbackRequest& request) {
    if (request.Path == "/info")
      return TLoopbackResponse::Json(
          200, R"({"Type":"KX52xx Cloud Server","Version":1,"Subversion":0})");
    if (request.Path == "/login") return TLoopbackResponse::Json(200, R"({"Token":"bench"})");
    ++recordRequests;
    recordsReceived += int(QJsonDocument::fromJson(request.Body).array().size());
    return TLoopbackResponse::Json(200, "{}");
  });
  if (!server.Start()) {
    std::fprintf(stderr, "cannot listen on 127.0.0.1\n");
    return 1;
  }
  Configuration->SetCloudAddress(server.BaseUrl());

  auto link = std::make_shared<TKX52xxDataPhysCloud>(nullptr, CONN_CLOUD);
  link->SetDevice_Type("KX5210");
  link->SetDevice_ID("BENCH0001");
  link->SetPhone_ID("BENCHPHONE");
  link->SetOnDataReaded([](IKX52xxDataPhys*, const TDateTime&, TCmdID, const QByteArray&) {});
  int written = 0;
  link->SetOnDataWritten([&](IKX52xxDataPhys*, TCmdID) { ++written; });
  link->Connect(server.BaseUrl());
  if (!RunUntil([&] { return written > 0; }, 5000) || link->DeviceState() != dsConnected) {
    std::fprintf(stderr, "the cloud link did not log in\n");
    return 1;
  }

  // 100 records a second, paced by the elapsed time rather than by timer accuracy.
  int sent = 0;
  QElapsedTimer sending;
  sending.start();
  QTimer pacer;
  QObject::connect(&pacer, &QTimer::timeout, [&] {
    const int due = qMin<int>(kRecords, int(sending.elapsed() * kRecords / kSendingMs) + 1);
    for (; sent < due; ++sent) link->Write(16, QString::number(1000 + sent % 500));
    if (sent == kRecords) pacer.stop();
  });
  pacer.start(10);
  RunUntil([&] { return recordsReceived == kRecords; }, kSendingMs + 5000);

  const double idleStart = ProcessCpuMs();
  RunEventLoopFor(kIdleMs);
  const double idleCpuMs = ProcessCpuMs() - idleStart;
  const double idlePercent = idleCpuMs * 100.0 / kIdleMs;
  link.reset();

  std::printf("records sent: %d, received: %d\n", sent, recordsReceived);
  std::printf("requests carrying them over %.1f s: %d (bound %d, ratio %.2f)\n",
              kSendingMs / 1000.0, recordRequests, kRequestBound,
              double(recordRequests) / kRequestBound);
  std::printf("idle CPU over %.0f s: %.1f ms = %.3f %% of a core (bound %.0f %%, ratio %.3f)\n",
              kIdleMs / 1000.0, idleCpuMs, idlePercent, kIdleCpuBoundPercent,
              idlePercent / kIdleCpuBoundPercent);
  const bool ok = recordsReceived == kRecords && recordRequests <= kRequestBound &&
                  idlePercent < kIdleCpuBoundPercent;
  return ok ? 0 : 1;
}
