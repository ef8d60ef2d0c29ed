#include "DeviceFixture.h"

namespace {

using Codes = std::vector<TCmdID>;

// The requests of the connection sequence after the link's own opening reads, in order; the
// operations that ask every local link are marked in the comments.
const Codes kCommonReads = {1, 3, 6, 5, 7, 4, 10, 11, /*AskMACAddress*/ 9, 32, 8, 20, 20, 18, 16};
const Codes kClosingReads = {/*AskSensors*/ 10, /*AskDeviceFunctionality*/ 11, 252, 251};

Codes Concat(std::initializer_list<Codes> AParts) {
  Codes all;
  for (const Codes& part : AParts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const TLinkCall& NthRead(const TFakeLocalLink& ALink, size_t AIndex) {
  size_t seen = 0;
  for (const TLinkCall& call : ALink.Calls)
    if (call.Op == QLatin1String("Read") && seen++ == AIndex) return call;
  throw std::out_of_range("no such read");
}

// Timers never fire early, but the two clocks may disagree by a tick.
constexpr qint64 kMinPauseMs = 99;

}  // namespace

TEST_F(DeviceModelTest, UsbSequenceReadsNameFirstThenPausesAndAsksTheMacAddressAgain) {
  ConnectUSB();
  EXPECT_EQ(USB().CodesOf("Read"), Concat({{2}, kCommonReads, {9}, kClosingReads}));
  EXPECT_GE(NthRead(USB(), 1).AtMs - NthRead(USB(), 0).AtMs, kMinPauseMs);
  // The BLE link only sees the operations that ask every local link.
  EXPECT_EQ(BLE().CodesOf("Read"), (Codes{9, 10, 11}));
  EXPECT_EQ(Events.Connected, std::vector<QString>{CONN_FTDI});
}

TEST_F(DeviceModelTest, BleSequenceOpensTheCommandChannelAndReadsTheAlertWithPauses) {
  BLE().SimulateConnected();
  ASSERT_TRUE(WaitUntil([&] { return !Events.Connected.empty(); }));
  EXPECT_EQ(BLE().CodesOf("Read"), Concat({{204, 255, 2}, kCommonReads, kClosingReads}));
  EXPECT_GE(NthRead(BLE(), 1).AtMs - NthRead(BLE(), 0).AtMs, kMinPauseMs);
  EXPECT_GE(NthRead(BLE(), 2).AtMs - NthRead(BLE(), 1).AtMs, kMinPauseMs);
  EXPECT_EQ(USB().CodesOf("Read"), (Codes{9, 10, 11}));
  EXPECT_EQ(Events.Connected, std::vector<QString>{CONN_BLE});
}

TEST_F(DeviceModelTest, ConnectedEventFollowsTheWholeSequenceWithoutBlockingTheCaller) {
  USB().SimulateConnected();
  // Only the opening read has gone out: the rest waits for the pause.
  EXPECT_EQ(USB().CodesOf("Read"), Codes{2});
  EXPECT_TRUE(Events.Connected.empty());
  size_t readsWhenConnected = 0;
  Model->OnConnected = [&](TKX52xxDeviceData*, const QString&, bool&) {
    readsWhenConnected = USB().CodesOf("Read").size();
  };
  ASSERT_TRUE(WaitUntil([&] { return readsWhenConnected != 0; }));
  EXPECT_EQ(readsWhenConnected, USB().CodesOf("Read").size());
  EXPECT_EQ(USB().CountOf("Disconnect"), 0);
}

TEST_F(DeviceModelTest, RefusedConnectionDisconnectsAfterTheSequenceWasSent) {
  Events.Accept = false;
  ConnectUSB();
  ASSERT_FALSE(USB().Calls.empty());
  EXPECT_EQ(USB().Calls.back().Op, "Disconnect");
  EXPECT_EQ(USB().CodesOf("Read").size(), 21u);
  EXPECT_EQ(Events.Disconnected, std::vector<QString>{CONN_FTDI});
}

TEST_F(DeviceModelTest, LinkLostDuringTheSequenceEndsItWithoutConnectedEvent) {
  USB().SimulateConnected();
  USB().SimulateDisconnected();
  ProcessEventsFor(250);
  EXPECT_EQ(USB().CodesOf("Read"), Codes{2});
  EXPECT_TRUE(Events.Connected.empty());
  EXPECT_EQ(Events.Disconnected, std::vector<QString>{CONN_FTDI});
}

TEST_F(DeviceModelTest, CloudConnectedEventNeverRunsTheSequence) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_LAB");
  ClearCalls();
  cloud.FakeDeviceID = "https://cloud.example";
  cloud.SimulateConnected();
  ProcessEventsFor(250);
  EXPECT_TRUE(USB().Calls.empty());
  EXPECT_TRUE(BLE().Calls.empty());
  EXPECT_TRUE(Events.Connected.empty());
  EXPECT_EQ(Model->DeviceID(), "https://cloud.example");
  EXPECT_NE(Cloud(), nullptr);
}

TEST_F(DeviceModelTest, CloudConnectedWhileTheCloudIsSwitchedOffDropsTheCloudLink) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_LAB");
  const std::weak_ptr<IKX52xxDataPhys> weak = Model->Connectors().value(CONN_CLOUD);
  Configuration->SetUseCloud(false);
  cloud.SimulateConnected();
  EXPECT_EQ(Cloud(), nullptr);
  // Released once the link's own event has returned.
  ProcessEventsFor(20);
  EXPECT_TRUE(weak.expired());
}

