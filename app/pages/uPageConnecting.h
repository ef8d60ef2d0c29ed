#pragma once
#include <QString>
#include <QWidget>

#include "KX52xx.Data.Phys.h"
#include "uWaitingText.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class TGlyph;
class TKX52xxDeviceData;

// The device connection page: keeps discovery running on the local links while it is shown,
// lists the devices found grouped by link, and connects the device the user taps at the end
// of the next discovery cycle of its link. The widget is the page tabConnecting itself.
class TConnectingPage : public QWidget {
  Q_OBJECT
 public:
  // Link kinds, the tags of the list's groups.
  enum TLinkKind { lkBluetooth = 1, lkUSB = 2 };
  // Item attributes of lvConnecting.
  enum TItemRole { PurposeRole = Qt::UserRole + 1, TagRole, TagStringRole };
  enum TPurpose { ipNone = 0, ipHeader = 1 };

  TConnectingPage(TKX52xxDeviceData& ADevData, QWidget* parent);

  void StartDiscovery();
  void StopDiscovery() { FContinueDiscoverDevices = false; }
  bool ContinueDiscoverDevices() const { return FContinueDiscoverDevices; }
  // The end of one discovery cycle of a link (the device model's event).
  void DevicesDiscovered(const QString& Connector, const TDeviceDictionary& Devices);
  void UpdateDeviceGroup(int AKind, const TDeviceDictionary& Devices);
  void ClearDevices();
  // Selects the device with this discovery key as soon as it is listed, as a tap would.
  void SelectWhenListed(const QString& AKey) { FPendingKey = AKey; }
  // The item of a listed device; none when it is not listed.
  QListWidgetItem* FindDevice(const QString& AKey) const;
  // A tap on an item: the connecting text now, the connection at the link's next cycle.
  void TapItem(QListWidgetItem* AItem);

  TWaitingText& Waiting() { return FWaiting; }
  // Sets the disclaimer in the current language.
  void ApplyLanguage();
  // A loaded layout gives the waiting text the panel colour.
  void SetLayoutTextColor(const QColor& AColor);

  QListWidget* List() const { return FList; }
  QLabel* WaitingLabel() const { return FWaitingLabel; }

 private:
  QWidget* MakeDeviceBox();
  QWidget* MakeWarningBox();
  void SelectPending();
  bool LocalLinkConnected() const;
  void ConnectSelected(const QString& Connector, const QListWidgetItem& AItem);
  void ShowConnectError(const QString& AMessage, const QString& APort);
  QListWidgetItem* MakeItem(int AKind, TPurpose APurpose, const QString& AText,
                            const QString& AKey) const;
  void ResumeWaiting();

  TKX52xxDeviceData& FDevData;
  bool FContinueDiscoverDevices = false;
  QLabel* FWaitingLabel = nullptr;
  QListWidget* FList = nullptr;
  QLabel* FWarning2 = nullptr;
  QString FPendingKey;
  TWaitingText FWaiting;
};

// The waiting text of the page: "Waiting for Sealwise device" with the dots on the next line.
QString WaitingForDeviceText();
