#include "uPageSettings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "KX52xx.Data.Types.h"
#include "KX52xx.Data.h"
#include "SealwiseError.h"
#include "TGlobals.Cloud.h"
#include "TGlobals.Shell.h"
#include "Vek.Controls.h"
#include "Vek.Lang.h"
#include "Vek.PageControl.h"
#include "Vek.Panel.h"
#include "Vek.Switch.h"
#include "dDb.h"
#include "uConfiguration.h"
#include "uPanelDevInfo.h"
#include "uSettingsCloudExtras.h"
#include "uSettingsList.h"
#include "uStyles.h"

namespace {
TPanelSpec SettingsPanelSpec() {
  TPanelSpec panel;
  panel.Name = QStringLiteral("pnlSettings");
  // One ampersand on the screen (the design's text doubles it for the label's mnemonic rule).
  panel.Header = QStringLiteral("Device & App Settings");
  panel.PageControl = QStringLiteral("tcSettings");
  panel.MainPage = QStringLiteral("tabSettingsMain");
  panel.InfoButton = QStringLiteral("btnSettingsInfo");
  panel.InfoPage = QStringLiteral("tabSettingsInfo");
  panel.InfoText =
      QStringLiteral("Change Device settings. Cloud connection settings and device tutorials.");
  return panel;
}

const QString RestartMessage = QStringLiteral("Restart Sealwise device to apply new device name.");
const QString ThresholdMessage = QStringLiteral(
    "Wrong Threshold value. Threshold value can't be lower than 20.0 or grater than 80.0 . "
    "Threshold value not changed.");
const QString DataChargesMessage = QStringLiteral(
    "Warning - Enabling \"Use Cloud\" may incur data charges from your phone operator.");

void ShowMessage(const QString& AText) { TGlobals::MsgWindow(TranslateText(AText)); }

// A setting that cannot be written is reported; the page goes on with the value in memory.
template <class TStore>
void StoreSetting(TStore AStore) {
  try {
    AStore();
  } catch (const ESealwiseError& error) {
    ShowMessage(error.Message());
  }
}

constexpr int ShortEditWidth = 80;
constexpr int EditWidth = 130;
constexpr int MarkSize = 18;
}  // namespace

TSettingsPage::TSettingsPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("tabSettings"));
  TStyles::FillBackground(this, TStyles::Background);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);
  column->setSpacing(4);
  FSettingsPanel = new TPanel(SettingsPanelSpec(), this);
  column->addWidget(FSettingsPanel, 1);
  FDeviceInfo = new TDeviceInfoPanel(this);
  column->addWidget(FDeviceInfo);

  auto* content = new QVBoxLayout(FSettingsPanel->MainPage());
  content->setContentsMargins(0, 0, 0, 0);
  FPages = new TPageControl(FSettingsPanel->MainPage());
  FPages->setObjectName(QStringLiteral("tcDevAppSettings"));
  content->addWidget(FPages);
  BuildMainList();
  BuildDeviceList();
  BuildInformationList();
  BuildCloudList();
  BuildApplicationList();
  // Reached from no entry while its main entry stays hidden.
  AddListPage(spAlerts, QStringLiteral("Alerts"));
  AddBack(spAlerts, QStringLiteral("lbiAlertsBack"));
  FPages->OnChange = [this] { PageChanged(); };
}

TSettingsPage::~TSettingsPage() = default;

// --- building ------------------------------------------------------------------------------

TSettingsList* TSettingsPage::AddListPage(TSubPage APage, const QString& ASuffix) {
  QWidget* page = FPages->AddPage(QStringLiteral("tabDevAppSettings_") + ASuffix);
  auto* list = new TSettingsList(QStringLiteral("lstDevAppSettings_") + ASuffix, page);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list);
  connect(list, &TSettingsList::EntryClicked, this, &TSettingsPage::ListClicked);
  FPageWidgets[APage] = page;
  FLists[APage] = list;
  return list;
}

TSettingsEntry* TSettingsPage::AddBack(TSubPage APage, const QString& AEntryName) {
  return FLists[APage]->AddItem(AEntryName, QStringLiteral("Back..."), etBack);
}

TExitEdit* TSettingsPage::AddEdit(TSettingsEntry* AEntry, const QString& AName, int ATag,
                                  int AWidth) {
  auto* edit = new TExitEdit(AName, ATag, AEntry);
  if (AWidth > 0) edit->setFixedWidth(AWidth);
  AEntry->AddControl(edit, AWidth > 0 ? 0 : 1);
  connect(edit, &TExitEdit::Exited, this, &TSettingsPage::EditExited);
  return edit;
}

