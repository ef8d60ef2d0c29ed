#pragma once
#include <QDir>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

class TfrmMain;

// Walks the window through its pages against the demonstration device and saves one picture
// per page (named after the page) into a folder; then reports success or the step that failed.
class TScreenshotTour : public QObject {
  Q_OBJECT
 public:
  TScreenshotTour(TfrmMain& AWindow, const QString& AFolder, const QString& ADeviceKey);
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
  // Shows a page, then takes its picture once the window has laid it out.
  void AddPageShot(const QString& AName, std::function<void()> AShow);

  TfrmMain& FWindow;
  QDir FFolder;
  QString FDeviceKey;
  std::vector<TStep> FSteps;
  size_t FNext = 0;
  qint64 FStepStarted = 0;
  QTimer FPoll;
  QElapsedTimer FClock;
};
