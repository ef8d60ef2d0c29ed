#pragma once
#include "Vek.Panel.h"

class QGridLayout;
class QLabel;

// The device information panel pnlInfo: the connected device's identity, and the program's
// own version, as caption and value pairs.
class TDeviceInfoPanel : public TPanel {
  Q_OBJECT
 public:
  explicit TDeviceInfoPanel(QWidget* parent);

  QLabel* DevType() const { return FType; }
  QLabel* Serial() const { return FSerial; }
  QLabel* MAC() const { return FMAC; }
  QLabel* FirmwareRev() const { return FFirmwareRev; }
  QLabel* HardwareRev() const { return FHardwareRev; }
  QLabel* SoftwareRev() const { return FSoftwareRev; }

  // Entering the connection page forgets the last device (the type stays until the next one).
  void ClearDevice();

  static constexpr int RowHeight = 22;

 private:
  QLabel* AddRow(const QString& AName, const QString& ACaption);

  QWidget* FList = nullptr;
  QGridLayout* FGrid = nullptr;
  int FRows = 0;
  QLabel* FType = nullptr;
  QLabel* FSerial = nullptr;
  QLabel* FMAC = nullptr;
  QLabel* FFirmwareRev = nullptr;
  QLabel* FHardwareRev = nullptr;
  QLabel* FSoftwareRev = nullptr;
};
