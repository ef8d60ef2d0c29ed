#include "Vek.DateEdit.h"

#include <QCalendarWidget>
#include <QEvent>

namespace {
// Below any date a device can report: the value that stands for "no date".
TDateTime EmptyValue() { return TGlobals::MakeDateTime(2000, 1, 1, 0, 0, 0); }
}  // namespace

TDateEdit::TDateEdit(const QString& AName, QWidget* parent)
    : QDateTimeEdit(parent), FCalendar(new QCalendarWidget(this)) {
  setObjectName(AName);
  setTimeSpec(Qt::UTC);
  setMinimumDateTime(EmptyValue());
  // A blank special text: an empty one would switch the special text off.
  setSpecialValueText(QStringLiteral(" "));
  SetUSDateOrder(false);
  setCalendarPopup(true);
  setCalendarWidget(FCalendar);
  FCalendar->installEventFilter(this);
  Clear();
}

bool TDateEdit::IsEmpty() const { return dateTime() <= minimumDateTime(); }

void TDateEdit::Clear() { setDateTime(minimumDateTime()); }

QString TDateEdit::Text() const { return IsEmpty() ? QString() : text(); }

void TDateEdit::SetUSDateOrder(bool AUSDateOrder) {
  setDisplayFormat(AUSDateOrder ? QStringLiteral("MM-dd-yyyy HH:mm:ss")
                                : QStringLiteral("dd-MM-yyyy HH:mm:ss"));
}

// The calendar is shown when its pop-up opens.
bool TDateEdit::eventFilter(QObject* AWatched, QEvent* AEvent) {
  if (AWatched == FCalendar && AEvent->type() == QEvent::Show) {
    const TDateTime now = TGlobals::Now();
    setDateTime(now.addMSecs(-now.time().msec()));
    FCalendar->setSelectedDate(now.date());
  }
  return QDateTimeEdit::eventFilter(AWatched, AEvent);
}