TEST_F(DeviceModelTest, ConnectedLinkCopiesItsDeviceId) {
  USB().FakeDeviceID = "KX5220";
  ConnectUSB();
  EXPECT_EQ(Model->DeviceID(), "KX5220");
}

TEST_F(DeviceModelTest, ConnectWithoutConnectorTriesEveryLocalLinkWithTheSameKey) {
  Model->Connect(QString(), "ttyUSB0");
  EXPECT_EQ(BLE().PayloadsOf("Connect", 0), std::vector<QByteArray>{"ttyUSB0"});
  EXPECT_EQ(USB().PayloadsOf("Connect", 0), std::vector<QByteArray>{"ttyUSB0"});
  EXPECT_EQ(Model->DeviceAddress(), "ttyUSB0");
}

TEST_F(DeviceModelTest, ConnectStopsTryingOnceALinkConnected) {
  BLE().StateAfterConnect = dsConnected;
  Model->Connect(QString(), "AA:BB");
  EXPECT_EQ(BLE().CountOf("Connect"), 1);
  EXPECT_EQ(USB().CountOf("Connect"), 0);
}

TEST_F(DeviceModelTest, ConnectNamedConnectorOnlyAndNothingWhileADeviceIsConnected) {
  Model->Connect(CONN_FTDI, "ttyUSB1");
  EXPECT_EQ(USB().CountOf("Connect"), 1);
  EXPECT_EQ(BLE().CountOf("Connect"), 0);
  USB().State = dsConnected;
  Model->Connect(CONN_BLE, "AA:BB");
  Model->Connect("NO_SUCH_KEY", "x");
  EXPECT_EQ(BLE().CountOf("Connect"), 0);
  EXPECT_EQ(Model->DeviceAddress(), "ttyUSB1");
}

TEST_F(DeviceModelTest, ConnectAlsoStartsAnIdleCloudLink) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_LAB");
  cloud.State = dsDisconnected;
  cloud.Calls.clear();
  Model->Connect(CONN_FTDI, "ttyUSB0");
  EXPECT_EQ(cloud.PayloadsOf("Connect", 0), std::vector<QByteArray>{"https://cloud.example"});
  cloud.Calls.clear();
  Model->Connect(CONN_FTDI, "ttyUSB0");  // already connecting
  EXPECT_EQ(cloud.CountOf("Connect"), 0);
}