void TSettingsPage::BuildMainList() {
  TSettingsList* list = AddListPage(spMain, QStringLiteral("Main"));
  list->AddItem(QStringLiteral("lbiMainDevice"), QStringLiteral("Device Settings..."), etDevice);
  list->AddItem(QStringLiteral("lbiMainInformation"), QStringLiteral("Information..."),
                etInformation);
  list->AddItem(QStringLiteral("lbiMainCloud"), QStringLiteral("Cloud Settings..."), etCloud);
  FAlertsEntry = list->AddItem(QStringLiteral("lbiMainAlerts"),
                               QStringLiteral("Alerts Settings..."), etAlerts);
  FAlertsEntry->hide();
  list->AddItem(QStringLiteral("lbiMainApplication"), QStringLiteral("Application Settings..."),
                etApplication);
}

void TSettingsPage::BuildDeviceList() {
  TSettingsList* list = AddListPage(spDevice, QStringLiteral("Dev"));
  AddBack(spDevice, QStringLiteral("lbiDevBack"));
  TSettingsEntry* name =
      list->AddItem(QStringLiteral("lbiDevName"), QStringLiteral("Device Name:"));
  FDeviceName = AddEdit(name, QStringLiteral("edtSettingsDevName"), ctDeviceName, EditWidth);
  FDeviceName->setMaxLength(MaxDeviceNameLength);

  TSettingsEntry* threshold =
      list->AddItem(QStringLiteral("lbiDevActivationPt"), QStringLiteral("KX Activation pt.:"));
  FThreshold = AddEdit(threshold, QStringLiteral("edtDevAppSettings_AlgSensitivity"),
                       ctActivationPoint, ShortEditWidth);
  FThreshold->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
  threshold->AddControl(TStyles::MakeLabel(QStringLiteral("lblDevAppSettings_AlgUnit"),
                                           QStringLiteral("[mbar]"), threshold));

  // The mask type and the Bluetooth switch belong to the device but are not offered.
  TSettingsEntry* mask =
      list->AddItem(QStringLiteral("lbiDevMaskType"), QStringLiteral("Mask Type:"));
  for (const auto& [name, text] : {std::pair{"btnSettingsMaskFFM", "Full Face"},
                                   std::pair{"btnSettingsMaskHM", "Half Mask"}}) {
    auto* button = new QToolButton(mask);
    button->setObjectName(QLatin1String(name));
    button->setText(QLatin1String(text));
    button->setCheckable(true);
    mask->AddControl(button);
  }
  mask->hide();
  TSettingsEntry* ble =
      list->AddItem(QStringLiteral("lbiDevDisableBLE"), QStringLiteral("Disable BLE"));
  ble->AddControl(new TSwitch(QStringLiteral("swSettingsDisableBLE"), ble));
  ble->hide();

  list->AddSpacer(QStringLiteral("lbiDevSpacer"));
  list->AddItem(QStringLiteral("lbiDevFirmware"), QStringLiteral("Update device firmware..."),
                etUpdateFirmware);
}

void TSettingsPage::BuildInformationList() {
  TSettingsList* list = AddListPage(spInformation, QStringLiteral("Info"));
  AddBack(spInformation, QStringLiteral("lbiInfoBack"));
  list->AddItem(QStringLiteral("lbiInfoTutorial"), QStringLiteral("Show Tutorial..."),
                etShowTutorial);
  list->AddItem(QStringLiteral("lbiInfoEula"), QStringLiteral("Show EULA..."), etShowEula);
}

void TSettingsPage::BuildCloudList() {
  TSettingsList* list = AddListPage(spCloud, QStringLiteral("Cloud"));
  AddBack(spCloud, QStringLiteral("lbiCloudBack"));
  list->AddHeading(QStringLiteral("lbiCloudHeading"), QStringLiteral("Cloud Settings:"));
  TSettingsEntry* use = list->AddItem(QStringLiteral("lbiCloudUse"), QStringLiteral("Use Cloud:"));
  FCloudUse = new TSwitch(QStringLiteral("swSettingsCloudUse"), use);
  FCloudUse->setProperty("Tag", ctCloudUse);
  use->AddControl(FCloudUse);
  connect(FCloudUse, &TSwitch::toggled, this, &TSettingsPage::CloudSwitched);
  TSettingsEntry* address =
      list->AddItem(QStringLiteral("lbiCloudAddress"), QStringLiteral("Cloud Address:"));
  MakeCloudAddressEdit(address);
  FCloudHidden = std::make_unique<TCloudHiddenEntries>(*list);
}

