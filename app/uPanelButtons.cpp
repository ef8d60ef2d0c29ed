#include "uPanelButtons.h"

#include <QAbstractButton>
#include <QTimer>
#include <QWidget>

#include "Vek.PageControl.h"

const TPanelButtons::TEntry TPanelButtons::Entries[] = {
    {1, "btnUserInfo", "tcUser", "tabUserInfo", true},
    {2, "btnUserSettings", "tcUser", "tabUserSettings", false},
    {3, "btnLedInfo", "tcLed", "tabLedInfo", true},
    {4, "btnResultInfo", "tcResult", "tabResultInfo", true},
    {5, "btnResultSettings", "tcResult", "tabResultSettings", false},
    {6, "btnReportsInfo", "tcReports", "tabReportsInfo", true},
    {7, "btnReportsFilter", "tcReports", "tabReportsFilter", false},
    {8, "btnSettingsInfo", "tcSettings", "tabSettingsInfo", true},
    {9, "btnInfoInfo", "tcInfo", "tabInfoInfo", true},
    {10, "btnSensorsInfo", "tcSensors", "tabSensorsInfo", true},
    {11, "btnReportsJobInfo", "tcReportsJob", "tabReportsJobInfo", true},
    {12, "btnAlertListInfo", "tcAlertList", "tabAlertListInfo", true},
    {13, "btnAlertCmdInfo", "tcAlertCmd", "tabAlertCmdInfo", true},
};

TPanelButtons::TPanelButtons(QObject* parent) : QObject(parent) {}

TPanelButtons::~TPanelButtons() { qDeleteAll(FReturnTimers); }

void TPanelButtons::Attach(QWidget* AWindow) {
  FWindow = AWindow;
  for (const TEntry& entry : Entries) {
    auto* button = AWindow->findChild<QAbstractButton*>(QLatin1String(entry.Button));
    if (button == nullptr) continue;
    button->setProperty(TagProperty, entry.Tag);
    const int tag = entry.Tag;
    connect(button, &QAbstractButton::clicked, this, [this, tag] { ButtonClicked(tag); });
  }
}

TPageControl* TPanelButtons::FindPages(const QWidget* AWindow, const TEntry& AEntry) {
  return AWindow->findChild<TPageControl*>(QLatin1String(AEntry.PageControl));
}

void TPanelButtons::StopReturn(TPageControl* APages) {
  if (QTimer* timer = FReturnTimers.take(APages)) {
    timer->stop();
    timer->deleteLater();
  }
}

void TPanelButtons::ButtonClicked(int ATag) {
  if (!FWindow) return;
  const TEntry* entry = nullptr;
  for (const TEntry& candidate : Entries) {
    if (candidate.Tag == ATag) entry = &candidate;
  }
  if (entry == nullptr) return;
  TPageControl* pages = FindPages(FWindow, *entry);
  QWidget* page = pages ? pages->findChild<QWidget*>(QLatin1String(entry->Page)) : nullptr;
  if (page == nullptr || !pages->HasPage(page)) return;

  StopReturn(pages);
  if (pages->ActivePage() == page) {
    pages->SetActivePage(pages->widget(0), TTabTransition::Slide, false);
    return;
  }
  pages->SetActivePage(page, TTabTransition::Slide);
  if (!entry->Returns) return;
  auto* timer = new QTimer();
  timer->setSingleShot(true);
  timer->setTimerType(Qt::PreciseTimer);
  timer->setInterval(FReturnMs);
  connect(timer, &QTimer::timeout, this, [this, pages, guard = QPointer<TPageControl>(pages)] {
    StopReturn(pages);
    if (guard) guard->SetActivePage(guard->widget(0), TTabTransition::Slide, false);
  });
  FReturnTimers.insert(pages, timer);
  timer->start();
}
