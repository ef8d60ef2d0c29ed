#pragma once
#include <QDateTimeEdit>

#include "TGlobals.Codecs.h"

class QCalendarWidget;

// A date and time edit that may be empty. Empty is its lowest value, shown as no text; opening
// its calendar first sets it to the current date and time. Values are wall-clock date-times
// (timeSpec() Qt::UTC), as everywhere in the application.
class TDateEdit : public QDateTimeEdit {
  Q_OBJECT
 public:
  TDateEdit(const QString& AName, QWidget* parent);

  bool IsEmpty() const;
  void Clear();
  // The date shown: empty while the edit is empty.
  QString Text() const;
  TDateTime Value() const { return dateTime(); }
  void SetValue(const TDateTime& AValue) { setDateTime(AValue); }
  // Day before month when false.
  void SetUSDateOrder(bool AUSDateOrder);

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  QCalendarWidget* FCalendar;
};
