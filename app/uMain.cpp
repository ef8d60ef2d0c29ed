#include "uMain.h"

#include <QBluetoothLocalDevice>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <limits>

#include "KX52xx.AlertList.h"
#include "SealwiseError.h"
#include "TGlobals.Paths.h"
#include "TGlobals.Shell.h"
#include "Vek.Controls.h"
#include "Vek.Lang.h"
#include "dDb.h"
#include "dIcons.h"
#include "pages/uLiveMonitor.h"
#include "pages/uPageAlert.h"
#include "pages/uPageConnecting.h"
#include "pages/uPageDashboard.h"
#include "pages/uPageLicense.h"
#include "pages/uPageSettings.h"
#include "pages/uPageTutorial.h"
#include "pages/uPageWorking.h"
#include "pages/uPanelDevInfo.h"
#include "pages/uPanelLed.h"
#include "pages/uPanelSensors.h"
#include "pages/uPanelUsers.h"
#include "pages/uReports.h"
#include "uConfiguration.h"
#include "uPanelButtons.h"
#include "uStyles.h"

std::function<bool()> TfrmMain::HasBluetoothAdapter = [] {
  return !QBluetoothLocalDevice::allDevices().isEmpty();
};

namespace {
bool IsLocalLink(const QString& AConnector) {
  return AConnector == CONN_FTDI || AConnector == CONN_BLE;
}

// Controls that show data rather than fixed texts keep their texts when a language is applied.
const char* const ExcludedFromTranslation[] = {"lblLicense",
                                               "cbSettingsAppLang",
                                               "litmDevInfo_Type",
                                               "litmDevInfo_Serial",
                                               "litmDevInfo_MAC",
                                               "litmDevInfo_FirmwareRev",
                                               "litmDevInfo_HardwareRev",
                                               "litmDevInfo_SoftwareRev",
                                               "edtSettingsCloudAddress",
                                               "edtSettingsDevName",
                                               "edtDevAppSettings_AlgSensitivity",
                                               "edtSettingsSMTPAddress",
                                               "edtSettingsSMTPPort",
                                               "edtSettingsSMTPUser",
                                               "edtSettingsSMTPPass",
                                               "edtSettingsEmailTo",
                                               "edtSettingsEmailSubject",
                                               "edtSettingsProxyAddress",
                                               "edtSettingsProxyPort",
                                               "edtSettingsProxyUser",
                                               "edtSettingsProxyPass",
                                               "edtSettingsAppUserName",
                                               "lblFirmwareUpdateInfo2"};

const QString EnglishName = QStringLiteral("English");

QColor LayoutHeaderColor() { return TStyles::FromArgb(TGlobals::ColorPanelHeader()); }
}  // namespace

TfrmMain::TfrmMain(TKX52xxLinkFactory ALinkFactory, QWidget* parent)
    : TfrmBase(parent),
      FDevData(std::make_unique<TKX52xxDeviceData>(std::move(ALinkFactory))),
      FLastKnownLon(std::numeric_limits<double>::quiet_NaN()),
      FLastKnownLat(std::numeric_limits<double>::quiet_NaN()),
      FAlertTickMs(TAlertList::kTickIntervalMs) {
  setObjectName(QStringLiteral("frmMain"));
  FConnecting = tcMain()->AddPage(new TConnectingPage(*FDevData, tcMain()));
  FFirmware = tcMain()->AddPage(QStringLiteral("tabFirmware"));
  TStyles::FillBackground(FFirmware, TStyles::Background);

  FtmrNotify = new QTimer(this);
  FtmrNotify->setInterval(NotifyIntervalMs);
  connect(FtmrNotify, &QTimer::timeout, this, &TfrmMain::NotifyTick);
  FtmrTime = new QTimer(this);
  FtmrTime->setInterval(ClockIntervalMs);
  connect(FtmrTime, &QTimer::timeout, this, &TfrmMain::ClockTick);
  FtmrCloud = new QTimer(this);
  FtmrCloud->setInterval(CloudFlashMs);
  connect(FtmrCloud, &QTimer::timeout, this, [this] {
    FtmrCloud->stop();
    WorkingPage()->UploadCloud()->SetImageIndex(-1);
  });
  FPanelButtons = new TPanelButtons(this);

  LicensePage()->OnAccept = [this] { LicenseAccepted(); };
  LicensePage()->OnDecline = [this] { LicenseDeclined(); };
  TutorialPage()->OnClose = [this] { TutorialClosed(); };
  tcMain()->OnChange = [this] { MainTabChanged(); };
  FormCreate();
}

