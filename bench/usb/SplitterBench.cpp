// Frame splitter throughput against the serial line rate (115200 baud 8N1: 11 520 bytes a
// second); the bound is at least 10 000 times the line rate. The stream is what a device sends
// while a history is read: pressure answers between record pieces, split in deliveries of
// 1152 bytes (what 100 ms of line carries), clean and with 5 % of its bytes corrupted.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "KX52xx.Data.Phys.FTDI.h"

namespace {

constexpr double kLineBytesPerSecond = 11520.0;
constexpr double kBound = 10000.0;
constexpr int kDelivery = 1152;

QByteArray DeviceStream(double corruptShare) {
  std::mt19937 rng(5210);
  QByteArray stream;
  for (int record = 0; record < 400; ++record) {
    stream += KX52xxFrame::Build(33, QByteArray(16, char(record)));
    stream += KX52xxFrame::Build(33, QByteArray("\x40\0\0\0ANNA\0\0\0\0\0\0\0\0", 16));
    stream += KX52xxFrame::Build(33, QByteArray("\x80\0\0\0\x12\x34\x56\x78", 8));
    stream += KX52xxFrame::Build(16, QByteArray("\0\0\x01\xF4", 4));
  }
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  for (char& byte : stream) {
    if (chance(rng) < corruptShare) byte = char(quint8(byte) ^ quint8(1 + rng() % 255));
  }
  return stream;
}

void SplitStream(benchmark::State& state, double corruptShare) {
  const QByteArray stream = DeviceStream(corruptShare);
  qint64 frames = 0;
  for (auto _ : state) {
    QByteArray kept;
    for (qsizetype at = 0; at < stream.size(); at += kDelivery) {
      kept = KX52xxFrame::Split(kept + stream.mid(at, kDelivery),
                                [&](const QByteArray& frame) { frames += frame.size() > 0; });
    }
    benchmark::DoNotOptimize(kept);
  }
  const double bytes = double(state.iterations()) * double(stream.size());
  state.SetBytesProcessed(qint64(bytes));
  state.counters["x_line_rate"] =
      benchmark::Counter(bytes / kLineBytesPerSecond, benchmark::Counter::kIsRate);
  state.counters["frames"] = double(frames) / double(state.iterations());
}

void BM_SplitCleanStream(benchmark::State& state) { SplitStream(state, 0.0); }
void BM_SplitCorruptedStream(benchmark::State& state) { SplitStream(state, 0.05); }
BENCHMARK(BM_SplitCleanStream);
BENCHMARK(BM_SplitCorruptedStream);

// Keeps each run's multiple of the line rate for the summary.
class TLineRateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the median stands for them; the spread figures are no rates.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto found = run.counters.find("x_line_rate");
      if (found != run.counters.end()) Multiples[run.benchmark_name()] = found->second.value;
    }
  }
  std::map<std::string, double> Multiples;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TLineRateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  bool met = !reporter.Multiples.empty();
  for (const auto& [name, multiple] : reporter.Multiples) {
    const bool ok = multiple >= kBound;
    std::printf("%s: %.0fx the line rate; / %.0fx bound = %.2f (bound: at least 1) %s\n",
                name.c_str(), multiple, kBound, multiple / kBound, ok ? "met" : "NOT MET");
    met = met && ok;
  }
  benchmark::Shutdown();
  return met ? 0 : 1;
}
