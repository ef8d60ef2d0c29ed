#include "ShellFixture.h"

#include <QListWidget>

#include "pages/uPageConnecting.h"
#include "pages/uPageWorking.h"

void TShellTest::ConnectVia(TFakeLink& ALink, const QString& ADeviceName, const QString& AKey) {
  ALink.DeviceName = ADeviceName;
  ALink.Devices = {{AKey, ADeviceName}};
  ALink.EndDiscovery();
  TConnectingPage* page = Window->ConnectingPage();
  QListWidgetItem* item = page->FindDevice(AKey);
  ASSERT_NE(item, nullptr);
  page->List()->setCurrentItem(item);
  page->TapItem(item);
  ALink.EndDiscovery();  // the next cycle connects
  ASSERT_TRUE(WaitUntil([this] { return Shown() == Window->tabWorking(); }));
}

QWidget* TShellTest::ShownWorking() const { return Window->WorkingPage()->Pages()->ActivePage(); }
