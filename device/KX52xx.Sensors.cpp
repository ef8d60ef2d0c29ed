#include "KX52xx.Sensors.h"

QString TKX52xxSensors::USBConnectionTypeAsString() const {
  return TextOf(USBConnectionType(), {"No USB Port", "USB C"});
}

QString TKX52xxSensors::BluetoothVersionAsString() const {
  return TextOf(BluetoothVersion(), {"No BLE", "BLE 4.2"});
}

QString TKX52xxSensors::FlashMemorySizeAsString() const {
  return TextOf(FlashMemorySize(), {"No FLASH Memory", "16Mb", "64Mb"});
}

QString TKX52xxSensors::uControllerAsString() const {
  return TextOf(uController(), {"nRF51422 (256k/32k)"});
}
