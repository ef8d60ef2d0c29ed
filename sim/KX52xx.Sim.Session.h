#pragma once
#include <QObject>
#include <QString>

#include "KX52xx.Sim.Device.h"
#include "KX52xx.Sim.Scenario.h"
#include "KX52xx.Sim.SerialServer.h"

// Everything one simulated USB device needs.
struct KX52xxSimOptions {
  KX52xxSimConfig Device;
  KX52xxSimScenarioKind Scenario = KX52xxSimScenarioKind::Idle;
  double ScenarioTimeScale = 1.0;
  bool LineRate = true;
  KX52xxSimFaults Faults;
};

// A simulated device served on a new pseudo-terminal and playing its scenario: what
// kx52xx-sim runs and what the application starts in-process for its demonstration mode.
// Create it on the GUI thread, Start it, open SlavePath() as the serial port.
class KX52xxSimUsbSession : public QObject {
  Q_OBJECT
 public:
  explicit KX52xxSimUsbSession(const KX52xxSimOptions& options, QObject* parent = nullptr);
  // Opens the terminal and starts the scenario; false with ErrorString on failure.
  bool Start();
  QString SlavePath() const { return FServer.SlavePath(); }
  QString ErrorString() const { return FServer.ErrorString(); }
  KX52xxSimDevice& Device() { return FDevice; }
  KX52xxSimSerialServer& Server() { return FServer; }
  KX52xxSimScenario& Scenario() { return FScenario; }

 private:
  KX52xxSimDevice FDevice;  // first: the server and the scenario refer to it
  KX52xxSimSerialServer FServer;
  KX52xxSimScenario FScenario;
};
