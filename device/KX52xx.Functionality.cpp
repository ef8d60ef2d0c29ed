#include "KX52xx.Functionality.h"

QString TKX52xxFunctionality::TemperatureAsString() const {
  return TextOf(Temperature(), {"No Temperature", "Temperature in °C", "Temperature in °F"});
}

QString TKX52xxFunctionality::DFUAsString() const {
  return TextOf(DFU(), {"No DFU", "DFU by USB", "DFU by USB and BLE"});
}
