#include "uPanelDevInfo.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "uStyles.h"

namespace {
TPanelSpec DeviceInfoSpec() {
  TPanelSpec panel;
  panel.Name = QStringLiteral("pnlInfo");
  panel.Header = QStringLiteral("Device Information");
  panel.PageControl = QStringLiteral("tcInfo");
  panel.MainPage = QStringLiteral("tabInfoMain");
  panel.InfoButton = QStringLiteral("btnInfoInfo");
  panel.InfoPage = QStringLiteral("tabInfoInfo");
  panel.InfoText = QStringLiteral("Information about the Sealwise Device.");
  return panel;
}
}  // namespace

TDeviceInfoPanel::TDeviceInfoPanel(QWidget* parent) : TPanel(DeviceInfoSpec(), parent) {
  FList = new QWidget(MainPage());
  FList->setObjectName(QStringLiteral("lstDeviceInfo"));
  FGrid = new QGridLayout(FList);
  FGrid->setContentsMargins(8, 4, 8, 4);
  FGrid->setHorizontalSpacing(8);
  FGrid->setVerticalSpacing(0);
  auto* column = new QVBoxLayout(MainPage());
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(FList);
  FType = AddRow(QStringLiteral("DevInfo_Type"), QStringLiteral("Device Type:"));
  FSerial = AddRow(QStringLiteral("DevInfo_Serial"), QStringLiteral("Serial Number:"));
  FMAC = AddRow(QStringLiteral("DevInfo_MAC"), QStringLiteral("MAC Address:"));
  FFirmwareRev = AddRow(QStringLiteral("DevInfo_FirmwareRev"), QStringLiteral("Firmware Rev:"));
  FHardwareRev = AddRow(QStringLiteral("DevInfo_HardwareRev"), QStringLiteral("Hardware Rev:"));
  FSoftwareRev = AddRow(QStringLiteral("DevInfo_SoftwareRev"), QStringLiteral("Software Rev:"));
  setFixedHeight(HeaderHeight + 6 * RowHeight + 12);
}

// One pair: the caption "lblDevInfo_X" and the value "litmDevInfo_X".
QLabel* TDeviceInfoPanel::AddRow(const QString& AName, const QString& ACaption) {
  QLabel* caption = TStyles::MakeLabel(QStringLiteral("lbl") + AName, ACaption, FList);
  caption->setWordWrap(false);
  caption->setFixedHeight(RowHeight);
  TStyles::SetTextColor(caption, TStyles::LightSlateGrey);
  QLabel* value = TStyles::MakeLabel(QStringLiteral("litm") + AName, QString(), FList);
  value->setWordWrap(false);
  value->setFixedHeight(RowHeight);
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  FGrid->addWidget(caption, FRows, 0);
  FGrid->addWidget(value, FRows, 1);
  ++FRows;
  return value;
}

void TDeviceInfoPanel::ClearDevice() {
  for (QLabel* value : {FSerial, FMAC, FFirmwareRev, FHardwareRev}) value->clear();
}
