#include "TGlobals.Shell.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include "dIcons.h"

namespace TGlobals {

void SwitchTab(QWidget* ATab, TTabTransition ATransition) {
  if (ATab == nullptr) return;
  auto* pages = qobject_cast<TPageControl*>(ATab->parentWidget());
  if (pages == nullptr || !pages->HasPage(ATab)) return;
  if (pages->ActivePage() == ATab) {
    pages->RaiseChange();
    return;
  }
  pages->SetActivePage(ATab, ATransition);
}

namespace {
// Message boxes belong to the main window, so they stay on top of it and close with it.
QWidget* MainWindow() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == QLatin1String("frmMain")) return window;
  }
  return nullptr;
}
}  // namespace

QMessageBox* MsgWindow(const QString& AMessage) {
  auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("KX52xx"), AMessage,
                              QMessageBox::Ok, MainWindow());
  box->setObjectName(QStringLiteral("MsgWindow"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
  return box;
}

int BatteryLevelToImageIndex(int AbatteryLevel) {
  switch (AbatteryLevel) {
    case 0:
      return TIcon::BatteryEmpty;
    case 1:
      return TIcon::BatteryOneBar;
    case 2:
      return TIcon::BatteryTwoBars;
    case 3:
      return TIcon::BatteryThreeBars;
    case 4:
      return TIcon::BatteryFull;
    case 5:
      return TIcon::BatteryCharging;
    default:
      return TIcon::BatteryNone;
  }
}

QString FillPlaceholders(const QString& ATemplate, const QStringList& AValues) {
  static const QString placeholder = QStringLiteral("%s");
  QString result = ATemplate;
  int from = 0;
  for (int i = 0;; ++i) {
    const int at = result.indexOf(placeholder, from);
    if (at < 0) return result;
    const QString value = AValues.value(i);
    result.replace(at, placeholder.size(), value);
    from = at + value.size();
  }
}

}  // namespace TGlobals
