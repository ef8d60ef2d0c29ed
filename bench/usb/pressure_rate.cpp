// Pressure samples per second over 30 s against the 20 a second that the send queue's pace
// (one frame per 50 ms) allows.
#include <QElapsedTimer>
#include <cstdio>

#include "BenchReport.h"
#include "TestWait.h"
#include "UsbRig.h"

namespace {

constexpr int kMeasureMs = 30000;
constexpr double kPacedRate = 20.0;

bool Measure() {
  TUsbRig rig{KX52xxSimOptions{}};
  if (!rig.Start() || !rig.Connect() || !rig.WaitForConnectionSequence()) {
    std::fprintf(stderr, "no connection to the simulated device\n");
    return false;
  }
  int samples = 0;
  rig.Model().OnReceivedPressure = [&](TKX52xxDeviceData*, const QString&, const TDateTime&,
                                       int) { ++samples; };
  QElapsedTimer clock;
  clock.start();
  ProcessEventsFor(kMeasureMs);
  const double rate = samples / (clock.nsecsElapsed() / 1e9);
  std::printf("pressure samples: %d in %.1f s = %.2f a second (send pace allows %.0f)\n", samples,
              clock.nsecsElapsed() / 1e9, rate, kPacedRate);
  return ReportAtLeast("pressure rate / paced rate", rate / kPacedRate, 0.95);
}

}  // namespace

int main(int argc, char** argv) { return RunWithApplication(argc, argv, Measure); }
