#pragma once
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "FakeLinks.h"
#include "KX52xx.Data.Commands.h"
#include "KX52xx.Data.h"
#include "TestValues.h"
#include "TestWait.h"
#include "dDb.h"
#include "uConfiguration.h"

// Everything the model reported through its eight events.
struct TModelEvents {
  struct TKeyed {
    QString Key;
    TCmdID Code;
    QByteArray Data;
  };
  std::vector<QString> Connected;
  std::vector<QString> Disconnected;
  std::vector<std::pair<QString, TDeviceDictionary>> Discovered;
  std::vector<std::pair<QString, int>> Pressures;
  std::vector<std::pair<TAlertType, QByteArray>> Alerts;
  std::vector<TKeyed> CmdAnswers;
  std::vector<TKeyed> ReceivedData;
  int CloudSends = 0;
  bool Accept = true;

  void Attach(TKX52xxDeviceData& AModel);
  size_t Count() const {
    return Connected.size() + Disconnected.size() + Discovered.size() + Pressures.size() +
           Alerts.size() + CmdAnswers.size() + ReceivedData.size() + CloudSends;
  }
};

// A model over recording fake links, with settings and a record store of its own.
class DeviceModelTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TFakeBLELink& BLE() const { return *As<TFakeBLELink>(CONN_BLE); }
  TFakeUSBLink& USB() const { return *As<TFakeUSBLink>(CONN_FTDI); }
  TFakeCloudLink* Cloud() const { return As<TFakeCloudLink>(CONN_CLOUD); }
  template <class TLink>
  TLink* As(const QString& AKey) const {
    return dynamic_cast<TLink*>(Model->Connectors().value(AKey).get());
  }

  // Connects the USB link and lets its connection sequence run to the end.
  void ConnectUSB();
  // The device answers its name (and serial number) over USB.
  void Identify(const QString& ADeviceName, const QString& ASerialNumber = QString());
  // Identifies a device with the cloud switched on, so that the model makes its cloud link.
  TFakeCloudLink& IdentifyWithCloud(const QString& ADeviceName);
  void ClearCalls();

  QTemporaryDir FDir;
  std::unique_ptr<TKX52xxDeviceData> Model;
  TModelEvents Events;
};
