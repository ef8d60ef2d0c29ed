#include "KX52xx.Data.Links.h"

#include "KX52xx.Data.Phys.Cloud.h"
#include "KX52xx.Data.Phys.FTDI.h"
#include "SealwiseError.h"

TKX52xxLinkKind UnavailableLinkKind() {
  return {[](void*, const QString&) -> TKX52xxDataPhysPtr {
            throw ESealwiseError(QStringLiteral("Link not available"));
          },
          [](const IKX52xxDataPhys*) { return false; }};
}

TKX52xxLinkFactory DefaultLinkFactory() {
  TKX52xxLinkFactory factory;
  // The Bluetooth LE link class is not part of this build yet; the model then works without
  // it, as it does on a computer without Bluetooth LE.
  factory.insert(CONN_BLE, UnavailableLinkKind());
  factory.insert(CONN_FTDI, LinkKindOf<TKX52xxDataPhysFTDI>());
  factory.insert(CONN_CLOUD, LinkKindOf<TKX52xxDataPhysCloud>());
  return factory;
}
