#pragma once
#include <QDir>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

class KX52xxSimUsbSession;
class TfrmMain;

// Walks the window through its pages against the demonstration device and saves one picture
// per page (named after the page) into a folder; then reports success or the step that failed.
// With the demonstration device at hand it also stages a seal check, its passed result and, on
// a model with hazard alerts, an alert.
class TScreenshotTour : public QObject {
  Q_OBJECT
 public:
  // ADemo: the demonstration device the window connects to, or none for another device.
  TScreenshotTour(TfrmMain& AWindow, const QString& AFolder, const QString& ADeviceKey,
                  KX52xxSimUsbSession* ADemo);
  void Start();

  static constexpr int PollMs = 50;
  static constexpr int StepTimeoutMs = 60000;
  // Time for the window to lay out what changed before a picture.
  static constexpr int SettleMs = 300;

 signals:
  // AError empty on success.
  void Finished(const QString& AError);

 private:
  struct TStep {
    QString Name;
    std::function<bool()> Ready;  // the step runs once this holds
    std::function<void()> Act;
  };
  void BuildSteps();
  void Poll();
  void Shoot(const QString& AName);
  // Waits AMs (for the window to show fresh data) before the next step.
  void AddPause(const QString& AName, int AMs);
  // The settings lists, then the dashboard in German (English again afterwards).
  void AddSettingsSteps();
  // The reports list once it holds a result of this connection and the device's history, then
  // its filter page.
  void AddReportsSteps();
  // The dashboard during a seal check, its passed result, and the alert page when the model
  // raises hazard alerts.
  void AddSealCheckSteps();
  void AddAlertSteps();
  // Shows a page, then takes its picture once the window has laid it out.
  void AddPageShot(const QString& AName, std::function<void()> AShow);

  TfrmMain& FWindow;
  QDir FFolder;
  QString FDeviceKey;
  KX52xxSimUsbSession* FDemo;
  std::vector<TStep> FSteps;
  size_t FNext = 0;
  qint64 FStepStarted = 0;
  QTimer FPoll;
  QElapsedTimer FClock;
};
