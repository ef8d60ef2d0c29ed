// The reports page against the simulated device on a pseudo-terminal: the real USB link reads
// the stored history after the connection.
#include <memory>

#include "ReportsFixture.h"
#include "SimulatedDevice.h"

namespace {
constexpr int TransferTimeoutMs = TSimulatedUsbDevice::TimeoutMs;
constexpr quint32 SecondsOf2024 = 157766400;  // 2024-01-01 in device time
}  // namespace

class TReportsSimulatorTest : public TReportsTest {
 protected:
  void TearDown() override {
    TReportsTest::TearDown();  // the window lets go of the terminal first
    FDevice.reset();
  }

  // A device of AModel that stores AGenerated records of its own and then ARecords, connected
  // over USB.
  void ConnectDevice(KX52xxSimModel AModel, int AGenerated,
                     const std::vector<KX52xxSimHistoryRecord>& ARecords = {}) {
    KX52xxSimOptions options;
    options.Device.Model = AModel;
    options.Device.HistoryCount = AGenerated;
    FDevice = std::make_unique<TSimulatedUsbDevice>(options);
    ASSERT_TRUE(FDevice->IsServed()) << qPrintable(FDevice->ErrorString());
    for (const KX52xxSimHistoryRecord& record : ARecords)
      FDevice->Device().AddHistoryRecord(record);
    Start(false, DefaultLinkFactory());
    ASSERT_TRUE(FDevice->ConnectWindow(*Window));
  }

  // A record is counted by the device model at its first piece, but listed once its last piece
  // has come: the wait is for the list.
  bool WaitForRows(int ACount) {
    return WaitUntil([this, ACount] { return Page()->List()->count() >= ACount; },
                     TransferTimeoutMs);
  }

  std::vector<QByteArray> HistoryRequests() const {
    std::vector<QByteArray> requests;
    for (const KX52xxSimMessage& message : FDevice->Device().ReceivedCommands())
      if (message.Code == 33) requests.push_back(message.Payload);
    return requests;
  }

  std::unique_ptr<TSimulatedUsbDevice> FDevice;
};

TEST_F(TReportsSimulatorTest, OverUsbAllFortyStoredRecordsAreAskedForAndListed) {
  ConnectDevice(KX52xxSimModel::KX5210, 40);
  ShowReports();
  ASSERT_TRUE(WaitForRows(40));
  EXPECT_EQ(Window->DevData().HistoryRecords().size(), 40u);
  EXPECT_EQ(HistoryRequests(), std::vector<QByteArray>{QByteArray::fromHex("FFFFFFFF00000028")});
  EXPECT_FALSE(Page()->Busy()->isVisibleTo(Page()));
  const TReportRows rows = Page()->Rows();
  ASSERT_EQ(rows.size(), 40u);
  for (const TReportRow& row : rows) EXPECT_EQ(row.Tag, rtHistory);
}

struct TSimKindsCase {
  const char* Name;
  KX52xxSimModel Model;
  QStringList Expected;
};

class TReportsSimulatorKindsTest : public TReportsSimulatorTest,
                                   public ::testing::WithParamInterface<TSimKindsCase> {};

TEST_P(TReportsSimulatorKindsTest, TheHistoryListsTheKindsOfTheModel) {
  std::vector<KX52xxSimHistoryRecord> records;
  quint32 time = SecondsOf2024;
  for (quint8 kind : {KX52xxSimKind::SealCheckPassed, KX52xxSimKind::OverBreathing,
                      KX52xxSimKind::Impact, KX52xxSimKind::DoubleBreathe,
                      KX52xxSimKind::FallProtection, KX52xxSimKind::SealCheckFailed}) {
    KX52xxSimHistoryRecord record;
    record.Kind = kind;
    record.DeviceTime = time += 60;
    record.UserName = "ANNA";
    records.push_back(record);
  }
  ConnectDevice(GetParam().Model, 0, records);
  ShowReports();
  const int expected = static_cast<int>(GetParam().Expected.size());
  ASSERT_TRUE(WaitForRows(expected));
  ProcessEventsFor(200);  // nothing more comes
  QStringList shown;
  for (const TReportRow& row : Page()->Rows()) shown << row.UserName.value_or(QString());
  EXPECT_EQ(shown, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Models, TReportsSimulatorKindsTest,
                         ::testing::Values(TSimKindsCase{"KX5210",
                                                         KX52xxSimModel::KX5210,
                                                         {"ANNA", "Over Breathing Alert",
                                                          "Double Breathe Alert", "ANNA"}},
                                           TSimKindsCase{"KX5220",
                                                         KX52xxSimModel::KX5220,
                                                         {"ANNA", "Over Breathing Alert",
                                                          "Impact Alert", "Double Breathe Alert",
                                                          "Fall Protection Alert", "ANNA"}}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });
