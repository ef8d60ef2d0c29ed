#include "uFrmBase.h"

#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "TGlobals.Shell.h"
#include "Vek.PageControl.h"
#include "pages/uPageLicense.h"
#include "pages/uPageTutorial.h"
#include "uStyles.h"

TfrmBase::TfrmBase(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("KX52xx"));
  // A fixed single border with the system menu and minimise only.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(ClientWidth, ClientHeight);
  TStyles::ApplyWindowLook(this);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  FMain = new TPageControl(this);
  FMain->setObjectName(QStringLiteral("tcMain"));
  FLicense = FMain->AddPage(new TLicensePage(FMain));
  FTutorial = FMain->AddPage(new TTutorialPage(FMain));
  column->addWidget(FMain);
}

QWidget* TfrmBase::tabLicense() const { return FLicense; }

QWidget* TfrmBase::tabTutorial() const { return FTutorial; }

int TfrmBase::TutorialTabsCount() const { return FTutorial->TutorialTabsCount(); }

void TfrmBase::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;  // restored from the task bar: not a new show
  if (OnAfterShow && !FtmrOnAfterShow) {
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setInterval(AfterShowDelayMs);
    connect(timer, &QTimer::timeout, this, [this, timer] {
      timer->deleteLater();
      if (OnAfterShow) OnAfterShow();
    });
    FtmrOnAfterShow = timer;
    timer->start();
  }
  FormShow();
}

void TfrmBase::BaseTabChanged() {
  if (FMain->ActivePage() == FTutorial) FTutorial->ShowFirstPage();
}

void TfrmBase::DisplayTutorial() { TGlobals::SwitchTab(FTutorial); }

void TfrmBase::DisplayLicense(const QString& AFileName) {
  TGlobals::SwitchTab(FLicense);
  FLicense->LoadText(AFileName);
}
