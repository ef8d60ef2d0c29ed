// Reading 500 history records while the pressure poll runs, against the time the device's
// bytes of that period take on a 115200 baud 8N1 line (ten bit times a byte): at most 1.25x.
#include <QElapsedTimer>
#include <cstdio>

#include "BenchReport.h"
#include "KX52xx.Data.Commands.h"
#include "TestWait.h"
#include "UsbRig.h"

namespace {

constexpr int kRecords = 500;
constexpr double kLineBytesPerSecond = 115200.0 / 10.0;

bool Measure() {
  KX52xxSimOptions options;
  options.Device.Model = KX52xxSimModel::KX5220;  // keeps every kind of record
  options.Device.HistoryCount = kRecords;
  TUsbRig rig(options);
  if (!rig.Start() || !rig.Connect() || !rig.WaitForConnectionSequence()) {
    std::fprintf(stderr, "no connection to the simulated device\n");
    return false;
  }
  int completed = 0;
  int pressures = 0;
  rig.Model().OnReceivedCmdAnswer = [&](TKX52xxDeviceData*, const QString&, TCmdID code,
                                        const QByteArray&) { completed += code == kCmdHistory; };
  rig.Model().OnReceivedPressure = [&](TKX52xxDeviceData*, const QString&, const TDateTime&,
                                       int) { ++pressures; };
  const qint64 bytesBefore = rig.Sim().Server().Statistics().BytesOut;
  QElapsedTimer clock;
  clock.start();
  rig.Model().FillHistoryRecords(-1, kRecords);
  const bool all = WaitUntil([&] { return completed == kRecords; }, 60000);
  const double seconds = clock.nsecsElapsed() / 1e9;
  const qint64 bytes = rig.Sim().Server().Statistics().BytesOut - bytesBefore;
  const double lineSeconds = bytes / kLineBytesPerSecond;
  std::printf("history: %d of %d records in %.3f s, %d pressure samples meanwhile; the device "
              "sent %lld bytes = %.3f s at 115200 8N1\n",
              completed, kRecords, seconds, pressures, static_cast<long long>(bytes), lineSeconds);
  if (!all) std::fprintf(stderr, "not every record arrived\n");
  return ReportAtMost("history read time / line time", seconds / lineSeconds, 1.25) && all;
}

}  // namespace

int main(int argc, char** argv) { return RunWithApplication(argc, argv, Measure); }
