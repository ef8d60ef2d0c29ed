#pragma once
#include "KX52xx.Data.Types.h"

// The device command set: one code per value or action of the device.
inline constexpr TCmdID kCmdModelNumber = 1;
inline constexpr TCmdID kCmdDeviceName = 2;
inline constexpr TCmdID kCmdManufacturer = 3;
inline constexpr TCmdID kCmdSerialNumber = 4;
inline constexpr TCmdID kCmdFirmwareRev = 5;
inline constexpr TCmdID kCmdHardwareRev = 6;
inline constexpr TCmdID kCmdSoftwareRev = 7;
inline constexpr TCmdID kCmdBattery = 8;
inline constexpr TCmdID kCmdMACAddress = 9;
inline constexpr TCmdID kCmdSensors = 10;
inline constexpr TCmdID kCmdFunctionality = 11;
inline constexpr TCmdID kCmdSetDeviceName = 15;
inline constexpr TCmdID kCmdPressure = 16;
inline constexpr TCmdID kCmdTempHumid = 17;
inline constexpr TCmdID kCmdAGM = 18;
inline constexpr TCmdID kCmdDateTime = 20;
inline constexpr TCmdID kCmdReportCount = 32;
inline constexpr TCmdID kCmdHistory = 33;
inline constexpr TCmdID kCmdCommandChannel = 204;
inline constexpr TCmdID kCmdSetUserName = 240;
inline constexpr TCmdID kCmdSetDateTime = 241;
inline constexpr TCmdID kCmdDFUMode = 242;
inline constexpr TCmdID kCmdSensitivity = 251;
inline constexpr TCmdID kCmdActivationPoint = 252;
inline constexpr TCmdID kCmdSetSensitivity = 253;
inline constexpr TCmdID kCmdSetActivationPoint = 254;
inline constexpr TCmdID kCmdAlert = 255;
