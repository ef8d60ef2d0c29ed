#pragma once
#include <QColor>
#include <QWidget>

#include "KX52xx.Data.Types.h"

class QListWidget;
class QListWidgetItem;
class QTimer;
class QToolButton;
class TAlertFrame;
class TAlertItem;
class TAlertList;
class TPanel;

// The alert page tabAlert of a KX5220: the list of active alerts (lvAlerts, one row per alert
// code) inside a frame that flashes red while the page is shown. It blocks the rest of the
// working area until every alert is handled: cancelled by the wearer or executed when its
// countdown ends.
class TAlertPage : public QWidget {
  Q_OBJECT
 public:
  static constexpr int RowHeight = 64;
  static constexpr int DetailIndent = 50;
  static constexpr int RedAlertIntervalMs = 500;
  static constexpr QRgb StrokeRed = 0xFFFF0000;
  static constexpr QRgb StrokeBlack = 0xFF000000;
  // The alert code a row shows.
  static constexpr int TagRole = Qt::UserRole + 1;

  explicit TAlertPage(QWidget* parent);

  // The list whose items the rows show; none while no KX5220 is connected. The rows of a
  // previous list go with it; call this before that list is freed.
  void SetAlertList(TAlertList* AAlertList);
  // The red frame flashes while the page is shown.
  void SetRedAlert(bool AActive);

  // OnAlertChanged of the list: a row for the item (added or updated), or with no item the
  // countdowns of every row.
  void AlertChanged(TAlertItem* AItem);
  // Drops an item from the list and, with ARemoveRow, its row; when no row is left the
  // page is done (Emptied).
  void RemoveAlert(TAlertItem* AItem, bool ARemoveRow);

  QListWidget* List() const { return FList; }
  QListWidgetItem* RowOf(quint8 AAlert) const;
  // The parts of a row: its text, its detail, its image and its cancel button.
  QString RowText(quint8 AAlert) const;
  QString RowDetail(quint8 AAlert) const;
  int RowImage(quint8 AAlert) const;
  QToolButton* RowAccessory(quint8 AAlert) const;
  QRgb StrokeColor() const { return FStroke; }
  QTimer* RedAlertTimer() const { return FtmrRedAlert; }

 signals:
  // The last row went: the dashboard may be shown again.
  void Emptied();

 private:
  QWidget* MakeListPanel();
  void AddRow(const TAlertItem& AItem);
  void SetStroke(QRgb AColor);
  void AccessoryTapped(quint8 AAlert);

  TAlertFrame* FFrame = nullptr;
  QListWidget* FList = nullptr;
  QTimer* FtmrRedAlert = nullptr;
  TAlertList* FAlertList = nullptr;
  QRgb FStroke = StrokeBlack;
};
