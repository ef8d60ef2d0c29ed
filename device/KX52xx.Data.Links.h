#pragma once
#include <QMap>
#include <QString>
#include <functional>
#include <memory>

#include "KX52xx.Data.Phys.h"

// How the device model makes the link of one connector key, and how it tells that link's class
// among the senders of link events (the connector of an event is found by class, not by name).
struct TKX52xxLinkKind {
  std::function<TKX52xxDataPhysPtr(void* AOwner, const QString& AName)> Create;
  std::function<bool(const IKX52xxDataPhys* ALink)> IsOfKind;
};

// One kind per connector key.
using TKX52xxLinkFactory = QMap<QString, TKX52xxLinkKind>;

template <class TLink>
TKX52xxLinkKind LinkKindOf() {
  return {
      [](void* AOwner, const QString& AName) -> TKX52xxDataPhysPtr {
        return std::make_shared<TLink>(AOwner, AName);
      },
      [](const IKX52xxDataPhys* ALink) { return dynamic_cast<const TLink*>(ALink) != nullptr; }};
}

// A link this build cannot make yet: creating it raises ESealwiseError, and no sender is of it.
TKX52xxLinkKind UnavailableLinkKind();

// The links of the application: the USB, Bluetooth LE and cloud links.
TKX52xxLinkFactory DefaultLinkFactory();