TEST_F(DeviceModelTest, ConnectAndDisconnectResetTheReportCounters) {
  USB().Feed(kCmdReportCount, Bytes({0, 0, 0, 7}));
  EXPECT_EQ(Model->NrReportsAvailable(), 7);
  Model->Connect(CONN_FTDI, "ttyUSB0");
  EXPECT_EQ(Model->NrReportsAvailable(), 0);
  USB().Feed(kCmdReportCount, Bytes({0, 0, 0, 7}));
  Model->Disconnect();
  EXPECT_EQ(Model->NrReportsAvailable(), 0);
}

TEST_F(DeviceModelTest, DisconnectReachesEveryLinkIncludingTheCloud) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_LAB");
  Model->Disconnect();
  EXPECT_EQ(BLE().CountOf("Disconnect"), 1);
  EXPECT_EQ(USB().CountOf("Disconnect"), 1);
  EXPECT_EQ(cloud.CountOf("Disconnect"), 1);
}

TEST_F(DeviceModelTest, ModelWithoutBluetoothHoldsOnlyTheUsbLink) {
  TKX52xxDeviceData model(FakeLinkFactory(false));
  EXPECT_EQ(model.Connectors().keys(), QStringList{CONN_FTDI});
}

TEST_F(DeviceModelTest, ApplicationModelHasItsUsbLinkAndNoCloudLinkYet) {
  TKX52xxDeviceData model;
  EXPECT_TRUE(model.Connectors().contains(CONN_FTDI));
  EXPECT_FALSE(model.Connectors().contains(CONN_CLOUD));
  EXPECT_FALSE(model.IsDevConnected());
}

TEST_F(DeviceModelTest, FailingLocalSearchDropsThatLinkButNotTheCloud) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_LAB");
  BLE().FailDiscovery = true;
  cloud.FailDiscovery = true;
  Model->DiscoverDevices();
  EXPECT_EQ(Model->Connectors().keys(), (QStringList{CONN_CLOUD, CONN_FTDI}));
  EXPECT_EQ(USB().CountOf("Discover"), 1);
}

TEST_F(DeviceModelTest, SearchOnOneConnectorAndDiscoveredEventsByClass) {
  Model->DiscoverDevices(CONN_FTDI);
  EXPECT_EQ(USB().CountOf("Discover"), 1);
  EXPECT_EQ(BLE().CountOf("Discover"), 0);
  const TDeviceDictionary devices{{"ttyUSB0", "ttyUSB0"}};
  USB().SimulateDiscovered(devices);
  BLE().SimulateDiscovered({});
  ASSERT_EQ(Events.Discovered.size(), 2u);
  EXPECT_EQ(Events.Discovered[0], std::make_pair(CONN_FTDI, devices));
  EXPECT_EQ(Events.Discovered[1].first, CONN_BLE);
}

TEST_F(DeviceModelTest, EventsOfALinkOfUnknownClassAreIgnored) {
  TKX52xxLinkFactory factory = FakeLinkFactory();
  factory[CONN_FTDI].IsOfKind = [](const IKX52xxDataPhys*) { return false; };
  TKX52xxDeviceData model(factory);
  TModelEvents events;
  events.Attach(model);
  auto& usb = dynamic_cast<TFakeUSBLink&>(*model.Connectors().value(CONN_FTDI));
  usb.SimulateConnected();
  usb.SimulateDiscovered({});
  usb.SimulateDisconnected();
  ProcessEventsFor(250);
  EXPECT_EQ(events.Count(), 0u);
  EXPECT_TRUE(usb.CodesOf("Read").empty());
}

TEST_F(DeviceModelTest, OnlyTheCloudLinkReportsWrites) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_LAB");
  USB().SimulateWritten(kCmdSetUserName);
  EXPECT_EQ(Events.CloudSends, 0);
  cloud.SimulateWritten(0);
  EXPECT_EQ(Events.CloudSends, 1);
}