// The address edit carries the two status marks of the server check at its right end.
void TSettingsPage::MakeCloudAddressEdit(TSettingsEntry* AEntry) {
  FCloudAddress = AddEdit(AEntry, QStringLiteral("edtSettingsCloudAddress"), ctCloudAddress, 0);
  FCloudAddress->setInputMethodHints(Qt::ImhUrlCharactersOnly);
  FCloudAddress->setTextMargins(0, 0, MarkSize + 2, 0);
  auto* marks = new QHBoxLayout(FCloudAddress);
  marks->setContentsMargins(0, 0, 2, 0);
  marks->addStretch(1);
  FCloudOk = new TGlyph(QStringLiteral("imgCloudSettingsOk"), FCloudAddress);
  FCloudOk->SetImage(TIconList::License, TIcon::LicenseAccept);
  FCloudWrong = new TGlyph(QStringLiteral("imgCloudSettingsWrong"), FCloudAddress);
  FCloudWrong->SetImage(TIconList::License, TIcon::LicenseCancel);
  for (TGlyph* mark : {FCloudOk, FCloudWrong}) {
    mark->setFixedSize(MarkSize, MarkSize);
    mark->hide();
    marks->addWidget(mark);
  }
}

void TSettingsPage::BuildApplicationList() {
  TSettingsList* list = AddListPage(spApplication, QStringLiteral("App"));
  AddBack(spApplication, QStringLiteral("lbiAppBack"));
  FAppUserNameEntry = list->AddItem(QStringLiteral("lbiAppUserName"), QStringLiteral("User Name:"));
  FAppUserName = AddEdit(FAppUserNameEntry, QStringLiteral("edtSettingsAppUserName"), ctAppUserName,
                         EditWidth);
  FAppUserName->setMaxLength(MaxUserNameLength);
  FAppUserNameEntry->hide();
  TSettingsEntry* language =
      list->AddItem(QStringLiteral("lbiAppLanguage"), QStringLiteral("Language:"));
  FLanguage = new QComboBox(language);
  FLanguage->setObjectName(QStringLiteral("cbSettingsAppLang"));
  FLanguage->setFixedWidth(EditWidth);
  language->AddControl(FLanguage);
  connect(FLanguage, &QComboBox::currentIndexChanged, this, &TSettingsPage::LanguageChosen);
}

// --- languages -----------------------------------------------------------------------------

void TSettingsPage::FillLanguages(const QStringList& ALanguages, const QString& AStored) {
  const QSignalBlocker quiet(FLanguage);
  FLanguage->clear();
  FLanguage->addItems(ALanguages);
  SelectLanguage(AStored);
}

void TSettingsPage::SelectLanguage(const QString& AName) {
  const QSignalBlocker quiet(FLanguage);
  const int index = FLanguage->findText(AName, Qt::MatchExactly | Qt::MatchCaseSensitive);
  FLanguage->setCurrentIndex(index < 0 ? 0 : index);
}

void TSettingsPage::LanguageChosen() {
  const QString name =
      FLanguage->currentIndex() >= 0 ? FLanguage->currentText() : TLang::DefaultLangName();
  StoreSetting([&name] { Configuration->SetLanguage(name); });
  if (OnApplyLanguage) OnApplyLanguage();
}

// --- navigation ----------------------------------------------------------------------------

bool TSettingsPage::Is5220() const { return FDevData != nullptr && FDevData->Is5220(); }

void TSettingsPage::Enter() {
  FAlertsEntry->hide();
  FAppUserNameEntry->setVisible(Is5220());
  TGlobals::SwitchTab(FPageWidgets[spMain]);
}

void TSettingsPage::ListClicked(int ATag) {
  // The pages of the main entries, by their tags 1 to 5.
  static constexpr TSubPage opened[] = {spDevice, spInformation, spCloud, spAlerts, spApplication};
  if (ATag >= etDevice && ATag <= etApplication) {
    TGlobals::SwitchTab(FPageWidgets[opened[ATag - etDevice]]);
    return;
  }
  switch (ATag) {
    case etShowTutorial:
      if (OnShowTutorial) OnShowTutorial();
      break;
    case etShowEula:
      if (OnShowLicense) OnShowLicense();
      break;
    case etBack: {
      // Only from the list pages (a firmware page has its own way back).
      QWidget* shown = FPages->ActivePage();
      const bool fromList =
          std::find(FPageWidgets.begin(), FPageWidgets.end(), shown) != FPageWidgets.end();
      if (fromList && shown != FPageWidgets[spMain]) TGlobals::SwitchTab(FPageWidgets[spMain]);
      break;
    }
    default:
      // Including etUpdateFirmware: the firmware page comes with the firmware update.
      break;
  }
}

