#pragma once
#include <QWidget>
#include <array>

class QLabel;
class QToolButton;
class TAlertPage;
class TDashboardPage;
class TDeviceInfoPanel;
class TGlyph;
class TPageControl;
class TReportsPage;
class TSettingsPage;
class TToolBar;

// The working area tabWorking: the header with the logo, the device clock and the indicators,
// the working pages (dashboard, reports, settings, alerts), and the footer with one button per
// page and the marker under the current one.
class TWorkingPage : public QWidget {
  Q_OBJECT
 public:
  // Footer button tags.
  enum TFooterTag { ftDashboard = 1, ftReports = 2, ftSettings = 3 };

  explicit TWorkingPage(QWidget* parent);

  TPageControl* Pages() const { return FPages; }
  QWidget* tabDashboard() const;
  QWidget* tabReport() const;
  TReportsPage* Reports() const { return FReport; }
  QWidget* tabSettings() const { return FSettings; }
  QWidget* tabAlert() const;
  TDashboardPage* Dashboard() const { return FDashboard; }
  TAlertPage* Alert() const { return FAlert; }
  TDeviceInfoPanel* DeviceInfo() const { return FDeviceInfo; }
  TSettingsPage* SettingsPage() const { return FSettingsPage; }

  TGlyph* Logo() const { return FLogo; }
  QLabel* DateTime() const { return FDateTime; }
  TGlyph* Battery() const { return FBattery; }
  TGlyph* UploadCloud() const { return FUploadCloud; }
  TGlyph* Location() const { return FLocation; }
  QToolButton* FooterButton(TFooterTag ATag) const;
  QWidget* TabMarker() const { return FMarker; }

  // The page a footer tag shows; none for other tags.
  QWidget* PageOfTag(int ATag) const;
  // Puts the marker on top of a footer button.
  void MarkFooterButton(TFooterTag ATag);
  void SetFooterEnabled(bool AEnabled);
  void SetMarkerColor(const QColor& AColor);

  static constexpr int HeaderHeight = 40;
  static constexpr int FooterHeight = 50;
  static constexpr int MarkerHeight = 5;

 signals:
  void FooterClicked(int ATag);

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  QWidget* MakeHeader();
  QWidget* MakeFooter();
  QWidget* MakeSettingsPage();
  void ConnectSwipes();
  // Moves ASteps pages along the footer's order; nothing past its ends or off its pages.
  void MoveWorkingPage(int ASteps);
  void PlaceMarker();

  TPageControl* FPages = nullptr;
  TDashboardPage* FDashboard = nullptr;
  TReportsPage* FReport = nullptr;
  QWidget* FSettings = nullptr;
  TAlertPage* FAlert = nullptr;
  TDeviceInfoPanel* FDeviceInfo = nullptr;
  TSettingsPage* FSettingsPage = nullptr;
  TGlyph* FLogo = nullptr;
  QLabel* FDateTime = nullptr;
  TGlyph* FBattery = nullptr;
  TGlyph* FUploadCloud = nullptr;
  TGlyph* FLocation = nullptr;
  TToolBar* FFooter = nullptr;
  std::array<QToolButton*, 3> FFooterButtons{};
  QWidget* FMarker = nullptr;
  TFooterTag FMarked = ftDashboard;
};