TfrmMain::~TfrmMain() {
  FtmrNotify->stop();
  FDevData->Disconnect();
  FAlertList.reset();
  FDevData.reset();  // before the pages that refer to it
}

TWorkingPage* TfrmMain::WorkingPage() {
  if (!FWorking) BuildWorkingArea();
  return FWorking;
}

TUsersPanel* TfrmMain::UsersPanel() { return WorkingPage()->Dashboard()->Users(); }

TLiveMonitor& TfrmMain::Monitor() {
  WorkingPage();
  return *FMonitor;
}

TReports& TfrmMain::Reports() {
  WorkingPage();
  return *FReports;
}

QWidget* TfrmMain::tabConnecting() const { return FConnecting; }

QWidget* TfrmMain::tabWorking() { return WorkingPage(); }

bool TfrmMain::ContinueDiscoverDevices() const { return FConnecting->ContinueDiscoverDevices(); }

void TfrmMain::SetNotifyInterval(int AMs) { FtmrNotify->setInterval(AMs); }

// --- creation and show ---------------------------------------------------------------------

void TfrmMain::FormCreate() {
  InitLanguages();
  FIsStarting = true;
  FNotifyTimes = {0, 0, 0};
  FSelectedUserID = 0;
  AssignDeviceEvents();
  OnAfterShow = [this] { AfterShow(); };
}

// The first page shown needs none of the working area, so it is built after the show (or when
// reached for before that), wired and translated as the window's own pages were, and prepared
// as a show leaves it.
void TfrmMain::BuildWorkingArea() {
  FWorking = new TWorkingPage(tcMain());
  tcMain()->insertWidget(tcMain()->indexOf(FFirmware), FWorking);
  TDashboardPage* dashboard = FWorking->Dashboard();
  FMonitor = new TLiveMonitor(*this, *dashboard->Led(), *dashboard->Result(),
                              *dashboard->Sensors(), *FWorking->Alert());
  FReports = new TReports(*FDevData, *FWorking->Reports(), this);
  TSettingsPage* settings = FWorking->SettingsPage();
  settings->SetDevice(FDevData.get());
  settings->OnApplyLanguage = [this] { ApplyLanguage(); };
  settings->OnShowTutorial = [this] { ShowTutorialFromSettings(); };
  settings->OnShowLicense = [this] { ShowLicenseFromSettings(); };
  UsersPanel()->OnSetSelectedUser = [this](const QString& AName) { SetSelectedUser(AName); };
  FWorking->Pages()->OnChange = [this] { WorkingTabChanged(); };
  connect(FWorking, &TWorkingPage::FooterClicked, this, &TfrmMain::FooterClicked);
  connect(FWorking->Logo(), &TGlyph::Clicked, this, &TfrmMain::LogoClicked);

  FWorking->Location()->SetImageIndex(-1);
  FWorking->UploadCloud()->SetImageIndex(-1);
  FWorking->DateTime()->setText(QStringLiteral("---"));
  FWorking->Battery()->SetImageIndex(TIcon::BatteryNone);
  FWorking->SetMarkerColor(TStyles::FromArgb(TGlobals::ColorPageSelect()));
  UsersPanel()->ShowUserLabel();
  UsersPanel()->ShowUserList(false);
  for (TPanel* panel : FWorking->findChildren<TPanel*>()) panel->Pages()->setCurrentIndex(0);
  FPanelButtons->Attach(this);

  settings->FillLanguages(FLanguages, Configuration->GetLanguage());
  ExcludeDataControls();
  TLang::Translate(FWorking);
  ApplyLanguageToWorkingArea();
  if (isVisible()) PrepareWorkingArea();
}

