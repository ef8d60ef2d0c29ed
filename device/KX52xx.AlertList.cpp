#include "KX52xx.AlertList.h"

#include <QTimer>
#include <algorithm>

quint32 AlertPriority(TAlertType AAlertType) {
  switch (AAlertType) {
    case atStopBreathing:
      return 7;
    case atBreathingTooLow:
    case atAQICO2TooHigh2:
      return 6;
    case atImpact:
      return 5;
    case atFallProtection:
    case atAQIEthanolTooHigh:
      return 4;
    case atTemperatureTooLow:
    case atTemperatureTooHigh:
    case atHumidityTooLow:
    case atHumidityTooHigh:
      return 3;
    default:
      return 1;
  }
}

TAlertItem::TAlertItem(TAlertType AAlertType, quint32 ATimeout, quint32 APriority, double AValue,
                       double AReference)
    : FAlertType(AAlertType),
      FTimeout(ATimeout),
      FTimeLeft(ATimeout),
      FPriority(APriority),
      FValue(AValue),
      FReference(AReference) {}

TAlertItem::~TAlertItem() { FOnAlert = nullptr; }

void TAlertItem::DecTimeLeft() {
  if (FTimeLeft == 0) return;
  --FTimeLeft;
  if (FTimeLeft != 0 || !FOnAlert) return;
  FState = asExecuting;
  FOnAlert(this);
  FState = asExecuted;
}

TAlertList::TAlertList(int ATickIntervalMs) : FTimer(std::make_unique<QTimer>()) {
  FTimer->setInterval(ATickIntervalMs);
  QObject::connect(FTimer.get(), &QTimer::timeout, [this] { Tick(); });
}

TAlertList::~TAlertList() {
  FTimer->stop();
  FTimer.reset();
  OnAlertChanged = nullptr;
  OnAlertExecuted = nullptr;
}

TAlertItem* TAlertList::Add(TAlertType AAlertType, double AValue, double AReference) {
  TAlertItem* result = nullptr;
  {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    result = Get(AAlertType);
    if (result) {
      result->IncCounter();
      if (result->TimeLeft() == 0) result->StartTime();
    } else {
      auto item = std::make_shared<TAlertItem>(AAlertType, kAlertTimeout, AlertPriority(AAlertType),
                                               AValue, AReference);
      item->SetOnAlert([this](TAlertItem* sender) {
        if (OnAlertExecuted) OnAlertExecuted(sender);
      });
      result = item.get();
      FItems.push_back(std::move(item));
    }
    if (!FTimer->isActive()) FTimer->start();
  }
  if (OnAlertChanged) OnAlertChanged(result);
  return result;
}

TAlertItem* TAlertList::Get(TAlertType AAlertType) const {
  const auto found = std::find_if(FItems.begin(), FItems.end(), [&](const auto& item) {
    return item->AlertType() == AAlertType;
  });
  return found == FItems.end() ? nullptr : found->get();
}

void TAlertList::Delete(TAlertItem* AlertItem) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  const auto found = std::find_if(FItems.begin(), FItems.end(),
                                  [&](const auto& item) { return item.get() == AlertItem; });
  if (found != FItems.end()) FItems.erase(found);
}

bool TAlertList::IsTimerActive() const { return FTimer->isActive(); }

bool TAlertList::Contains(const TAlertItem* AItem) const {
  return std::any_of(FItems.begin(), FItems.end(),
                     [&](const auto& item) { return item.get() == AItem; });
}

void TAlertList::Tick() {
  {
    std::lock_guard<std::recursive_mutex> lock(FLock);
    if (FItems.empty()) {
      FTimer->stop();
      return;
    }
    // A handler may delete items while we count down: work on a copy that keeps them alive
    // and skip those that have left the list in the meantime.
    const auto snapshot = FItems;
    for (const auto& item : snapshot)
      if (Contains(item.get())) item->DecTimeLeft();
  }
  if (OnAlertChanged) OnAlertChanged(nullptr);
}
