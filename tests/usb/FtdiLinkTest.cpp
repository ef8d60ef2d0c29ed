#include <gtest/gtest.h>

#include <QThread>
#include <random>

#include "KX52xx.Data.Phys.FTDI.h"
#include "PtyPeer.h"
#include "SealwiseError.h"
#include "TestWait.h"
#include "Vek.CRC.h"

namespace {

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

const QByteArray kNameRequest = Hex("aa028404");
const QByteArray kPressureRequest = Hex("aa10ac04");

struct TDataEvent {
  TCmdID Code;
  QByteArray Payload;
};

// The USB link against a pseudo-terminal whose far side answers the name request (or not) and
// records every frame the link writes.
class FtdiLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FPeer.IsValid());
    TComPortDevices::AddExtraPort(FPeer.SlavePath());
    FLink = std::make_shared<TKX52xxDataPhysFTDI>(nullptr, CONN_FTDI);
    FLink->SetOnConnected([this](IKX52xxDataPhys* sender) {
      EXPECT_EQ(sender, FLink.get());
      ++FConnected;
    });
    FLink->SetOnDisconnected([this](IKX52xxDataPhys* sender) {
      EXPECT_EQ(sender, FLink.get());
      EXPECT_EQ(QThread::currentThread(), qApp->thread());
      ++FDisconnected;
    });
    FLink->SetOnDataReaded(
        [this](IKX52xxDataPhys*, const TDateTime& at, TCmdID code, const QByteArray& data) {
          EXPECT_TRUE(at.isValid());
          FData.append({code, data});
        });
    FLink->SetOnDiscoveredDevices([this](IKX52xxDataPhys*, const TDeviceDictionary& devices) {
      FDevices = devices;
      ++FDiscoveries;
    });
    FPeer.SetResponder([this](const QByteArray& received) { return Answer(received); });
  }

  void TearDown() override {
    FLink.reset();
    TComPortDevices::RemoveExtraPort(FPeer.SlavePath());
  }

  QByteArray Answer(const QByteArray& received) {
    FPending += received;
    QByteArray answer;
    for (const QByteArray& frame : TakeFrames(FPending)) {
      FFrames.append(frame);
      if (frame == kNameRequest && !FName.isEmpty()) answer += DeviceFrame(2, FName);
    }
    return answer;
  }

  void Discover() {
    FLink->SetDiscoverIntervalMs(20);
    FLink->DiscoverDevices();
    ASSERT_TRUE(WaitUntil([&] { return FLink->DeviceState() == dsDiscovered; }));
  }

  void ConnectAs(const QByteArray& name) {
    FName = name;
    Discover();
    FLink->Connect(FPeer.SlavePath());
    ASSERT_EQ(FLink->DeviceState(), dsConnected);
  }

  // The frames written since the last call, pressure requests left out.
  QList<QByteArray> CommandsSent() {
    QList<QByteArray> commands;
    for (const QByteArray& frame : std::exchange(FFrames, {})) {
      if (frame != kPressureRequest) commands.append(frame);
    }
    return commands;
  }

  int PressureRequestsSent() const { return int(FFrames.count(kPressureRequest)); }

  TPtyPeer FPeer;
  std::shared_ptr<TKX52xxDataPhysFTDI> FLink;
  QByteArray FName;
  QByteArray FPending;
  QList<QByteArray> FFrames;
  QList<TDataEvent> FData;
  TDeviceDictionary FDevices;
  int FConnected = 0;
  int FDisconnected = 0;
  int FDiscoveries = 0;
};

struct TNameCase {
  const char* Title;
  QByteArray Name;
  QString DeviceID;
};

class FtdiLinkName : public FtdiLink, public ::testing::WithParamInterface<TNameCase> {};

TEST_P(FtdiLinkName, AcceptsADeviceWhoseNameBeginsWithKX52) {
  ConnectAs(GetParam().Name);
  EXPECT_EQ(FConnected, 1);
  EXPECT_EQ(FLink->DeviceID(), GetParam().DeviceID);
  EXPECT_TRUE(FLink->IsConnected());
  EXPECT_EQ(FPeer.SlaveOpenings(), 2);
  EXPECT_EQ(FFrames.first(), kNameRequest);
}

INSTANTIATE_TEST_SUITE_P(
    FtdiLink, FtdiLinkName,
    ::testing::Values(TNameCase{"UpperCase", "KX5210_SIM", "KX5210"},
                      TNameCase{"LowerCase", "kx5211 and more", "KX5211"},
                      TNameCase{"NameFieldEndsAtPadding", QByteArray("KX5220\0\0", 8), "KX5220"}),
    [](const auto& info) { return std::string(info.param.Title); });

TEST_F(FtdiLink, RefusesAnotherDeviceAfterTwoTriesWithThePortClosedAndNoEvent) {
  FName = "AB1234_XYZ";
  Discover();
  FLink->Connect(FPeer.SlavePath());

  EXPECT_EQ(FLink->DeviceState(), dsDisconnected);
  EXPECT_EQ(FFrames, (QList<QByteArray>{kNameRequest, kNameRequest}));
  EXPECT_FALSE(FLink->IsConnected());
  EXPECT_EQ(FPeer.SlaveOpenings(), 1);
  EXPECT_EQ(FConnected, 0);
  EXPECT_EQ(FDisconnected, 0);
  EXPECT_TRUE(FLink->DeviceID().isEmpty());
}

TEST_F(FtdiLink, APortThatCannotBeOpenedRaisesCantOpenPortAndLeavesItDisconnected) {
  const QString path = QStringLiteral("/nonexistent/ttyUSB9");
  TComPortDevices::AddExtraPort(path);
  Discover();
  TComPortDevices::RemoveExtraPort(path);
  try {
    FLink->Connect(path);
    FAIL() << "connected to a port that does not exist";
  } catch (const ESealwiseError& e) {
    EXPECT_EQ(e.Message(), "Can't open port /nonexistent/ttyUSB9");
  }
  EXPECT_EQ(FLink->DeviceState(), dsDisconnected);
  EXPECT_EQ(FConnected + FDisconnected, 0);
}

TEST_F(FtdiLink, ConnectNeedsTheExactPortName) {
  FName = "KX5210_SIM";
  Discover();
  FLink->Connect(FPeer.SlavePath().toUpper());
  EXPECT_EQ(FLink->DeviceState(), dsDiscovered);
  EXPECT_TRUE(FFrames.isEmpty());
}

TEST_F(FtdiLink, FramesCommandsAndPutsWriteNowAheadOfTheQueue) {
  ConnectAs("KX5210_SIM");
  CommandsSent();
  FLink->Write(5, quint16(0x1234));
  FLink->Write(6, qint32(-1));
  FLink->Write(15, QString());
  FLink->WriteNow(241, Hex("01020304"));
  ASSERT_TRUE(WaitUntil([&] {
    return FFrames.size() - PressureRequestsSent() >= 4;
  }));
  const QList<QByteArray> sent = CommandsSent();
  const QByteArray now = KX52xxFrame::Build(241, Hex("01020304"));
  const QByteArray integer = KX52xxFrame::Build(6, Hex("ffffffff"));
  const QByteArray emptyText = KX52xxFrame::Build(15, {});
  ASSERT_EQ(sent.size(), 4);
  EXPECT_TRUE(sent.contains(Hex("aa05c1061234")));
  // The worker may have taken the first write already; WriteNow still goes before the rest.
  EXPECT_LE(sent.indexOf(now), 1);
  EXPECT_LT(sent.indexOf(now), sent.indexOf(integer));
  EXPECT_LT(sent.indexOf(integer), sent.indexOf(emptyText));
}

TEST_F(FtdiLink, DispatchesOnlyGoodFramesAndDropsCodeZero) {
  ConnectAs("KX5210_SIM");
  FPeer.Write(Hex("0011") + DeviceFrame(0, Hex("01")) + Hex("aa100008000001f4") +
              Hex("aa100108000001f4") + DeviceFrame(9, Hex("a1b2c3d4e5f6")) + DeviceFrame(8, {}));
  ASSERT_TRUE(WaitUntil([&] { return FData.size() >= 3; }));
  ProcessEventsFor(250);
  ASSERT_EQ(FData.size(), 3);
  EXPECT_EQ(FData[0].Code, 16);
  EXPECT_EQ(FData[0].Payload, Hex("000001f4"));
  EXPECT_EQ(FData[1].Code, 9);
  EXPECT_EQ(FData[1].Payload, Hex("a1b2c3d4e5f6"));
  EXPECT_EQ(FData[2].Code, 8);
  EXPECT_TRUE(FData[2].Payload.isEmpty());
}

// What the splitter must take from a damaged stream: the frames whose start, length and
// checksum survived, without code 0.
bool SurvivedIntact(const QByteArray& frame) {
  QByteArray check = frame;
  check[2] = char(0xFF);
  return quint8(frame[0]) == 0xAA && quint8(frame[3]) == frame.size() && frame[1] != 0 &&
         CRC8(check, 0, int(check.size())) == quint8(frame[2]);
}