void TfrmMain::InitLanguages() {
  FLanguages = QStringList{EnglishName};
  const QDir appDir(TGlobals::GetAppDir());
  for (const QFileInfo& file : appDir.entryInfoList({QStringLiteral("*.lng")}, QDir::Files)) {
    const QString name = file.completeBaseName();
    if (name.compare(EnglishName, Qt::CaseInsensitive) == 0) continue;
    try {
      TLang::AddLang(name, file.absoluteFilePath());
      FLanguages << name;
    } catch (const ESealwiseError&) {
      // A file that cannot be read, or a name given twice, is not offered.
    }
  }
  ExcludeDataControls();
  TLang::SetDefaultLangName(EnglishName);
  ApplyLanguage();
}

void TfrmMain::ExcludeDataControls() {
  for (const char* name : ExcludedFromTranslation) {
    if (QObject* control = findChild<QObject*>(QLatin1String(name)))
      TLang::ExcludeFromTranslation(control);
  }
}

void TfrmMain::ApplyLanguage() {
  TLang::SetLang(this, Configuration->GetLanguage());
  FConnecting->ApplyLanguage();
  if (FWorking) ApplyLanguageToWorkingArea();
  // The engine puts back the clock's design text; the device time returns at once.
  if (FtmrTime->isActive()) ShowDeviceTime();
}

// The working area's texts that are put together in code rather than held by a control.
void TfrmMain::ApplyLanguageToWorkingArea() {
  UsersPanel()->ApplyLanguage();
  FMonitor->ApplyLanguage();
}

void TfrmMain::AssignDeviceEvents() {
  FDevData->OnDevicesDiscovered = [this](TKX52xxDeviceData*, const QString& Connector,
                                         const TDeviceDictionary& Devices) {
    DevicesDiscovered(Connector, Devices);
  };
  FDevData->OnConnected = [this](TKX52xxDeviceData*, const QString& Connector, bool& Accepted) {
    Connected(Connector, Accepted);
  };
  FDevData->OnDisconnected = [this](TKX52xxDeviceData*, const QString& Connector) {
    Disconnected(Connector);
  };
  FDevData->OnReceivedCmdAnswer = [this](TKX52xxDeviceData*, const QString& Connector, TCmdID CmdID,
                                         const QByteArray& AData) {
    ReceivedCmdAnswer(Connector, CmdID, AData);
  };
  FDevData->OnReceivedPressure = [this](TKX52xxDeviceData*, const QString& Connector,
                                        const TDateTime& DateTime, int Pressure) {
    if (IsLocalLink(Connector)) Monitor().ReceivedPressure(DateTime, Pressure);
  };
  FDevData->OnReceivedAlert = [this](TKX52xxDeviceData*, const QString& Connector,
                                     const TDateTime& DateTime, TAlertType Alert,
                                     const QByteArray& AlertData) {
    if (IsLocalLink(Connector)) Monitor().ReceivedAlert(DateTime, Alert, AlertData);
  };
  FDevData->OnReceivedData = [this](TKX52xxDeviceData*, const QString& Connector,
                                    TCmdID ADataType) { ReceivedData(Connector, ADataType); };
  FDevData->OnCloudSend = [this](TKX52xxDeviceData*) { CloudSend(); };
}

void TfrmMain::FormShow() {
  tcMain()->SetActivePage(FConnecting, TTabTransition::None);
  // The connection page is the first shown, so it takes the layout's colour at once.
  if (!TGlobals::LayoutName().isEmpty()) FConnecting->SetLayoutTextColor(LayoutHeaderColor());
  if (FWorking) PrepareWorkingArea();
}

void TfrmMain::PrepareWorkingArea() {
  FWorking->Pages()->SetActivePage(FWorking->tabSettings(), TTabTransition::None);
  UsersPanel()->SelectUser(QString());
  LoadLayoutImages();
  FWorking->DeviceInfo()->SoftwareRev()->setText(TGlobals::Version());
  SetLed(ledPurple, true, QStringLiteral("Waiting Seal Wise"));
  FWorking->Dashboard()->Sensors()->ArrangeTiles();
}

