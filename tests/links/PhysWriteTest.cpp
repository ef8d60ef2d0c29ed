#include <gtest/gtest.h>

#include <vector>

#include "KX52xx.Data.Phys.h"

namespace {

// A link that only records what reaches the byte-array Write.
class TRecordingLink : public TKX52xxDataPhysEvents {
 public:
  using IKX52xxDataPhys::Write;
  using TKX52xxDataPhysEvents::RaiseConnected;

  QString Name() const override { return QStringLiteral("REC"); }
  QString DeviceID() const override { return QString(); }
  void DiscoverDevices() override {}
  void Connect(const QString&) override {}
  void Disconnect() override {}
  TDeviceState DeviceState() const override { return dsConnected; }
  bool IsDiscovering() const override { return false; }
  bool IsDiscovered() const override { return false; }
  bool IsConnected() const override { return true; }
  void Read(TCmdID) override {}
  void Write(TCmdID ACmd, const QByteArray& AData) override { Writes.push_back({ACmd, AData}); }

  struct TWrite {
    TCmdID cmd;
    QByteArray payload;
  };
  std::vector<TWrite> Writes;
};

TEST(LinkWrite, TypedOverloadsEncodeBigEndianAndEndInTheByteForm) {
  TRecordingLink link;
  link.Write(1, quint8(255));
  link.Write(2, quint16(0x1234));
  link.Write(3, qint32(-1));
  link.Write(4, quint32(1));
  link.Write(5, QString());
  link.Write(6, QStringLiteral("Ab\u00E9"));
  link.Write(7, QByteArray::fromHex("AA 00"));

  const std::vector<QByteArray> expected = {QByteArray::fromHex("FF"),
                                            QByteArray::fromHex("12 34"),
                                            QByteArray::fromHex("FF FF FF FF"),
                                            QByteArray::fromHex("00 00 00 01"),
                                            QByteArray(),
                                            QByteArray::fromHex("41 62 E9"),
                                            QByteArray::fromHex("AA 00")};
  ASSERT_EQ(link.Writes.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(link.Writes[i].cmd, TCmdID(i + 1));
    EXPECT_EQ(link.Writes[i].payload, expected[i]);
  }
}

// A handler that drops the link from inside its own event must not pull the handler out from
// under the running call.
TEST(LinkEvents, HandlerMayReplaceItselfWhileRunning) {
  TRecordingLink link;
  int calls = 0;
  auto survivor = std::make_shared<int>(7);
  link.SetOnConnected([&link, &calls, survivor](IKX52xxDataPhys* sender) {
    link.SetOnConnected(nullptr);
    ++calls;
    EXPECT_EQ(sender, &link);
    EXPECT_EQ(*survivor, 7);  // the closure's own state is still there
  });
  survivor.reset();
  link.RaiseConnected();
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(link.GetOnConnected());
}

}  // namespace
