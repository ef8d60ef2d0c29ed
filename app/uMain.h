#pragma once
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "KX52xx.Data.h"
#include "uFrmBase.h"

class QTimer;
class TAlertList;
class TConnectingPage;
class TLiveMonitor;
class TPanelButtons;
class TReports;
class TUsersPanel;
class TWorkingPage;
enum TLedState : quint8;

// The main window frmMain. It owns the device model and routes its events to the pages, runs
// the periodic device queries and the device clock, and offers the window-wide operations the
// pages call back into.
class TfrmMain : public TfrmBase {
  Q_OBJECT
 public:
  static constexpr int NotifyIntervalMs = 1000;
  static constexpr int ClockIntervalMs = 1000;
  static constexpr int CloudFlashMs = 500;
  // Query countdowns, in notify ticks: battery, temperature and humidity, motion (KX5220).
  static constexpr std::array<int, 3> NotifyPeriods = {60, 10, 2};

  explicit TfrmMain(TKX52xxLinkFactory ALinkFactory = DefaultLinkFactory(),
                    QWidget* parent = nullptr);
  ~TfrmMain() override;

  // Window-wide operations.
  void WaitingTextStart(const QString& AWaitingText);
  void TextWaitingStop();
  void DoDisconnect();
  void Finish();
  void ApplyLanguage();
  void StartDiscovery();
  void StopDiscovery();
  // The on-screen LED with its untranslated text.
  void SetLed(TLedState AState, bool ABlink, const QString& AText);
  // The agreement read from the application folder.
  void DisplayLicense();
  // "Show EULA..." and "Show Tutorial..." of the settings.
  void ShowLicenseFromSettings();
  void ShowTutorialFromSettings();

  TKX52xxDeviceData& DevData() const { return *FDevData; }
  TConnectingPage* ConnectingPage() const { return FConnecting; }
  // The working area is built at the after-show step, or on the first call before that.
  TWorkingPage* WorkingPage();
  TUsersPanel* UsersPanel();
  QWidget* tabConnecting() const;
  QWidget* tabWorking();
  QWidget* tabFirmware() const { return FFirmware; }
  TPanelButtons* PanelButtons() const { return FPanelButtons; }
  TAlertList* AlertList() const { return FAlertList.get(); }
  const QStringList& Languages() const { return FLanguages; }
  qint32 SelectedUserID() const { return FSelectedUserID; }
  bool IsStarting() const { return FIsStarting; }
  bool ContinueDiscoverDevices() const;
  const std::array<int, 3>& NotifyTimes() const { return FNotifyTimes; }
  QTimer* NotifyTimer() const { return FtmrNotify; }

  // Tests shorten the query period.
  void SetNotifyInterval(int AMs);
  // Tests shorten the countdown step of the alert lists created from now on.
  void SetAlertTickInterval(int AMs) { FAlertTickMs = AMs; }
  // One tick of the periodic device queries (tmrNotify).
  void NotifyTick();
  // Whether the computer has a Bluetooth adapter; replaceable for tests.
  static std::function<bool()> HasBluetoothAdapter;

 protected:
  void FormShow() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void BuildWorkingArea();
  void PrepareWorkingArea();
  TLiveMonitor& Monitor();
  TReports& Reports();
  void InitLanguages();
  void ExcludeDataControls();
  void ApplyLanguageToWorkingArea();
  void AssignDeviceEvents();
  void AfterShow();
  void LoadLayoutImages();
  void ReportMissingBluetooth();

  // Page entry steps.
  void MainTabChanged();
  void EnterConnecting();
  void EnterWorking();
  void WorkingTabChanged();
  void FooterClicked(int ATag);
  void LogoClicked();

  // First-start pages.
  void LicenseAccepted();
  void LicenseDeclined();
  void TutorialClosed();
  void SetSelectedUser(const QString& AName);

  // Device model events.
  void DevicesDiscovered(const QString& Connector, const TDeviceDictionary& Devices);
  void Connected(const QString& Connector, bool& Accepted);
  void Disconnected(const QString& Connector);
  void ReceivedCmdAnswer(const QString& Connector, TCmdID CmdID, const QByteArray& AData);
  void ReceivedData(const QString& Connector, TCmdID ADataType);
  void CloudSend();
  void DeviceNameRead();
  void FreeAlertList();

  // Timers.
  void ClockTick();
  void ShowDeviceTime();

  std::unique_ptr<TKX52xxDeviceData> FDevData;
  TConnectingPage* FConnecting = nullptr;
  TWorkingPage* FWorking = nullptr;
  QWidget* FFirmware = nullptr;
  TPanelButtons* FPanelButtons = nullptr;
  TReports* FReports = nullptr;
  std::unique_ptr<TAlertList> FAlertList;
  TLiveMonitor* FMonitor = nullptr;
  QTimer* FtmrNotify = nullptr;
  QTimer* FtmrTime = nullptr;
  QTimer* FtmrCloud = nullptr;

  QStringList FLanguages;
  quint32 FSeconds = 0;
  qint32 FSelectedUserID = 0;
  std::array<int, 3> FNotifyTimes{};
  bool FIsStarting = true;
  bool FBluetoothReported = false;
  bool FShowSettled = false;  // the after-show step has run
  bool FSearchAfterShow = false;
  double FLastKnownLon;
  double FLastKnownLat;
  int FAlertTickMs;
};
