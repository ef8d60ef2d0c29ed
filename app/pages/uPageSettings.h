#pragma once
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class TCloudHiddenEntries;
class TDeviceInfoPanel;
class TExitEdit;
class TGlyph;
class TKX52xxDeviceData;
class TPageControl;
class TPanel;
class TSettingsEntry;
class TSettingsList;
class TSwitch;

// The settings page tabSettings: the settings panel pnlSettings, whose lists change the
// connected device's name and activation threshold, the cloud connection, the language and a
// KX5220's default user, and lead to the tutorial and the agreement; and the device information
// panel pnlInfo. Every change takes effect when the user leaves the field or flips the switch:
// device values go to the device model, application values to the settings file.
class TSettingsPage : public QWidget {
  Q_OBJECT
 public:
  // Tags of the list entries: what a click does.
  enum TEntryTag {
    etDevice = 1,
    etInformation = 2,
    etCloud = 3,
    etAlerts = 4,
    etApplication = 5,
    etShowTutorial = 300,
    etShowEula = 301,
    etUpdateFirmware = 302,
    etBack = 1000
  };
  // Tags of the controls inside the entries: what leaving or flipping one does.
  enum TControlTag {
    ctCloudUse = 100,
    ctCloudAddress = 102,
    ctDeviceName = 200,
    ctActivationPoint = 201,
    ctAppUserName = 500
  };
  // The pages of tcDevAppSettings, in order.
  enum TSubPage { spMain, spDevice, spInformation, spCloud, spApplication, spAlerts, spCount };

  static constexpr int MaxDeviceNameLength = 9;
  static constexpr int MaxUserNameLength = 10;
  // A cloud address is checked with the server only when it is longer than this.
  static constexpr int MinCloudAddressLength = 12;

  explicit TSettingsPage(QWidget* parent);
  ~TSettingsPage() override;

  // The window's device model; set once, before the page is entered.
  void SetDevice(TKX52xxDeviceData* ADevData) { FDevData = ADevData; }
  // The language box: the offered names, with the stored one selected (else the first).
  void FillLanguages(const QStringList& ALanguages, const QString& AStored);
  // The entry step of tabSettings.
  void Enter();

  // Applies the cloud settings to the device model and the status marks; true when the cloud
  // link was asked to connect.
  bool UpdateCloudConnection();
  // Enables the cloud and communication controls from the current settings.
  void UpdateSettingsEnabling();

  TPanel* SettingsPanel() const { return FSettingsPanel; }
  TDeviceInfoPanel* DeviceInfo() const { return FDeviceInfo; }
  TPageControl* Pages() const { return FPages; }
  QWidget* Page(TSubPage APage) const { return APage < spCount ? FPageWidgets[APage] : nullptr; }
  TSettingsList* List(TSubPage APage) const { return APage < spCount ? FLists[APage] : nullptr; }

  // The window's steps the page starts.
  std::function<void()> OnApplyLanguage;
  std::function<void()> OnShowTutorial;
  std::function<void()> OnShowLicense;

 private:
  TSettingsList* AddListPage(TSubPage APage, const QString& ASuffix);
  TSettingsEntry* AddBack(TSubPage APage, const QString& AEntryName);
  TExitEdit* AddEdit(TSettingsEntry* AEntry, const QString& AName, int ATag, int AWidth);
  void BuildMainList();
  void BuildDeviceList();
  void BuildInformationList();
  void BuildCloudList();
  void BuildApplicationList();
  void MakeCloudAddressEdit(TSettingsEntry* AEntry);

  void ListClicked(int ATag);
  void PageChanged();
  void EnterCloudPage();
  void EnterDevicePage();
  void EnterApplicationPage();
  void EditExited(TExitEdit* AEdit);
  void ThresholdExited();
  void AppUserNameExited();
  void CloudSwitched(bool AOn);
  void LanguageChosen();
  void SelectLanguage(const QString& AName);
  void ShowCloudMarks(bool AOk, bool AWrong);
  bool Is5220() const;

  TKX52xxDeviceData* FDevData = nullptr;
  TPanel* FSettingsPanel = nullptr;
  TDeviceInfoPanel* FDeviceInfo = nullptr;
  TPageControl* FPages = nullptr;
  std::array<QWidget*, spCount> FPageWidgets{};
  std::array<TSettingsList*, spCount> FLists{};
  TSettingsEntry* FAlertsEntry = nullptr;
  TSettingsEntry* FAppUserNameEntry = nullptr;
  TExitEdit* FDeviceName = nullptr;
  TExitEdit* FThreshold = nullptr;
  TExitEdit* FCloudAddress = nullptr;
  TExitEdit* FAppUserName = nullptr;
  TSwitch* FCloudUse = nullptr;
  TGlyph* FCloudOk = nullptr;
  TGlyph* FCloudWrong = nullptr;
  QComboBox* FLanguage = nullptr;
  std::unique_ptr<TCloudHiddenEntries> FCloudHidden;
};
