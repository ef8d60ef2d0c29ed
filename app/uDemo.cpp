#include "uDemo.h"

#include "KX52xx.Sim.Session.h"
#include "Vek.ComPort.h"

TDemoDevice::TDemoDevice() = default;

TDemoDevice::~TDemoDevice() {
  if (FSession) TComPortDevices::RemoveExtraPort(FSession->SlavePath());
}

bool TDemoDevice::Start(const QString& AModel) {
  KX52xxSimOptions options;
  options.Device.Model = ParseModel(AModel).value_or(KX52xxSimModel::KX5210);
  options.Device.UserPart = QStringLiteral("DEMO");
  // A KX5220 shows its hazard alerts; the others run seal checks that pass.
  options.Scenario = options.Device.Model == KX52xxSimModel::KX5220
                         ? KX52xxSimScenarioKind::Alerts
                         : KX52xxSimScenarioKind::SealCheckPass;
  FSession = std::make_unique<KX52xxSimUsbSession>(options);
  if (!FSession->Start()) {
    FError = FSession->ErrorString();
    FSession.reset();
    return false;
  }
  TComPortDevices::AddExtraPort(FSession->SlavePath());
  return true;
}

QString TDemoDevice::Key() const { return FSession ? FSession->SlavePath() : QString(); }
