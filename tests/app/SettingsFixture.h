#pragma once
#include <QLineEdit>
#include <QLocale>
#include <QSslConfiguration>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "LoopbackHttpServer.h"
#include "ShellFixture.h"
#include "TGlobals.Shell.h"
#include "pages/uPageSettings.h"
#include "pages/uPageWorking.h"
#include "pages/uSettingsList.h"

inline void PrintTo(const QString& AText, std::ostream* AOut) {
  *AOut << '"' << AText.toStdString() << '"';
}

// The fake local links with the real cloud link, so switching the cloud on reaches a server.
inline TKX52xxLinkFactory FakeLinksWithCloud() {
  TKX52xxLinkFactory factory = FakeLinkFactory();
  factory.insert(CONN_CLOUD, DefaultLinkFactory().value(CONN_CLOUD));
  return factory;
}

// What a KX52xx cloud server answers: the server check and a login with a token.
inline TLoopbackResponse CloudServerAnswer(const TLoopbackRequest& ARequest) {
  if (ARequest.Path == "/info")
    return TLoopbackResponse::Json(
        200,
        R"({"Type":"KX52xx Cloud Server","Version":1,"Subversion":0,"DateTime":"2024-03-05T14:07:09"})");
  if (ARequest.Path == "/login") return TLoopbackResponse::Json(200, R"({"Token":"tok"})");
  return TLoopbackResponse::Json(200, "{}");
}

// The window connected to a fake USB device, on its settings page, in the C locale (a test
// may choose another). The test certificate authority is trusted, as by the cloud tests.
class TSettingsTest : public TShellTest {
 protected:
  void SetUp() override {
    TShellTest::SetUp();
    QLocale::setDefault(QLocale::c());
    FSavedSsl = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = FSavedSsl;
    trusting.addCaCertificate(TLoopbackHttpServer::LoadCertificate(CloudData("ca.pem")));
    QSslConfiguration::setDefaultConfiguration(trusting);
  }
  void TearDown() override {
    TShellTest::TearDown();
    QSslConfiguration::setDefaultConfiguration(FSavedSsl);
    QLocale::setDefault(QLocale::system());
  }

  static QString CloudData(const char* AName) {
    return QStringLiteral(SEALWISE_SOURCE_DIR "/tests/cloud/data/") + QLatin1String(AName);
  }
  static std::unique_ptr<TLoopbackHttpServer> StartCloudServer() {
    auto server = std::make_unique<TLoopbackHttpServer>(CloudData("server-cert.pem"),
                                                        CloudData("server-key.pem"));
    EXPECT_TRUE(server->Start());
    server->SetHandler(CloudServerAnswer);
    return server;
  }

  // Starts the window over fake links and waits for the after-show step, which starts the
  // device search.
  void StartWithFakeLinks() {
    Start(false, FakeLinksWithCloud());
    ASSERT_TRUE(WaitUntil([this] { return Usb().DiscoverCalls >= 1; }));
  }
  // Starts the window, connects ADeviceName and opens the settings page.
  void OpenSettings(const QString& ADeviceName = QStringLiteral("KX5210_TEST")) {
    StartWithFakeLinks();
    ConnectUsb(ADeviceName);
    Find<QToolButton>("btnSettings")->click();
    ASSERT_EQ(ShownWorking(), Window->WorkingPage()->tabSettings());
  }

  TSettingsPage* Settings() const { return Window->WorkingPage()->SettingsPage(); }
  QWidget* ShownSettings() const { return Settings()->Pages()->ActivePage(); }
  QWidget* Page(TSettingsPage::TSubPage APage) const { return Settings()->Page(APage); }

  // A tap on the entry, left of any control it carries.
  void Tap(const char* AEntry) {
    auto* entry = Find<TSettingsEntry>(AEntry);
    ASSERT_NE(entry, nullptr) << AEntry;
    QTest::mouseClick(entry, Qt::LeftButton, {}, QPoint(4, entry->height() / 2));
  }
  // Opens a page from the main list.
  void Open(const char* AMainEntry) {
    TGlobals::SwitchTab(Page(TSettingsPage::spMain));
    Tap(AMainEntry);
  }

  void Focus(QWidget* AWidget) {
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    AWidget->setFocus();
    ASSERT_TRUE(AWidget->hasFocus());
  }
  // The user replaces the text and presses Enter, which leaves the edit.
  void TypeAndLeave(const char* AEdit, const QString& AText) {
    auto* edit = Find<QLineEdit>(AEdit);
    ASSERT_NE(edit, nullptr) << AEdit;
    Focus(edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, AText);
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_FALSE(edit->hasFocus());
  }
  // The user enters the edit and leaves it for another control without typing.
  void LeaveUnchanged(const char* AEdit) {
    auto* edit = Find<QLineEdit>(AEdit);
    ASSERT_NE(edit, nullptr) << AEdit;
    Focus(edit);
    Focus(Settings()->Pages());
  }

  QStringList MessageTexts() const {
    QStringList texts;
    for (QMessageBox* box : Messages()) texts << box->text();
    return texts;
  }

  QSslConfiguration FSavedSsl;
};
