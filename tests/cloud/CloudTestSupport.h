#pragma once
#include <gtest/gtest.h>

#include <QSslConfiguration>
#include <QTemporaryDir>
#include <memory>

#include "LoopbackHttpServer.h"
#include "Vek.RESTSender.h"
#include "uConfiguration.h"

// Scale of the pause before normal requests in most tests: 20 ms instead of one second.
constexpr double kFastTimeScale = 0.02;

inline QString TestDataFile(const char* name) {
  return QStringLiteral(SEALWISE_TEST_DATA_DIR "/") + QLatin1String(name);
}

// Settings over a temporary file, the short pause, and the default TLS configuration trusting
// the test certificate authority (restored afterwards, so a test can take the trust away).
class CloudTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FTempDir.isValid());
    Configuration = std::make_unique<TConfiguration>(FTempDir.path() + "/Settings.cfg");
    FSavedSsl = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = FSavedSsl;
    trusting.addCaCertificate(TLoopbackHttpServer::LoadCertificate(TestDataFile("ca.pem")));
    QSslConfiguration::setDefaultConfiguration(trusting);
    TRESTSender::SetTimeScale(kFastTimeScale);
  }

  void TearDown() override {
    TRESTSender::SetTimeScale(1.0);
    QSslConfiguration::setDefaultConfiguration(FSavedSsl);
    Configuration.reset();
  }

  static void DistrustTestCertificate() {
    QSslConfiguration plain = QSslConfiguration::defaultConfiguration();
    plain.setCaCertificates(QSslConfiguration::systemCaCertificates());
    QSslConfiguration::setDefaultConfiguration(plain);
  }

  static std::unique_ptr<TLoopbackHttpServer> StartHttps() {
    auto server = std::make_unique<TLoopbackHttpServer>(TestDataFile("server-cert.pem"),
                                                        TestDataFile("server-key.pem"));
    EXPECT_TRUE(server->Start());
    return server;
  }

  static std::unique_ptr<TLoopbackHttpServer> StartHttp() {
    auto server = std::make_unique<TLoopbackHttpServer>();
    EXPECT_TRUE(server->Start());
    return server;
  }

  QTemporaryDir FTempDir;
  QSslConfiguration FSavedSsl;
};
