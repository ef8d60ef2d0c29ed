#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <memory>

#include "KX52xx.Sim.SerialServer.h"
#include "KX52xx.Sim.Session.h"
#include "SimTestSupport.h"

namespace {

using SimTest::Frame;
using SimTest::TPtyClient;

constexpr int kNameAnswerSize = 20;

class SerialServerTest : public ::testing::Test {
 protected:
  void Serve(KX52xxSimModel model = KX52xxSimModel::KX5210, bool lineRate = true,
             KX52xxSimFaults faults = {}) {
    KX52xxSimConfig config;
    config.Model = model;
    config.UserPart = QStringLiteral("PTY");
    config.HistoryCount = 40;
    FDevice = std::make_unique<KX52xxSimDevice>(config);
    FServer = std::make_unique<KX52xxSimSerialServer>(*FDevice);
    FServer->SetLineRate(lineRate);
    FServer->SetFaults(faults);
    ASSERT_TRUE(FServer->Open()) << FServer->ErrorString().toStdString();
    ASSERT_TRUE(FServer->SlavePath().startsWith("/dev/"));
  }
  std::unique_ptr<TPtyClient> Connect() {
    auto client = std::make_unique<TPtyClient>(FServer->SlavePath());
    EXPECT_TRUE(client->IsOpen());
    EXPECT_TRUE(WaitUntil([&] { return FServer->IsPeerOpen(); }, 2000));
    return client;
  }
  void TearDown() override {
    FServer.reset();
    FDevice.reset();
  }
  std::unique_ptr<KX52xxSimDevice> FDevice;
  std::unique_ptr<KX52xxSimSerialServer> FServer;
};

class NameOverPty : public SerialServerTest,
                    public ::testing::WithParamInterface<KX52xxSimModel> {};

TEST_P(NameOverPty, NameAnswerArrivesAsOneGoodFrame) {
  Serve(GetParam());
  auto client = Connect();
  const QByteArray answer = client->Exchange(Frame(2), kNameAnswerSize);
  bool clean = false;
  const auto frames = SimTest::SplitFrames(answer, &clean);
  ASSERT_TRUE(clean) << answer.toHex(' ').toStdString();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].Code, 2);
  EXPECT_EQ(frames[0].Payload, (ModelName(GetParam()) + "_PTY").toLatin1() + QByteArray(6, '\0'));
}

INSTANTIATE_TEST_SUITE_P(Sim, NameOverPty,
                         ::testing::Values(KX52xxSimModel::KX5210, KX52xxSimModel::KX5211,
                                           KX52xxSimModel::KX5220),
                         [](const auto& info) { return ModelName(info.param).toStdString(); });

TEST_F(SerialServerTest, GarbageSplitRequestsAndBadChecksumsAreHandledLikeAWire) {
  Serve(KX52xxSimModel::KX5210, false);
  auto client = Connect();
  QByteArray damaged = Frame(8);
  damaged[2] = char(damaged[2] ^ 0x40);
  const QByteArray pressure = Frame(16);
  client->Write(QByteArray::fromHex("00FF13") + damaged + pressure.left(3));
  ProcessEventsFor(20);
  client->Write(pressure.mid(3) + Frame(32));
  ASSERT_TRUE(client->WaitForBytes(16));
  ProcessEventsFor(50);
  bool clean = false;
  const auto frames = SimTest::SplitFrames(client->Received(), &clean);
  EXPECT_TRUE(clean);
  ASSERT_EQ(frames.size(), 2u) << "no answer to the damaged battery request";
  EXPECT_EQ(frames[0].Code, 16);
  EXPECT_EQ(frames[1].Code, 32);
  EXPECT_EQ(SimTest::U32(frames[1].Payload, 0), 40u);
  EXPECT_EQ(FDevice->ReceivedCount(8), 0);
}

// 20 history records are 1040 bytes on the wire: at 11 520 bytes a second no less than 90 ms.
TEST_F(SerialServerTest, LineRateHoldsTheAnswersBackToTheBaudRate) {
  Serve();
  auto client = Connect();
  QElapsedTimer clock;
  clock.start();
  const QByteArray answer =
      client->Exchange(Frame(33, QByteArray::fromHex("FFFFFFFF00000014")), 1040, 5000);
  const qint64 elapsed = clock.elapsed();
  ASSERT_EQ(answer.size(), 1040);
  EXPECT_GE(elapsed, 80);
  bool clean = false;
  EXPECT_EQ(SimTest::SplitFrames(answer, &clean).size(), 60u);
  EXPECT_TRUE(clean);
}

