// Latency from the simulated device writing a pressure answer to the device model's
// OnReceivedPressure, over 30 s. The receive buffer hands bytes over every 100 ms, which puts
// the floor near a 50 ms median; the bounds are a median of 60 ms and a 99th percentile of
// 120 ms.
//
// The simulated device is served on a pseudo-terminal of this program's own, so the moment each
// answer is written is known; each pressure answer carries its own sequence number as value.
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "BenchReport.h"
#include "KX52xx.Sim.Device.h"
#include "KX52xx.Sim.Wire.h"
#include "PtyPeer.h"
#include "TestWait.h"
#include "UsbRig.h"

namespace {

constexpr int kMeasureMs = 30000;
constexpr quint8 kPressure = 16;

class TTimedDevice {
 public:
  TTimedDevice() {
    FClock.start();
    FPeer.SetResponder([this](const QByteArray& received) { return Answer(received); });
  }
  const QString& PortPath() const { return FPeer.SlavePath(); }
  bool IsValid() const { return FPeer.IsValid(); }
  qint64 NowNs() const { return FClock.nsecsElapsed(); }
  // When the answer carrying this value was written; negative when none did.
  qint64 WrittenAtNs(quint32 value) const {
    const auto found = FWrittenNs.find(value);
    return found == FWrittenNs.end() ? -1 : found->second;
  }

 private:
  // Runs on the GUI thread; the peer writes what it returns at once.
  QByteArray Answer(const QByteArray& received) {
    QByteArray answer;
    std::vector<quint32> numbered;
    FParser.Feed(received, [&](quint8 code, const QByteArray& payload) {
      if (code == kPressure) {
        numbered.push_back(++FNext);
        answer += KX52xxSimWire::BuildFrame(code, KX52xxSimWire::UInt32Bytes(FNext));
        return;
      }
      for (const KX52xxSimMessage& message : FDevice.HandleCommand(code, payload))
        answer += KX52xxSimWire::BuildFrame(message.Code, message.Payload);
    });
    const qint64 now = NowNs();
    for (quint32 value : numbered) FWrittenNs[value] = now;
    return answer;
  }

  TPtyPeer FPeer;
  KX52xxSimDevice FDevice;
  KX52xxSimWire::TFrameParser FParser;
  QElapsedTimer FClock;
  quint32 FNext = 1000;
  std::map<quint32, qint64> FWrittenNs;
};

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  const size_t at = std::min(values.size() - 1, size_t(share * double(values.size() - 1) + 0.5));
  return values[at];
}

bool Measure() {
  TTimedDevice device;
  TUsbRig rig(device.PortPath());
  if (!device.IsValid() || !rig.Start() || !rig.Connect() || !rig.WaitForConnectionSequence()) {
    std::fprintf(stderr, "no connection to the simulated device\n");
    return false;
  }
  std::vector<double> latenciesMs;
  rig.Model().OnReceivedPressure = [&](TKX52xxDeviceData*, const QString&, const TDateTime&,
                                       int value) {
    const qint64 written = device.WrittenAtNs(quint32(value));
    if (written >= 0) latenciesMs.push_back((device.NowNs() - written) / 1e6);
  };
  ProcessEventsFor(kMeasureMs);
  if (latenciesMs.empty()) {
    std::fprintf(stderr, "no pressure answer arrived\n");
    return false;
  }
  const double median = Percentile(latenciesMs, 0.5);
  const double p99 = Percentile(latenciesMs, 0.99);
  std::printf("pressure latency over %zu answers: median %.1f ms, 99th percentile %.1f ms, "
              "max %.1f ms\n",
              latenciesMs.size(), median, p99, Percentile(latenciesMs, 1.0));
  const bool medianMet = ReportAtMost("median latency / 60 ms", median / 60.0, 1.0);
  const bool p99Met = ReportAtMost("99th percentile latency / 120 ms", p99 / 120.0, 1.0);
  return medianMet && p99Met;
}

}  // namespace

int main(int argc, char** argv) { return RunWithApplication(argc, argv, Measure); }
