#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <memory>

#include "FakeLink.h"
#include "TGlobals.Paths.h"
#include "TestWait.h"
#include "Vek.Lang.h"
#include "Vek.PageControl.h"
#include "dDb.h"
#include "dIcons.h"
#include "uConfiguration.h"
#include "uMain.h"

// The program's start-up for one test: settings and record store in a fresh data folder, the
// translation engine, then the window, the image module and the record store in the order the
// program creates them. Slides are off so pages settle at once.
class TShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FData.isValid());
    TGlobals::SetDataFolderOverride(FData.path());
    TGlobals::SetExportFolderOverride(FData.path());
    TPageControl::SetAnimationsEnabled(false);
    TfrmMain::HasBluetoothAdapter = [] { return true; };
    PrepareDataFolder();
    Configuration = std::make_unique<TConfiguration>(TGlobals::GetConfigFilePath());
    Lng = std::make_unique<TLng>();
  }

  void TearDown() override {
    CloseMessages();
    Window.reset();
    dmDb.reset();
    dmIcons.reset();
    Lng.reset();
    Configuration.reset();
    TGlobals::SetDataFolderOverride(QString());
    TGlobals::SetExportFolderOverride(QString());
    TPageControl::SetAnimationsEnabled(true);
  }

  // Files the test wants in the data folder before the program starts.
  virtual void PrepareDataFolder() {}

  // Creates the window over the given links and shows it; with AShowLicense false the
  // agreement has been accepted before.
  void Start(bool AShowLicense = false, TKX52xxLinkFactory AFactory = FakeLinkFactory()) {
    Configuration->SetShowLicense(AShowLicense);
    Window = std::make_unique<TfrmMain>(std::move(AFactory));
    dmIcons = std::make_unique<TdmIcons>();
    dmDb = std::make_unique<TdmDb>(TGlobals::GetDataDir());
    Window->show();
  }

  // Waits for the after-show step.
  void StartAndSettle(bool AShowLicense = false) {
    Start(AShowLicense);
    ProcessEventsFor(2 * TfrmBase::AfterShowDelayMs);
  }

  TFakeLink& Link(const QString& AKey) const {
    return *std::dynamic_pointer_cast<TFakeLink>(Window->DevData().Connectors().value(AKey));
  }
  TFakeLink& Usb() const { return Link(CONN_FTDI); }

  // Lists a device on a link, taps it and lets the next cycle connect it.
  void ConnectVia(TFakeLink& ALink, const QString& ADeviceName, const QString& AKey);
  void ConnectUsb(const QString& ADeviceName, const QString& AKey = QStringLiteral("ttyUSB0")) {
    ConnectVia(Usb(), ADeviceName, AKey);
  }

  QList<QMessageBox*> Messages() const {
    QList<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) boxes << box;
    }
    return boxes;
  }
  void CloseMessages() {
    for (QMessageBox* box : Messages()) box->close();
    QApplication::processEvents();
  }

  template <class T>
  T* Find(const char* AName) const {
    return Window->findChild<T*>(QLatin1String(AName));
  }
  QWidget* Shown() const { return Window->tcMain()->ActivePage(); }
  QWidget* ShownWorking() const;

  QTemporaryDir FData;
  std::unique_ptr<TfrmMain> Window;
};
