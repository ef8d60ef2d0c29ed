#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>

#include "PtyPeer.h"
#include "SealwiseError.h"
#include "TestWait.h"
#include "Vek.ComPort.h"
#include "Vek.Qt.ComPort.h"

namespace {

// The platform half reduced to bookkeeping, to test the neutral half alone.
class TFakePort final : public TComPortDevice {
 public:
  using TComPortDevice::TComPortDevice;
  bool GetActive() const override { return FOpen; }
  void Open() override {
    ++Opens;
    FOpen = true;
    SetStatus(psConnected);
  }
  void Close() override {
    ++Closes;
    if (!FOpen) return;
    FOpen = false;
    SetStatus(psDisconnected);
    RaiseDisconnected();
  }
  void ApplySettings() override {}
  void Send(const QByteArray&) override {}
  void Deliver(const QByteArray& data) { RaiseComPortRead(data); }

  int Opens = 0;
  int Closes = 0;

 private:
  bool FOpen = false;
};

class TFakePorts final : public TComPortDevices {
 public:
  explicit TFakePorts(QList<TSystemPort> ports) : FPorts(std::move(ports)) {}
  TFakePort* Port(int index) const { return static_cast<TFakePort*>(GetItemByIndex(index)); }

 protected:
  std::unique_ptr<TComPortDevice> CreateDevice(const QString& AName) override {
    return std::make_unique<TFakePort>(AName);
  }
  QList<TSystemPort> SystemPorts() const override { return FPorts; }

 private:
  QList<TSystemPort> FPorts;
};

struct TSelectCase {
  const char* Title;
  QList<TSystemPort> Ports;
  bool FtdiOnly;
  QStringList Extra;
  QStringList Expected;
};

const QList<TSystemPort> kMixedPorts = {{"/dev/ttyUSB1", true},
                                        {"/dev/ttyS0", false},
                                        {"/dev/ttyUSB0", true}};

class PortSelection : public ::testing::TestWithParam<TSelectCase> {};

TEST_P(PortSelection, ListsTheExpectedNamesInNameOrder) {
  const TSelectCase& c = GetParam();
  EXPECT_EQ(TComPortDevices::SelectPortNames(c.Ports, c.FtdiOnly, c.Extra), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    ComPortList, PortSelection,
    ::testing::Values(
        TSelectCase{"FtdiOnlyHidesBuiltInPorts", kMixedPorts, true, {},
                    {"/dev/ttyUSB0", "/dev/ttyUSB1"}},
        TSelectCase{"UnfilteredListsEveryPort", kMixedPorts, false, {},
                    {"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB1"}},
        TSelectCase{"ExtraPortsCountAsFtdi", kMixedPorts, true, {"/dev/pts/7"},
                    {"/dev/pts/7", "/dev/ttyUSB0", "/dev/ttyUSB1"}},
        TSelectCase{"RepeatedNameListedOnce", {{"/dev/ttyUSB0", true}}, true,
                    {"/dev/ttyUSB0"}, {"/dev/ttyUSB0"}},
        TSelectCase{"NoPortsNoNames", {}, true, {}, {}}),
    [](const auto& info) { return std::string(info.param.Title); });

TEST(ComPortList, RefreshReplacesThePortsAndLooksNamesUpWithoutCase) {
  TFakePorts list({{"COM3", true}, {"COM1", false}});
  list.SetShowFTDIDevicesOnly(true);
  list.AddDevice("stale");
  list.Refresh();
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetItemByIndex(0)->Name(), "COM3");
  EXPECT_EQ(list.GetItemByIndex(0)->Baudrate(), 115200);
  EXPECT_EQ(list.ItemByName("com3"), list.GetItemByIndex(0));
  EXPECT_EQ(list.ItemByName("COM1"), nullptr);
  EXPECT_THROW(list.GetItemByIndex(1), std::out_of_range);
  EXPECT_THROW(list.GetItemByIndex(-1), std::out_of_range);
}

TEST(ComPortList, ForwardsPortEventsWithTheIndexOfTheExactName) {
  TFakePorts list({});
  list.AddDevice("COM3");
  list.AddDevice("com3");
  QList<int> readIndexes;
  QList<QPair<int, QString>> closed;
  list.SetOnReaded([&](int index, const QByteArray&) { readIndexes.append(index); });
  list.SetOnDisconnected([&](int index, const QString& name) { closed.append({index, name}); });

  list.Port(1)->Deliver("x");
  list.Port(0)->Deliver("y");
  list.Port(1)->Open();
  list.Port(1)->Close();

  EXPECT_EQ(readIndexes, (QList<int>{1, 0}));
  EXPECT_EQ(closed, (QList<QPair<int, QString>>{{1, "com3"}}));
}

TEST(ComPortDevice, ActiveOnlyActsOnAChangeAndANewRateReopensAnOpenPort) {
  TFakePort port("COM4");
  int disconnects = 0;
  port.SetOnDisconnected([&](const QString&) { ++disconnects; });

  port.SetActive(false);
  EXPECT_EQ(port.Closes, 0);
  port.SetBaudrate(9600);
  EXPECT_EQ(port.Opens, 0);
  port.SetActive(true);
  port.SetActive(true);
  EXPECT_EQ(port.Opens, 1);

  port.SetBaudrate(9600);
  EXPECT_EQ(port.Closes, 0);
  port.SetBaudrate(115200);
  EXPECT_EQ(port.Closes, 1);
  EXPECT_EQ(port.Opens, 2);
  EXPECT_EQ(disconnects, 1);
  EXPECT_TRUE(port.Active());
}

// The Qt half against a pseudo-terminal.
class QtComPort : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FPeer.IsValid());
    TComPortDevices::AddExtraPort(FPeer.SlavePath());
    FList = TComPortDevices::CreateNew();
    FList->SetShowFTDIDevicesOnly(true);
    FList->Refresh();
    FPort = FList->ItemByName(FPeer.SlavePath());
    ASSERT_NE(FPort, nullptr);
  }
  void TearDown() override { TComPortDevices::RemoveExtraPort(FPeer.SlavePath()); }

  TPtyPeer FPeer;
  std::unique_ptr<TComPortDevices> FList;
  TComPortDevice* FPort = nullptr;
};