TEST_F(DeviceModelTest, CloudLinkGetsTheDeviceAndConnectsToTheConfiguredServer) {
  Configuration->SetDefaultUserName("WEARER");
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5220_X");
  EXPECT_EQ(cloud.Device_Type(), "KX5220");
  EXPECT_EQ(cloud.Device_ID(), "SN-0001");
  EXPECT_EQ(cloud.Phone_ID().size(), 32);
  EXPECT_EQ(cloud.Phone_ID(), Configuration->GetPhoneID());
  EXPECT_EQ(cloud.UserName(), "WEARER");  // a KX5220 is worn by the default user
  EXPECT_EQ(cloud.PayloadsOf("Connect", 0), std::vector<QByteArray>{"https://cloud.example"});
  EXPECT_TRUE(Model->CloudConnected());
}

TEST_F(DeviceModelTest, CloudLinkOfAKX5210GetsNoUserName) {
  Model->SetUserName("ANNA");
  EXPECT_TRUE(IdentifyWithCloud("KX5210_X").UserName().isEmpty());
}

TEST_F(DeviceModelTest, CloudNeedsTypeAndSerialNumber) {
  Configuration->SetUseCloud(true);
  Model->ConnectCloud(true);
  EXPECT_EQ(Cloud(), nullptr);
  Identify("KX5210_X");
  Model->ConnectCloud(true);
  EXPECT_EQ(Cloud(), nullptr);
}

TEST_F(DeviceModelTest, SwitchingTheCloudOffDisconnectsAndReleasesTheLink) {
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_X");
  const std::weak_ptr<IKX52xxDataPhys> weak = Model->Connectors().value(CONN_CLOUD);
  cloud.Calls.clear();
  Model->ConnectCloud(false);
  EXPECT_EQ(cloud.CountOf("Disconnect"), 2);
  EXPECT_FALSE(Model->Connectors().contains(CONN_CLOUD));
  EXPECT_FALSE(Model->CloudConnected());
  ProcessEventsFor(20);
  EXPECT_TRUE(weak.expired());
}

TEST_F(DeviceModelTest, LocationGoesToTheCloudLinkWhenThereIsOne) {
  Model->SetLocation(1, 2);  // no cloud link: nothing to do
  TFakeCloudLink& cloud = IdentifyWithCloud("KX5210_X");
  Model->SetLocation(47.5, 19.25);
  EXPECT_EQ(cloud.Latitude, 47.5);
  EXPECT_EQ(cloud.Longitude, 19.25);
}

TEST_F(DeviceModelTest, DestroyingTheModelReportsNothingAndReleasesEveryLink) {
  IdentifyWithCloud("KX5210_X");
  ConnectUSB();
  std::vector<std::weak_ptr<IKX52xxDataPhys>> links;
  for (const auto& link : Model->Connectors()) links.push_back(link);
  const size_t before = Events.Count();
  Model.reset();
  EXPECT_EQ(Events.Count(), before);
  ProcessEventsFor(20);
  for (const auto& link : links) EXPECT_TRUE(link.expired());
}

TEST_F(DeviceModelTest, ConnectionStateFollowsTheLocalLinks) {
  EXPECT_FALSE(Model->IsDevConnected());
  BLE().State = dsConnected;
  EXPECT_TRUE(Model->IsBLEConnected());
  EXPECT_FALSE(Model->IsUSBConnected());
  EXPECT_TRUE(Model->IsDevConnected());
}

TEST_F(DeviceModelTest, ReconnectDuringTheSequenceStartsItOver) {
  USB().SimulateConnected();
  USB().SimulateConnected();
  ASSERT_TRUE(WaitUntil([&] { return !Events.Connected.empty(); }));
  ProcessEventsFor(250);
  EXPECT_EQ(Events.Connected.size(), 1u);
  EXPECT_EQ(USB().CodesOf("Read").size(), 22u);  // the opening read twice, then the rest once
}