void TSettingsPage::PageChanged() {
  for (TSettingsList* list : FLists) list->ClearSelection();
  QWidget* page = FPages->ActivePage();
  if (page == FPageWidgets[spCloud])
    EnterCloudPage();
  else if (page == FPageWidgets[spDevice])
    EnterDevicePage();
  else if (page == FPageWidgets[spApplication])
    EnterApplicationPage();
}

void TSettingsPage::EnterCloudPage() {
  FCloudHidden->Hide();
  FCloudUse->setChecked(Configuration->GetUseCloud());
  FCloudAddress->setText(Configuration->GetCloudAddress());
  FCloudHidden->Load(*Configuration);
  UpdateCloudConnection();
  UpdateSettingsEnabling();
}

void TSettingsPage::EnterDevicePage() {
  if (FDevData == nullptr) return;
  FDeviceName->setText(TGlobals::GetRWDevNamePart(FDevData->DeviceName()));
  FThreshold->setText(TGlobals::FormatThreshold(FDevData->KXActivatPt()));
}

void TSettingsPage::EnterApplicationPage() {
  if (Is5220()) FAppUserName->setText(Configuration->GetDefaultUserName());
  SelectLanguage(Configuration->GetLanguage());
  FAppUserNameEntry->setVisible(Is5220());
}

// --- changes -------------------------------------------------------------------------------

void TSettingsPage::EditExited(TExitEdit* AEdit) {
  switch (AEdit->Tag()) {
    case ctCloudAddress: {
      const QString address = AEdit->text();
      StoreSetting([&address] { Configuration->SetCloudAddress(address); });
      UpdateCloudConnection();
      break;
    }
    case ctDeviceName:
      if (FDevData) FDevData->SetDeviceName(AEdit->text());
      // Every time the edit is left: the device shows its new name only after a restart.
      ShowMessage(RestartMessage);
      break;
    case ctActivationPoint:
      ThresholdExited();
      break;
    case ctAppUserName:
      AppUserNameExited();
      break;
    default:
      break;
  }
  UpdateSettingsEnabling();
}

void TSettingsPage::ThresholdExited() {
  if (FDevData == nullptr) return;
  bool accepted = false;
  const float value = QLocale().toFloat(FThreshold->text().trimmed(), &accepted);
  if (accepted) {
    try {
      FDevData->SetKXActivatPt(value);
    } catch (const ESealwiseError&) {
      accepted = false;
    }
  }
  // Accepted or not, the edit shows the device's threshold the way the page always shows it.
  FThreshold->setText(TGlobals::FormatThreshold(FDevData->KXActivatPt()));
  if (!accepted) ShowMessage(ThresholdMessage);
}

// A KX5220 carries its wearer: the name becomes the default user, goes to the device and joins
// the users.
void TSettingsPage::AppUserNameExited() {
  if (!Is5220()) return;
  const QString name = FAppUserName->text();
  StoreSetting([&name] { Configuration->SetDefaultUserName(name); });
  FDevData->SetUserName(name);
  if (dmDb) dmDb->AddUser(name);
}

void TSettingsPage::CloudSwitched(bool AOn) {
  if (Configuration->GetUseCloud() != AOn) {
    StoreSetting([AOn] { Configuration->SetUseCloud(AOn); });
    if (UpdateCloudConnection()) ShowMessage(DataChargesMessage);
  }
  UpdateSettingsEnabling();
}

bool TSettingsPage::UpdateCloudConnection() {
  if (!Configuration->GetUseCloud()) {
    if (FDevData) FDevData->ConnectCloud(false);
    return false;
  }
  const QString address = Configuration->GetCloudAddress();
  if (address.isEmpty()) {
    ShowCloudMarks(false, false);
    return false;
  }
  if (address.size() > MinCloudAddressLength && TGlobals::IsKX52ServerCorrect(address)) {
    ShowCloudMarks(true, false);
    if (FDevData) FDevData->ConnectCloud(true);
    return true;
  }
  ShowCloudMarks(false, true);
  return false;
}

void TSettingsPage::ShowCloudMarks(bool AOk, bool AWrong) {
  FCloudOk->setVisible(AOk);
  FCloudWrong->setVisible(AWrong);
}

void TSettingsPage::UpdateSettingsEnabling() {
  FCloudAddress->setEnabled(Configuration->GetUseCloud() &&
                            !Configuration->GetUseDefaultCloudBaseAddress());
  FCloudHidden->UpdateEnabling(*Configuration);
}
