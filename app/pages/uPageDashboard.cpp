#include "uPageDashboard.h"

#include <QVBoxLayout>

#include "uPanelLed.h"
#include "uPanelResult.h"
#include "uPanelSensors.h"
#include "uPanelUsers.h"
#include "uStyles.h"

TDashboardPage::TDashboardPage(QWidget* AWorkingArea, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("tabDashboard"));
  TStyles::FillBackground(this, TStyles::Background);
  FColumn = new QVBoxLayout(this);
  FColumn->setContentsMargins(4, 4, 4, 4);
  FColumn->setSpacing(4);
  FUsers = new TUsersPanel(AWorkingArea, this);
  FColumn->addWidget(FUsers);
  FLed = new TLedPanel(this);
  FColumn->addWidget(FLed);
  FResult = new TResultPanel(this);
  FColumn->addWidget(FResult, 1);
  FSensors = new TSensorsPanel(this);
  FColumn->addWidget(FSensors);
}
