#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

// The three simulated models and what sets them apart: their name, their capability records
// and which motion sensors and alerts they have.
enum class KX52xxSimModel { KX5210, KX5211, KX5220 };

QString ModelName(KX52xxSimModel model);  // "KX5210", "KX5211", "KX5220"
// Accepts the model name in any letter case.
std::optional<KX52xxSimModel> ParseModel(const QString& text);

// The 3-byte sensor record (answer to command 10) and functionality record (command 11).
QByteArray SensorRecord(KX52xxSimModel model);
QByteArray FunctionalityRecord(KX52xxSimModel model);

// Only the KX5220 raises the hazard alerts (kinds 32 to 51).
bool RaisesHazardAlerts(KX52xxSimModel model);

// One reading of the three motion sensors with the range codes the device reports.
struct KX52xxSimMotion {
  qint16 AccelX = 0, AccelY = 0, AccelZ = 0;
  qint16 GyroX = 0, GyroY = 0, GyroZ = 0;
  qint16 MagX = 0, MagY = 0, MagZ = 0;
  quint8 AccelRangeCode = 0;  // 6..9: 2, 4, 8, 16 g
  quint8 GyroRangeCode = 0;   // 6..10: 125 ... 2000 dps
  quint8 MagRangeCode = 0;    // 3, 6, 9, 12: 4 ... 16 gauss
};

// A model at rest, lying still: gravity on Z, heading in MagX (degrees); zeros for the sensors
// the model does not have.
KX52xxSimMotion RestingMotion(KX52xxSimModel model);
// The 20-byte answer to command 18.
QByteArray MotionRecord(const KX52xxSimMotion& motion);

// Everything the device is built with. Empty texts and an empty MAC are derived from the
// model and the serial number.
struct KX52xxSimConfig {
  KX52xxSimModel Model = KX52xxSimModel::KX5210;
  QString UserPart = QStringLiteral("SIM");  // the user-chosen part of the device name
  QString UserName;                          // the wearer; empty means none
  QString SerialNumber;
  QString Manufacturer = QStringLiteral("KX Safety Devices");
  QString FirmwareRev = QStringLiteral("2.4.1");
  QString HardwareRev = QStringLiteral("C");
  QString SoftwareRev = QStringLiteral("2.4.1-17");
  QByteArray MacAddress;
  int HistoryCount = 12;    // records stored when the device starts
  quint8 BatteryLevel = 4;  // 0..4 bars, 5 = charging
  quint8 Temperature = 24;  // degrees
  quint8 Humidity = 41;     // percent
  quint32 Seed = 1;         // the waveform noise and the stored records follow it
};

// The config with every derived field filled in.
KX52xxSimConfig Completed(KX52xxSimConfig config);