TEST_F(QtComPort, OpensAt115200EightNOneWithoutFlowControlAndCarriesBothWays) {
  QByteArray received;
  QThread* readThread = nullptr;
  FPort->SetOnComPortRead([&](const QString& name, const QByteArray& data) {
    EXPECT_EQ(name, FPeer.SlavePath());
    received += data;
    readThread = QThread::currentThread();
  });
  FPort->SetActive(true);
  ASSERT_TRUE(FPort->Active());
  EXPECT_EQ(FPort->status(), psConnected);

  const termios line = FPeer.LineSettings();
  EXPECT_EQ(cfgetospeed(&line), speed_t(B115200));
  EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
  EXPECT_EQ(line.c_iflag & (IXON | IXOFF), tcflag_t(0));

  FPeer.Write(QByteArray::fromHex("aa100008000001f4"));
  ASSERT_TRUE(WaitUntil([&] { return received.size() == 8; }));
  EXPECT_EQ(received, QByteArray::fromHex("aa100008000001f4"));
  EXPECT_EQ(readThread, QThread::currentThread());

  FPort->Send(QByteArray::fromHex("aa10ac04"));
  EXPECT_EQ(FPeer.TakeAtLeast(4), QByteArray::fromHex("aa10ac04"));
}

TEST_F(QtComPort, WritesALongBlockWholeAndInOrderThenReportsTheEmptyTransmitBuffer) {
  int txEmpty = 0;
  FPort->SetOnTxBufferEmpty([&](TComPortDevice*) { ++txEmpty; });
  FPort->SetActive(true);
  QByteArray block(5000, '\0');
  for (int i = 0; i < block.size(); ++i) block[i] = char(i * 7);

  FPort->Send(block);
  FPort->Send(QByteArray());

  EXPECT_EQ(FPeer.TakeAtLeast(block.size()), block);
  EXPECT_TRUE(WaitUntil([&] { return txEmpty > 0; }));
}

TEST_F(QtComPort, FarSideClosingClosesThePortAndReportsItOnceOnTheGuiThread) {
  QList<QPair<int, QString>> listClosed;
  FList->SetOnDisconnected(
      [&](int index, const QString& name) { listClosed.append({index, name}); });
  int portClosed = 0;
  const TComPortDevice::TOnPortDisconnected forward = FPort->OnDisconnected();
  FPort->SetOnDisconnected([&](const QString& name) {
    EXPECT_EQ(QThread::currentThread(), qApp->thread());
    ++portClosed;
    forward(name);
  });
  FPort->SetActive(true);

  FPeer.CloseMaster();

  ASSERT_TRUE(WaitUntil([&] { return !FPort->Active(); }));
  ProcessEventsFor(100);
  EXPECT_EQ(portClosed, 1);
  EXPECT_EQ(FPort->status(), psDisconnected);
  ASSERT_EQ(listClosed.size(), 1);
  EXPECT_EQ(FList->GetItemByIndex(listClosed[0].first), FPort);
  EXPECT_EQ(listClosed[0].second, FPeer.SlavePath());
}

TEST_F(QtComPort, SendFromAnotherThreadIsWrittenByTheGuiThreadAndReturnsAfterIt) {
  FPort->SetActive(true);
  std::atomic<bool> returned{false};
  std::thread writer([&] {
    FPort->Send(QByteArray::fromHex("aa028404"));
    returned = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return returned.load(); }));
  writer.join();
  EXPECT_EQ(FPeer.TakeAtLeast(4), QByteArray::fromHex("aa028404"));
}

TEST_F(QtComPort, ClosingReleasesAWaitingWriterAndDropsItsBlock) {
  FPort->SetActive(true);
  std::atomic<bool> started{false};
  auto finished = std::async(std::launch::async, [&] {
    started = true;
    FPort->Send(QByteArray::fromHex("aa028404"));
  });
  while (!started) QThread::yieldCurrentThread();
  // The GUI thread does not run events here, so the hand-over stays pending until the close.
  QThread::msleep(50);
  FPort->SetActive(false);
  ASSERT_EQ(finished.wait_for(std::chrono::seconds(2)), std::future_status::ready);

  FPort->SetActive(true);
  ProcessEventsFor(100);
  EXPECT_TRUE(FPeer.TakeReceived().isEmpty());
}

TEST(QtComPortOpen, APathThatCannotBeOpenedRaisesCantOpenPort) {
  const QString path = QStringLiteral("/nonexistent/ttyNothing");
  TComPortDevices::AddExtraPort(path);
  auto list = TComPortDevices::CreateNew();
  list->SetShowFTDIDevicesOnly(true);
  list->Refresh();
  TComPortDevices::RemoveExtraPort(path);
  TComPortDevice* port = list->ItemByName(path);
  ASSERT_NE(port, nullptr);
  try {
    port->SetActive(true);
    FAIL() << "opened a path that does not exist";
  } catch (const ESealwiseError& e) {
    EXPECT_EQ(e.Message(), "Can't open port /nonexistent/ttyNothing");
  }
  EXPECT_FALSE(port->Active());
  EXPECT_EQ(port->status(), psDisconnected);
}

}  // namespace
