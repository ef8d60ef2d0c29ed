#include <gtest/gtest.h>

#include <map>

#include "KX52xx.Data.Types.h"

namespace {

// The device's vocabulary as the device documents it: every defined kind with its text.
const std::map<int, const char*>& DefinedKinds() {
  static const std::map<int, const char*> kinds = {
      {0, "Unknown"},
      {17, "Sealwise Start"},
      {18, "Sealwise Passed"},
      {19, "Sealwise Failed"},
      {20, "Over Breathing"},
      {21, "Double Breathe"},
      {32, "Stop Breathing"},
      {33, "Breathing TooLow"},
      {34, "Impact"},
      {35, "Fall Protection"},
      {36, "Temperature Too Low"},
      {37, "Temperature Too High"},
      {38, "Humidity Too Low"},
      {39, "Humidity Too High"},
      {48, "AQI CO2 Too High"},
      {49, "AQI CO2 Too High"},
      {50, "AQI Ethanol Detected"},
      {51, "AQI Ethanol Too High"},
      {80, "LEDs Off"},
      {81, "LED Red"},
      {82, "LED Red Blinking"},
      {83, "LED Yellow"},
      {84, "LED Yello Blinking"},
      {85, "LED Green"},
      {86, "LED Green Blinking"},
      {87, "LED Purple"},
      {88, "LED Purple Blinking"},
      {89, "LED Blue"},
      {90, "LED Blue Blinking"},
  };
  return kinds;
}

const char* DefinedText(int b) {
  const auto it = DefinedKinds().find(b);
  return it == DefinedKinds().end() ? nullptr : it->second;
}

// All 256 bytes against the defined set: a kind, its text and its group.
TEST(AlertTypes, EveryByteAgainstTheDefinedSet) {
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const quint8 byte = static_cast<quint8>(b);
    const char* text = DefinedText(b);
    EXPECT_EQ(int(ToAlertType(byte)), text ? b : 0);
    EXPECT_EQ(IsDefinedAlertType(byte), text != nullptr);
    const QString expected = QString::fromLatin1(text ? text : "Not Recognized");
    EXPECT_EQ(AlertTypeText(byte), expected);
    EXPECT_EQ(AlertTypeText(static_cast<TAlertType>(byte)), expected);
    EXPECT_EQ(IsAlertKind(byte), b >= 32 && b <= 51);
  }
}

TEST(AlertTypes, GapsAreNotKinds) {
  for (int b : {1, 16, 22, 31, 40, 47, 52, 79, 91, 255}) {
    SCOPED_TRACE(b);
    EXPECT_EQ(ToAlertType(static_cast<quint8>(b)), atUnknown);
    EXPECT_EQ(AlertTypeText(static_cast<quint8>(b)), "Not Recognized");
  }
  EXPECT_EQ(AlertTypeText(quint8(0)), "Unknown");
  EXPECT_TRUE(IsAlertKind(40));  // undefined, yet inside the alert range
}

TEST(AlertTypeValues, EnumeratorsCarryTheDeviceBytes) {
  EXPECT_EQ(atSealwiseStart, 17);
  EXPECT_EQ(atSealwiseFailed, 19);
  EXPECT_EQ(atStopBreathing, 32);
  EXPECT_EQ(atAQICO2TooHigh, 48);
  EXPECT_EQ(atAQICO2TooHigh2, 49);
  EXPECT_EQ(atAQIEthanolTooHigh, 51);
  EXPECT_EQ(atLEDsOff, 80);
  EXPECT_EQ(atLEDBlueBlinking, 90);
  EXPECT_EQ(sizeof(TAlertType), 1u);
}

struct NamePartsCase {
  QString name;
  QString readOnly;
  QString readWrite;
};

class DeviceNameParts : public ::testing::TestWithParam<NamePartsCase> {};

TEST_P(DeviceNameParts, SplitTypeFromUserPart) {
  const NamePartsCase& c = GetParam();
  EXPECT_EQ(TGlobals::GetRODevNamePart(c.name), c.readOnly) << c.name.toStdString();
  EXPECT_EQ(TGlobals::GetRWDevNamePart(c.name), c.readWrite) << c.name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Names, DeviceNameParts,
    ::testing::Values(NamePartsCase{"KX5210_ABCDEFGHIJ", "KX5210", "ABCDEFGHI"},
                      NamePartsCase{"KX5210_AB", "KX5210", "AB"},
                      NamePartsCase{"KX5210", "KX5210", ""},
                      NamePartsCase{"KX5210_", "KX5210", ""},
                      NamePartsCase{"MYDEVICE", "MYDEVI", "MYDEVICE"},
                      NamePartsCase{"kx5210_AB", "kx5210", "kx5210_AB"},
                      NamePartsCase{"KX5220_WEARER", "KX5220", "WEARER"},
                      NamePartsCase{"AB", "AB", "AB"},
                      NamePartsCase{"", "", ""},
                      NamePartsCase{"KX52", "KX52", ""}));

TEST(DeviceModel, IsKX5220IgnoresCase) {
  EXPECT_TRUE(TGlobals::IsKX5220("KX5220_x"));
  EXPECT_TRUE(TGlobals::IsKX5220("kx5220_x"));
  EXPECT_TRUE(TGlobals::IsKX5220("KX5220"));
  EXPECT_FALSE(TGlobals::IsKX5220("KX5210_x"));
  EXPECT_FALSE(TGlobals::IsKX5220("KX522"));
  EXPECT_FALSE(TGlobals::IsKX5220(" KX5220"));
  EXPECT_FALSE(TGlobals::IsKX5220(""));
}

}  // namespace
