#pragma once
#include <QWidget>

class QVBoxLayout;
class TLedPanel;
class TResultPanel;
class TSensorsPanel;
class TUsersPanel;

// The dashboard tabDashboard: from top to bottom the users panel, and the live panels of the
// device (LED, result chart, sensors), each a class of its own added to the column.
class TDashboardPage : public QWidget {
  Q_OBJECT
 public:
  // AWorkingArea: the working page control (the open user list takes half its height).
  TDashboardPage(QWidget* AWorkingArea, QWidget* parent);

  TUsersPanel* Users() const { return FUsers; }
  TLedPanel* Led() const { return FLed; }
  TResultPanel* Result() const { return FResult; }
  TSensorsPanel* Sensors() const { return FSensors; }
  // The column the panels stand in, top to bottom.
  QVBoxLayout* Column() const { return FColumn; }

 private:
  QVBoxLayout* FColumn = nullptr;
  TUsersPanel* FUsers = nullptr;
  TLedPanel* FLed = nullptr;
  TResultPanel* FResult = nullptr;  // takes the height the others leave
  TSensorsPanel* FSensors = nullptr;
};
