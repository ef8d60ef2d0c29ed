#include "uPageDashboard.h"

#include <QVBoxLayout>

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
  FColumn->addStretch(1);
}
