#include "KX52xx.Sim.Model.h"

#include "KX52xx.Sim.Wire.h"

namespace {

// Bits of the 24-bit sensor record.
namespace Sensor {
constexpr quint32 BatteryCharger = 1u << 0;
constexpr quint32 SerialPort = 1u << 1;
constexpr quint32 UsbC = 1u << 2;       // connection type 1
constexpr quint32 Ble42 = 1u << 4;      // Bluetooth kind 1
constexpr quint32 Flash16Mb = 1u << 6;  // flash kind 1
constexpr quint32 Flash64Mb = 1u << 7;  // flash kind 2
constexpr quint32 Accelerometer = 1u << 10;
constexpr quint32 Gyroscope = 1u << 11;
constexpr quint32 Magnetometer = 1u << 12;
constexpr quint32 Pressure1 = 1u << 13;
constexpr quint32 Pressure2 = 1u << 14;
constexpr quint32 Temperature = 1u << 15;
constexpr quint32 Humidity = 1u << 16;
constexpr quint32 Rtc = 1u << 17;
}  // namespace Sensor

// Bits of the 24-bit functionality record.
namespace Function {
constexpr quint32 FixedSealwise = 1u << 0;
constexpr quint32 AutomaticSealwise = 1u << 1;
constexpr quint32 WorkOnBreathing = 1u << 2;
constexpr quint32 TemperatureCelsius = 1u << 3;  // temperature kind 1
constexpr quint32 Humidity = 1u << 5;
constexpr quint32 Magnetic = 1u << 6;
constexpr quint32 Movement = 1u << 7;
constexpr quint32 ImpactDetection = 1u << 8;
constexpr quint32 FailProtection = 1u << 9;
constexpr quint32 DfuUsbAndBle = 1u << 11;  // DFU kind 2
constexpr quint32 AlertSealwise = 1u << 12;
constexpr quint32 HazardAlerts = 0xFFu << 13;  // stop breathing ... humidity too high
}  // namespace Function

QByteArray Record24(quint32 bits) {
  QByteArray out;
  out.append(static_cast<char>(bits >> 16 & 0xFF));
  out.append(static_cast<char>(bits >> 8 & 0xFF));
  out.append(static_cast<char>(bits & 0xFF));
  return out;
}

QString ModelDigits(KX52xxSimModel model) { return ModelName(model).mid(2); }

}  // namespace

QString ModelName(KX52xxSimModel model) {
  switch (model) {
    case KX52xxSimModel::KX5211:
      return QStringLiteral("KX5211");
    case KX52xxSimModel::KX5220:
      return QStringLiteral("KX5220");
    case KX52xxSimModel::KX5210:
      break;
  }
  return QStringLiteral("KX5210");
}

std::optional<KX52xxSimModel> ParseModel(const QString& text) {
  for (KX52xxSimModel model :
       {KX52xxSimModel::KX5210, KX52xxSimModel::KX5211, KX52xxSimModel::KX5220})
    if (text.compare(ModelName(model), Qt::CaseInsensitive) == 0) return model;
  return std::nullopt;
}

namespace {

struct TCapabilities {
  quint32 Sensors;
  quint32 Functions;
};

constexpr quint32 kCommonSensors = Sensor::BatteryCharger | Sensor::SerialPort | Sensor::UsbC |
                                   Sensor::Ble42 | Sensor::Pressure1 | Sensor::Temperature |
                                   Sensor::Humidity | Sensor::Rtc;
constexpr quint32 kCommonFunctions = Function::FixedSealwise | Function::AutomaticSealwise |
                                     Function::WorkOnBreathing | Function::TemperatureCelsius |
                                     Function::Humidity | Function::DfuUsbAndBle |
                                     Function::AlertSealwise;

// The KX5211 adds motion sensing to the KX5210; the KX5220 adds the compass, the second
// pressure sensor, more flash and the hazard alerts.
TCapabilities CapabilitiesOf(KX52xxSimModel model) {
  switch (model) {
    case KX52xxSimModel::KX5211:
      return {kCommonSensors | Sensor::Flash16Mb | Sensor::Accelerometer | Sensor::Gyroscope,
              kCommonFunctions | Function::Movement};
    case KX52xxSimModel::KX5220:
      return {kCommonSensors | Sensor::Flash64Mb | Sensor::Accelerometer | Sensor::Gyroscope |
                  Sensor::Magnetometer | Sensor::Pressure2,
              kCommonFunctions | Function::Magnetic | Function::Movement |
                  Function::ImpactDetection | Function::FailProtection | Function::HazardAlerts};
    case KX52xxSimModel::KX5210:
      break;
  }
  return {kCommonSensors | Sensor::Flash16Mb, kCommonFunctions};
}

}  // namespace

QByteArray SensorRecord(KX52xxSimModel model) { return Record24(CapabilitiesOf(model).Sensors); }

QByteArray FunctionalityRecord(KX52xxSimModel model) {
  return Record24(CapabilitiesOf(model).Functions);
}

bool RaisesHazardAlerts(KX52xxSimModel model) { return model == KX52xxSimModel::KX5220; }

KX52xxSimMotion RestingMotion(KX52xxSimModel model) {
  KX52xxSimMotion motion;
  if (model == KX52xxSimModel::KX5210) return motion;
  motion.AccelRangeCode = 7;  // +-4 g: 8192 counts per g
  motion.AccelX = 120;
  motion.AccelY = -85;
  motion.AccelZ = 8192;
  motion.GyroRangeCode = 9;  // +-1000 dps
  motion.GyroX = 3;
  motion.GyroY = -2;
  motion.GyroZ = 1;
  if (model == KX52xxSimModel::KX5220) {
    motion.MagRangeCode = 12;  // +-16 gauss
    motion.MagX = 250;
    motion.MagY = -40;
    motion.MagZ = 310;
  }
  return motion;
}

QByteArray MotionRecord(const KX52xxSimMotion& motion) {
  QByteArray out;
  for (qint16 value : {motion.MagZ, motion.MagY, motion.MagX, motion.GyroZ, motion.GyroY,
                       motion.GyroX, motion.AccelZ, motion.AccelY, motion.AccelX})
    KX52xxSimWire::AppendUInt16(out, static_cast<quint16>(value));
  out.append(static_cast<char>(motion.MagRangeCode));
  out.append(
      static_cast<char>((motion.GyroRangeCode & 0x0F) << 4 | (motion.AccelRangeCode & 0x0F)));
  return out;
}

KX52xxSimConfig Completed(KX52xxSimConfig config) {
  if (config.SerialNumber.isEmpty())
    config.SerialNumber = ModelDigits(config.Model) +
                          QStringLiteral("-%1").arg(config.Seed % 100000, 5, 10, QLatin1Char('0'));
  if (config.MacAddress.size() != 6) {
    const QByteArray serial = KX52xxSimWire::TextBytes(config.SerialNumber);
    config.MacAddress = QByteArray::fromHex("D4CA6E");
    config.MacAddress.append(static_cast<char>(KX52xxSimWire::Crc8(serial)));
    config.MacAddress.append(static_cast<char>(KX52xxSimWire::Crc8(serial + "a")));
    config.MacAddress.append(static_cast<char>(KX52xxSimWire::Crc8(serial + "b")));
  }
  return config;
}
