#include "KX52xx.Sim.Session.h"

KX52xxSimUsbSession::KX52xxSimUsbSession(const KX52xxSimOptions& options, QObject* parent)
    : QObject(parent),
      FDevice(options.Device),
      FServer(FDevice),
      FScenario(FDevice, options.Scenario, options.ScenarioTimeScale) {
  FServer.SetLineRate(options.LineRate);
  FServer.SetFaults(options.Faults);
  // The scenario stops with the cable.
  connect(&FServer, &KX52xxSimSerialServer::Unplugged, &FScenario, &KX52xxSimScenario::Stop);
}

bool KX52xxSimUsbSession::Start() {
  if (!FServer.Open()) return false;
  FScenario.Start();
  return true;
}