TEST_F(SerialServerTest, CorruptedShareOfBytesIsRoughlyHonoured) {
  KX52xxSimFaults faults;
  faults.CorruptFraction = 0.1;
  Serve(KX52xxSimModel::KX5210, false, faults);
  auto client = Connect();
  const QByteArray expected = SimTest::Frame(2, QByteArray("KX5210_PTY") + QByteArray(6, '\0'));
  // Requests hit by noise are lost, so the answers are fewer than the requests; each answer
  // is the same 20 bytes, and a byte that differs from its place in it was corrupted.
  for (int i = 0; i < 400; ++i) {
    client->Write(Frame(2));
    if (i % 20 == 19) ProcessEventsFor(5);
  }
  ProcessEventsFor(300);
  client->Poll();
  const QByteArray& received = client->Received();
  ASSERT_GT(received.size(), 4000);
  int corrupted = 0;
  for (int i = 0; i < received.size(); ++i)
    if (received[i] != expected[i % expected.size()]) ++corrupted;
  const double share = double(corrupted) / received.size();
  EXPECT_GT(share, 0.06);
  EXPECT_LT(share, 0.14);
  EXPECT_EQ(FServer->Statistics().CorruptedOut, corrupted);
  EXPECT_GT(FServer->Statistics().CorruptedIn, 0);
}

TEST_F(SerialServerTest, DroppedAnswersRoughlyHonoured) {
  KX52xxSimFaults faults;
  faults.DropAnswerFraction = 0.5;
  Serve(KX52xxSimModel::KX5210, false, faults);
  auto client = Connect();
  for (int i = 0; i < 200; ++i) client->Write(Frame(8));
  ProcessEventsFor(300);
  client->Poll();
  const auto frames = SimTest::SplitFrames(client->Received());
  EXPECT_EQ(FDevice->ReceivedCount(8), 200);
  EXPECT_GT(frames.size(), 60u);
  EXPECT_LT(frames.size(), 140u);
  EXPECT_EQ(qint64(frames.size()) + FServer->Statistics().AnswersDropped, 200);
}

TEST_F(SerialServerTest, NotificationsReachAnOpenTerminalOnly) {
  Serve(KX52xxSimModel::KX5220, false);
  FDevice->RaiseLedState(85);  // no one listens yet: lost
  auto client = Connect();
  FDevice->RaiseAlert(36, KX52xxSimAlertValues{300, 500});
  ASSERT_TRUE(client->WaitForBytes(13));
  const auto frames = SimTest::SplitFrames(client->Received());
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].Code, 255);
  EXPECT_EQ(frames[0].Payload.toHex(), "240000012c000001f4");
}

// An application that closes the port with answers unread, and opens it again, finds no
// leftovers: its next answer is the first thing it reads.
TEST_F(SerialServerTest, ReopenedTerminalStartsClean) {
  Serve();
  QSignalSpy closed(FServer.get(), &KX52xxSimSerialServer::PeerClosed);
  {
    auto client = Connect();
    client->Write(Frame(33, QByteArray::fromHex("FFFFFFFF00000014")));
    ProcessEventsFor(40);  // part of the answer is in the terminal, part still on the wire
  }
  ASSERT_TRUE(WaitUntil([&] { return closed.count() == 1; }, 2000));
  EXPECT_FALSE(FServer->IsPeerOpen());
  ProcessEventsFor(100);
  auto again = Connect();
  const QByteArray answer = again->Exchange(Frame(2), kNameAnswerSize);
  ProcessEventsFor(30);
  again->Poll();
  bool clean = false;
  const auto frames = SimTest::SplitFrames(again->Received(), &clean);
  EXPECT_TRUE(clean) << again->Received().toHex(' ').toStdString();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].Code, 2);
}

TEST_F(SerialServerTest, UnplugClosesTheTerminal) {
  KX52xxSimFaults faults;
  faults.UnplugAfterMs = 200;
  Serve(KX52xxSimModel::KX5210, true, faults);
  QSignalSpy unplugged(FServer.get(), &KX52xxSimSerialServer::Unplugged);
  auto client = Connect();
  EXPECT_EQ(client->Exchange(Frame(8), 5).size(), 5);
  EXPECT_TRUE(client->WaitForHangUp(3000));
  EXPECT_EQ(unplugged.count(), 1);
  EXPECT_FALSE(FServer->IsPlugged());
}

// What the application's demonstration mode starts: a device playing its scenario on a pty.
TEST(SimUsbSession, ServesItsScenarioUntilUnplugged) {
  KX52xxSimOptions options;
  options.Device.Model = KX52xxSimModel::KX5220;
  options.Scenario = KX52xxSimScenarioKind::SealCheckPass;
  options.ScenarioTimeScale = 0.02;
  KX52xxSimUsbSession session(options);
  ASSERT_TRUE(session.Start()) << session.ErrorString().toStdString();
  TPtyClient client(session.SlavePath());
  ASSERT_TRUE(client.IsOpen());
  const auto sawKinds = [&](std::initializer_list<int> kinds) {
    for (int kind : kinds) {
      bool seen = false;
      for (const auto& frame : SimTest::SplitFrames(client.Received()))
        seen = seen || (frame.Code == 255 && SimTest::U8(frame.Payload, 0) == kind);
      if (!seen) return false;
    }
    return true;
  };
  EXPECT_TRUE(WaitUntil(
      [&] {
        client.Poll();
        return sawKinds({17, 18, 85});
      },
      5000));
  session.Server().Unplug();
  EXPECT_TRUE(client.WaitForHangUp());
  const size_t stored = session.Device().History().size();
  ProcessEventsFor(400);
  EXPECT_EQ(session.Device().History().size(), stored) << "the scenario stops with the cable";
}

}  // namespace
