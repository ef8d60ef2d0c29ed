#pragma once
#include <QtGlobal>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "KX52xx.Data.Types.h"

class QTimer;

enum TAlertState : quint8 { asWaiting = 0, asExecuting = 1, asExecuted = 2 };

// The rank of an alert kind in the active-alert list (1 for kinds without a rank of their own).
quint32 AlertPriority(TAlertType AAlertType);

class TAlertItem;
using TOnAlertItem = std::function<void(TAlertItem* Sender)>;

// One active alert kind: how often it was reported and the countdown to its execution.
class TAlertItem {
 public:
  TAlertItem(TAlertType AAlertType, quint32 ATimeout, quint32 APriority, double AValue,
             double AReference);
  ~TAlertItem();
  TAlertItem(const TAlertItem&) = delete;
  TAlertItem& operator=(const TAlertItem&) = delete;

  TAlertType AlertType() const { return FAlertType; }
  quint32 Timeout() const { return FTimeout; }
  quint32 TimeLeft() const { return FTimeLeft; }
  quint32 Priority() const { return FPriority; }
  double Value() const { return FValue; }
  double Reference() const { return FReference; }
  quint32 Counter() const { return FCounter; }
  TAlertState State() const { return FState; }
  void SetOnAlert(TOnAlertItem AHandler) { FOnAlert = std::move(AHandler); }

  void IncCounter() { ++FCounter; }
  void StartTime() { FTimeLeft = FTimeout; }
  // One tick: the item is executed once, on the tick that brings it to zero.
  void DecTimeLeft();

 private:
  TAlertType FAlertType;
  quint32 FTimeout;
  quint32 FTimeLeft;
  quint32 FPriority;
  double FValue;
  double FReference;
  quint32 FCounter = 1;
  TAlertState FState = asWaiting;
  TOnAlertItem FOnAlert;
};

// The device's active alerts, one item per kind, counted down once a second while any exist.
// Handlers may delete items (even the one being executed) from inside a tick.
class TAlertList {
 public:
  static constexpr int kTickIntervalMs = 1000;
  static constexpr quint32 kAlertTimeout = 30;

  explicit TAlertList(int ATickIntervalMs = kTickIntervalMs);
  ~TAlertList();
  TAlertList(const TAlertList&) = delete;
  TAlertList& operator=(const TAlertList&) = delete;

  // An item was added or counted again (with it), or a tick counted down (without one).
  TOnAlertItem OnAlertChanged;
  // An item's countdown reached zero.
  TOnAlertItem OnAlertExecuted;

  TAlertItem* Add(TAlertType AAlertType, double AValue, double AReference);
  TAlertItem* Get(TAlertType AAlertType) const;
  void Delete(TAlertItem* AlertItem);
  int Count() const { return static_cast<int>(FItems.size()); }
  bool IsTimerActive() const;

 private:
  void Tick();
  bool Contains(const TAlertItem* AItem) const;

  // Shared so that a tick can keep an item alive while a handler deletes it from the list.
  std::vector<std::shared_ptr<TAlertItem>> FItems;
  std::recursive_mutex FLock;
  std::unique_ptr<QTimer> FTimer;
};