// The first page is on screen by now: the working area is built unless reached for before, and
// the device search left by the show starts (under the agreement, if that is shown).
void TfrmMain::AfterShow() {
  FShowSettled = true;
  // Asking the system for an adapter and a message box would delay the first paint.
  ReportMissingBluetooth();
  if (Configuration->GetShowLicense()) {
    if (FSearchAfterShow) StartDiscovery();
    DisplayLicense();
  } else {
    TGlobals::SwitchTab(FConnecting);
  }
  FSearchAfterShow = false;
  WorkingPage();
}

// Without an adapter there is no Bluetooth LE link; the user learns it once and goes on with
// the USB link.
void TfrmMain::ReportMissingBluetooth() {
  if (FBluetoothReported || FDevData->Connectors().contains(CONN_BLE)) return;
  if (HasBluetoothAdapter && HasBluetoothAdapter()) return;
  FBluetoothReported = true;
  TGlobals::MsgWindow(
      TranslateText(QStringLiteral("No necessary permissions to use this application.")));
}

void TfrmMain::LoadLayoutImages() {
  if (!dmIcons) return;
  TImageList& battery = dmIcons->ilBattery;
  const TImageList& defaults = dmIcons->ilBatteryDefaults;
  battery.Clear();
  if (TGlobals::LayoutName().isEmpty()) {
    const int width = FWorking->Battery()->width();
    for (int i = 0; i < defaults.Count(); ++i)
      battery.Add(defaults.Image(i).scaledToWidth(width, Qt::SmoothTransformation));
    FWorking->Battery()->update();
    return;
  }
  const QDir dataDir(TGlobals::GetDataDir());
  QPixmap logo;
  if (logo.load(dataDir.filePath(QStringLiteral("logo.png")))) FWorking->Logo()->SetPicture(logo);
  TStyles::SetTextColor(FWorking->DateTime(), LayoutHeaderColor());
  for (int i = 0; i < TIcon::BatteryCount; ++i) {
    QImage picture;
    if (picture.load(dataDir.filePath(QStringLiteral("%1battery.png").arg(i))))
      battery.Add(picture.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
      battery.Add(defaults.Image(i));
  }
  FWorking->Battery()->update();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  FtmrNotify->stop();
  FDevData->Disconnect();
  TfrmBase::closeEvent(event);
}

// --- window-wide operations ---------------------------------------------------------------

void TfrmMain::WaitingTextStart(const QString& AWaitingText) {
  FConnecting->Waiting().Start(AWaitingText);
}

void TfrmMain::TextWaitingStop() { FConnecting->Waiting().Stop(); }

// The clock of the gone device stops too, or its next tick would bring the old time back.
void TfrmMain::DoDisconnect() {
  FtmrTime->stop();
  FSeconds = 0;
  WorkingPage()->DateTime()->setText(QStringLiteral("---"));
  FDevData->Disconnect();
}

void TfrmMain::Finish() {
  TGlobals::MsgWindow(
      TranslateText(QStringLiteral("You can't run this application without accept EULA.")));
}

void TfrmMain::StartDiscovery() { FConnecting->StartDiscovery(); }

void TfrmMain::StopDiscovery() { FConnecting->StopDiscovery(); }

void TfrmMain::SetLed(TLedState AState, bool ABlink, const QString& AText) {
  WorkingPage()->Dashboard()->Led()->SetLed(AState, ABlink, AText);
}

void TfrmMain::DisplayLicense() {
  TfrmBase::DisplayLicense(QDir(TGlobals::GetAppDir()).filePath(QStringLiteral("License.txt")));
}

void TfrmMain::ShowLicenseFromSettings() {
  LicensePage()->ShowAcceptOnly();
  DisplayLicense();
}

void TfrmMain::ShowTutorialFromSettings() {
  TutorialPage()->HideDoNotShow();
  DisplayTutorial();
}

// --- page entry -----------------------------------------------------------------------------

void TfrmMain::MainTabChanged() {
  QWidget* page = tcMain()->ActivePage();
  if (page != FConnecting) TextWaitingStop();
  if (page == FConnecting)
    EnterConnecting();
  else if (page == tabLicense())
    LicensePage()->FitButtons();
  else if (page == tabTutorial())
    TutorialPage()->LoadTutorialImages(TGlobals::GetAppDir(),
                                       FDevData->IsDevConnected() && FDevData->Is5210());
  else if (page == FWorking)
    EnterWorking();
  BaseTabChanged();
}

void TfrmMain::EnterConnecting() {
  FDevData->ConnectCloud(false);
  if (FWorking) {
    FWorking->DeviceInfo()->ClearDevice();
    FReports->ClearList();
  }
  FDevData->ClearHistoryRecords();
  if (dmDb) {
    try {
      dmDb->Clear();
    } catch (const ESealwiseError& error) {
      TGlobals::MsgWindow(TranslateText(error.Message()));
    }
  }
  FreeAlertList();
  WaitingTextStart(WaitingForDeviceText());
  // Listing the serial ports takes long: the window appears first.
  if (FShowSettled)
    StartDiscovery();
  else
    FSearchAfterShow = true;
}

void TfrmMain::EnterWorking() {
  FConnecting->ClearDevices();
  StopDiscovery();
  if (!FIsStarting) return;
  TGlobals::SwitchTab(FWorking->tabDashboard());
  UsersPanel()->PutChooseUserIntoEdit();
  FIsStarting = false;
}

void TfrmMain::WorkingTabChanged() {
  QWidget* page = FWorking->Pages()->ActivePage();
  FWorking->SetFooterEnabled(page != FWorking->tabAlert());
  FWorking->Alert()->SetRedAlert(page == FWorking->tabAlert());
  if (page == FWorking->tabDashboard())
    FWorking->MarkFooterButton(TWorkingPage::ftDashboard);
  else if (page == FWorking->tabReport())
    FWorking->MarkFooterButton(TWorkingPage::ftReports);
  else if (page == FWorking->tabSettings()) {
    FWorking->MarkFooterButton(TWorkingPage::ftSettings);
    FWorking->SettingsPage()->Enter();
  }
  if (page == FWorking->tabReport()) FReports->Enter();
}

void TfrmMain::FooterClicked(int ATag) { TGlobals::SwitchTab(FWorking->PageOfTag(ATag)); }

void TfrmMain::LogoClicked() {
  if (FWorking->Pages()->ActivePage() != FWorking->tabAlert()) DoDisconnect();
}

// --- first-start pages and users ------------------------------------------------------------

void TfrmMain::LicenseAccepted() {
  if (!FIsStarting) {
    TGlobals::SwitchTab(WorkingPage());
    return;
  }
  try {
    Configuration->SetShowLicense(false);
  } catch (const ESealwiseError& error) {
    TGlobals::MsgWindow(TranslateText(error.Message()));
  }
  TGlobals::SwitchTab(FConnecting);
}

void TfrmMain::LicenseDeclined() {
  try {
    Configuration->SetShowLicense(true);
  } catch (const ESealwiseError& error) {
    TGlobals::MsgWindow(TranslateText(error.Message()));
  }
  Finish();
}

void TfrmMain::TutorialClosed() {
  TGlobals::SwitchTab(FIsStarting ? static_cast<QWidget*>(FConnecting) : WorkingPage());
}

void TfrmMain::SetSelectedUser(const QString& AName) {
  FSelectedUserID = dmDb ? dmDb->GetUserID(AName) : 0;
  FDevData->SetUserName(AName);
}

// --- device model events --------------------------------------------------------------------

void TfrmMain::DevicesDiscovered(const QString& Connector, const TDeviceDictionary& Devices) {
  if (IsLocalLink(Connector)) FConnecting->DevicesDiscovered(Connector, Devices);
}

void TfrmMain::Connected(const QString& Connector, bool& Accepted) {
  if (!IsLocalLink(Connector)) {
    FDevData->SetLocation(FLastKnownLat, FLastKnownLon);
    Accepted = true;
    return;
  }
  FtmrNotify->start();
  TGlobals::SwitchTab(WorkingPage());
  TGlobals::SwitchTab(FWorking->tabDashboard());
  try {
    Configuration->SetRegisteredDevice(FDevData->DeviceID());
  } catch (const ESealwiseError& error) {
    TGlobals::MsgWindow(TranslateText(error.Message()));
  }
  FDevData->SetDateTime(TGlobals::Now());
  Reports().HistoryReadStarted();
  Accepted = true;
}

void TfrmMain::Disconnected(const QString& Connector) {
  if (!IsLocalLink(Connector) || tcMain()->ActivePage() == FConnecting) return;
  FtmrNotify->stop();
  TGlobals::SwitchTab(FConnecting);
}

void TfrmMain::ReceivedCmdAnswer(const QString& Connector, TCmdID CmdID,
                                 const QByteArray& AData) {
  if (!IsLocalLink(Connector)) return;
  switch (CmdID) {
    case 8:
      WorkingPage()->Battery()->SetImageIndex(
          TGlobals::BatteryLevelToImageIndex(FDevData->BatteryLevel()));
      break;
    case 9:
      WorkingPage()->DeviceInfo()->MAC()->setText(FDevData->MACAddress());
      break;
    case 17:
    case 18:
      Monitor().ReceivedCmdAnswer(CmdID);
      break;
    case 20:
      FSeconds = 0;
      ShowDeviceTime();
      FtmrTime->start();
      break;
    case 32:
      Reports().ReportCountReceived(AData);
      break;
    case 33:
      Reports().HistoryTransferred();
      break;
    default:
      break;
  }
}

void TfrmMain::ReceivedData(const QString& Connector, TCmdID ADataType) {
  if (!IsLocalLink(Connector)) return;
  TDeviceInfoPanel* info = WorkingPage()->DeviceInfo();
  switch (ADataType) {
    case 2:
      DeviceNameRead();
      break;
    case 4:
      info->Serial()->setText(FDevData->SerialNumber());
      break;
    case 5:
      info->FirmwareRev()->setText(FDevData->FirmwareRev());
      break;
    case 6:
      info->HardwareRev()->setText(FDevData->HardwareRev());
      break;
    default:
      break;
  }
}

// A KX5220 carries its user itself and raises alerts that must be answered.
void TfrmMain::DeviceNameRead() {
  const bool is5220 = TGlobals::IsKX5220(FDevData->DeviceName());
  UsersPanel()->setVisible(!is5220);
  if (is5220 && !FAlertList) {
    FAlertList = std::make_unique<TAlertList>(FAlertTickMs);
    FWorking->Alert()->SetAlertList(FAlertList.get());
  } else if (!is5220) {
    FreeAlertList();
  }
  FWorking->DeviceInfo()->DevType()->setText(FDevData->DeviceType());
}

// The alert page lets go of the list before it is freed.
void TfrmMain::FreeAlertList() {
  if (FWorking) FWorking->Alert()->SetAlertList(nullptr);
  FAlertList.reset();
}

void TfrmMain::CloudSend() {
  WorkingPage()->UploadCloud()->SetImageIndex(TIcon::IconUploadCloud);
  FtmrCloud->start();
}

// --- timers --------------------------------------------------------------------------------

void TfrmMain::NotifyTick() {
  FtmrNotify->stop();
  // Counts one countdown down; when it has run out, asks and reloads it.
  auto countDown = [this](size_t AIndex, bool AAsk, void (TKX52xxDeviceData::*AQuery)()) {
    if (--FNotifyTimes[AIndex] > 0 || !AAsk) return;
    (*FDevData.*AQuery)();
    FNotifyTimes[AIndex] = NotifyPeriods[AIndex];
  };
  countDown(0, true, &TKX52xxDeviceData::AskBattery);
  countDown(1, true, &TKX52xxDeviceData::AskTempHumid);
  countDown(2, FDevData->Is5220(), &TKX52xxDeviceData::AskAGM);  // motion only on a KX5220
  FtmrNotify->start();
}

void TfrmMain::ShowDeviceTime() {
  WorkingPage()->DateTime()->setText(
      Configuration->FormatDateTime(FDevData->DateTime().addSecs(FSeconds), false));
}

void TfrmMain::ClockTick() {
  ++FSeconds;
  ShowDeviceTime();
}