TEST_F(FtdiLink, ACorruptedStreamDispatchesExactlyTheFramesWhoseChecksumHolds) {
  ConnectAs("KX5210_SIM");
  std::mt19937 rng(5220);
  QByteArray stream;
  QList<QByteArray> expected;
  for (int n = 0; n < 400; ++n) {
    QByteArray payload(int(rng() % 21), '\0');
    for (char& byte : payload) byte = char(rng());
    QByteArray frame = DeviceFrame(quint8(rng()), payload);
    for (char& byte : frame) {
      if (rng() % 100 < 5) byte = char(quint8(byte) ^ quint8(1 + rng() % 255));
    }
    if (SurvivedIntact(frame)) expected.append(frame);
    stream += frame;
  }
  ASSERT_GT(expected.size(), 150);
  ASSERT_LT(expected.size(), 380);

  FPeer.Write(stream);
  ASSERT_TRUE(WaitUntil([&] { return FData.size() >= expected.size(); }));
  ProcessEventsFor(300);
  QList<QByteArray> dispatched;
  for (const TDataEvent& event : FData) dispatched.append(DeviceFrame(event.Code, event.Payload));
  EXPECT_EQ(dispatched, expected);
}

TEST_F(FtdiLink, PollsThePressureWithAtMostOneRequestWaiting) {
  ConnectAs("KX5210_SIM");
  // Long enough for an unbounded poll (100 requests a second against 20 sent) to pile up.
  ProcessEventsFor(1000);
  EXPECT_GE(PressureRequestsSent(), 10);
  FFrames.clear();

  FLink->Read(8);
  const QByteArray battery = KX52xxFrame::Build(8, {});
  ASSERT_TRUE(WaitUntil([&] { return FFrames.contains(battery); }));
  // Ahead of it at most the request being handed over and the one waiting.
  EXPECT_LE(FFrames.indexOf(battery), 2);
  EXPECT_EQ(FFrames.mid(0, FFrames.indexOf(battery)).count(kPressureRequest),
            FFrames.indexOf(battery));
}

TEST_F(FtdiLink, ALostPortIsReportedAndALaterDisconnectCompletesIt) {
  ConnectAs("KX5210_SIM");
  FPeer.CloseMaster();
  ASSERT_TRUE(WaitUntil([&] { return FDisconnected == 1; }));
  EXPECT_FALSE(FLink->IsConnected());
  EXPECT_EQ(FLink->DeviceState(), dsConnected);

  FLink->Disconnect();
  EXPECT_EQ(FLink->DeviceState(), dsDisconnected);
  EXPECT_EQ(FDisconnected, 2);
}

TEST_F(FtdiLink, DisconnectClosesThePortWithOneEventAndStopsTheTraffic) {
  ConnectAs("KX5210_SIM");
  FLink->Disconnect();
  EXPECT_EQ(FLink->DeviceState(), dsDisconnected);
  EXPECT_EQ(FDisconnected, 1);
  EXPECT_EQ(FPeer.SlaveOpenings(), 1);
  FFrames.clear();
  FLink->Read(8);
  FLink->Write(5, quint8(1));
  ProcessEventsFor(200);
  EXPECT_TRUE(FFrames.isEmpty());
}

TEST_F(FtdiLink, SearchAndConnectDoNothingWhileConnected) {
  ConnectAs("KX5210_SIM");
  const int discoveries = FDiscoveries;
  FLink->DiscoverDevices();
  FLink->Connect(FPeer.SlavePath());
  ProcessEventsFor(100);
  EXPECT_EQ(FLink->DeviceState(), dsConnected);
  EXPECT_EQ(FDiscoveries, discoveries);
  EXPECT_EQ(FConnected, 1);
  EXPECT_EQ(CommandsSent().count(kNameRequest), 1);
}

TEST_F(FtdiLink, DisconnectWithoutAConnectionRaisesNothing) {
  Discover();
  FLink->Disconnect();
  EXPECT_EQ(FLink->DeviceState(), dsDiscovered);
  EXPECT_EQ(FDisconnected, 0);
}

TEST_F(FtdiLink, DiscoveryListsThePortsAfterSixToEightSeconds) {
  const int interval = FLink->DiscoverIntervalMs();
  EXPECT_GE(interval, 6000);
  EXPECT_LT(interval, 8000);
  FLink->DiscoverDevices();
  EXPECT_TRUE(FLink->IsDiscovering());
  EXPECT_FALSE(FLink->IsDiscovered());
  ASSERT_TRUE(WaitUntil([&] { return FDiscoveries == 1; }, 9000));
  EXPECT_EQ(FLink->DeviceState(), dsDiscovered);
  EXPECT_TRUE(FLink->IsDiscovered());
  EXPECT_EQ(FDevices.value(FPeer.SlavePath()), FPeer.SlavePath());
}

}  // namespace
