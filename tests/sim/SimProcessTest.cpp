#include <gtest/gtest.h>

#include <QProcess>

#include "SimTestSupport.h"

namespace {

using SimTest::Frame;
using SimTest::TPtyClient;

QString SimProgram() { return QStringLiteral(SEALWISE_BINARY_DIR "/sim/kx52xx-sim"); }

class SimProcessTest : public ::testing::Test {
 protected:
  // Starts the program and reads the terminal path from its first output line.
  QString Start(const QStringList& arguments) {
    FProcess.setProgram(SimProgram());
    FProcess.setArguments(arguments);
    FProcess.start();
    if (!FProcess.waitForStarted(5000)) return {};
    WaitUntil([&] { return FProcess.canReadLine(); }, 5000);
    return QString::fromLocal8Bit(FProcess.readLine()).trimmed();
  }
  void TearDown() override {
    if (FProcess.state() != QProcess::NotRunning) {
      FProcess.terminate();
      if (!FProcess.waitForFinished(3000)) FProcess.kill();
      FProcess.waitForFinished(3000);
    }
  }
  QProcess FProcess;
};

TEST_F(SimProcessTest, FirstLineIsATerminalThatAnswersAsTheDevice) {
  const QString path = Start({"--model", "KX5211", "--name", "PROC", "--serial", "SN-77",
                              "--scenario", "sealcheck-fail", "--no-line-rate"});
  ASSERT_TRUE(path.startsWith("/dev/")) << path.toStdString();
  TPtyClient client(path);
  ASSERT_TRUE(client.IsOpen());
  // The program serves on its own event loop: wait until the answer comes.
  bool named = WaitUntil(
      [&] {
        const QByteArray answer = client.Exchange(Frame(2), 20, 200);
        const auto frames = SimTest::SplitFrames(answer);
        return !frames.empty() && frames[0].Payload.startsWith("KX5211_PROC");
      },
      5000);
  EXPECT_TRUE(named);
  const auto serial = SimTest::SplitFrames(client.Exchange(Frame(4), 9));
  ASSERT_EQ(serial.size(), 1u);
  EXPECT_EQ(serial[0].Payload, "SN-77");
}

TEST_F(SimProcessTest, UnplugEndsTheProgramAndTheTerminal) {
  const QString path = Start({"--unplug-after", "0.5", "--history", "3"});
  ASSERT_TRUE(path.startsWith("/dev/"));
  TPtyClient client(path);
  ASSERT_TRUE(client.IsOpen());
  EXPECT_TRUE(client.WaitForHangUp(5000));
  ASSERT_TRUE(FProcess.waitForFinished(5000));
  EXPECT_EQ(FProcess.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(FProcess.exitCode(), 0);
}

TEST_F(SimProcessTest, BadOptionsAreRefused) {
  for (const QStringList& arguments :
       {QStringList{"--model", "KX9999"}, QStringList{"--scenario", "storm"},
        QStringList{"--corrupt", "1.5"}, QStringList{"--history", "-3"}}) {
    FProcess.setProgram(SimProgram());
    FProcess.setArguments(arguments);
    FProcess.start();
    ASSERT_TRUE(FProcess.waitForFinished(5000)) << arguments.join(' ').toStdString();
    EXPECT_EQ(FProcess.exitCode(), 2) << arguments.join(' ').toStdString();
    EXPECT_TRUE(FProcess.readAllStandardOutput().isEmpty());
  }
}

}  // namespace
