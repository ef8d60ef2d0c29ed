#pragma once
#include <QWidget>

#include "dDb.h"
#include "uReportText.h"

class QComboBox;
class QListWidget;
class QPushButton;
class TBusyIndicator;
class TDateEdit;
class TGlyph;
class TPanel;

// The reports page tabReport: the panel pnlReports with the list lvReports (its busy indicator
// aniReports over it), its info page and the filter page tabReportsFilter, and below it the
// action panel pnlReportsJob with the save image. The page shows rows and reads the filter;
// what goes into the list is decided by TReports.
class TReportsPage : public QWidget {
  Q_OBJECT
 public:
  static constexpr int RowHeight = 32;
  static constexpr int IconWidth = 50;
  static constexpr int IconHeight = 20;
  static constexpr int TextLeft = 58;
  // A drag this far down from the top of the list refreshes it.
  static constexpr int PullDistance = 60;
  static constexpr QRgb DateTimeColor = 0xFFD3D3D3;
  static constexpr QRgb DamagedColor = 0xFFFF0000;

  explicit TReportsPage(QWidget* parent);

  TPanel* ReportsPanel() const { return FReportsPanel; }
  TPanel* JobPanel() const { return FJobPanel; }
  QListWidget* List() const { return FList; }
  TBusyIndicator* Busy() const { return FBusy; }
  QComboBox* UserNameEdit() const { return FUserName; }
  TDateEdit* DateFromEdit() const { return FDateFrom; }
  TDateEdit* DateToEdit() const { return FDateTo; }
  QPushButton* ClearFilterButton() const { return FClearFilter; }
  QPushButton* ApplyFilterButton() const { return FApplyFilter; }
  TGlyph* SaveImage() const { return FSave; }

  void SetRows(const TReportRows& ARows);
  TReportRows Rows() const;
  void ClearRows();
  // Shows and starts, or stops, disables and hides the busy indicator.
  void SetBusy(bool ABusy);

  // The filter the controls describe: a date takes part when its edit is not empty.
  TReportFilter Filter() const;
  // "Clear Filter": the three edits emptied.
  void ClearFilter();
  // The drop-down of the user name edit; the text typed stays.
  void SetFilterUsers(const QStringList& AUsers);
  void SetUSDateOrder(bool AUSDateOrder);

 signals:
  // The list was pulled down past its top.
  void Pulled();
  void ApplyFilterClicked();
  void FilterPageShown();
  void SaveClicked();

 private:
  QWidget* MakeReportsPanel();
  QWidget* MakeJobPanel();
  void MakeFilterPage(QWidget* APage);

  TPanel* FReportsPanel = nullptr;
  TPanel* FJobPanel = nullptr;
  QListWidget* FList = nullptr;
  TBusyIndicator* FBusy = nullptr;
  QComboBox* FUserName = nullptr;
  TDateEdit* FDateFrom = nullptr;
  TDateEdit* FDateTo = nullptr;
  QPushButton* FClearFilter = nullptr;
  QPushButton* FApplyFilter = nullptr;
  TGlyph* FSave = nullptr;
};
