// The two calibration reports as the cart sends them, how the page shows their values, and the
// drawer layouts behind the configuration codes.
#include "cart/calib_reply.h"

#include <gtest/gtest.h>

#include "cart/drawer_layouts.h"

namespace {

using namespace molvane;

TEST(CalibFastReply, ReadsFlagsAndTheFirstTwoHexDigits) {
  const CalibFastData d = DecodeCalibFastReply("1 0 1 a5");
  EXPECT_TRUE(d.liftLocked);
  EXPECT_FALSE(d.autoLock);
  EXPECT_TRUE(d.sensorsRunning);
  EXPECT_EQ(d.sensorBits, 0xa5);

  const CalibFastData spaced = DecodeCalibFastReply("  7\t2  0 A5c9 extra");
  EXPECT_TRUE(spaced.liftLocked && spaced.autoLock && !spaced.sensorsRunning);
  EXPECT_EQ(spaced.sensorBits, 0xa5) << "only the first two characters count";

  for (const char* reply : {"1 1 1 a", "1 1 1 g5", "1 1 1 5-", "1 1 1", "Timeout", ""})
    EXPECT_EQ(DecodeCalibFastReply(reply).sensorBits, 0) << reply;
  EXPECT_FALSE(DecodeCalibFastReply("Timeout").liftLocked);
}

TEST(CalibSlowReply, ShowsTenthsSecondsAndCode) {
  const CalibSlowData d = DecodeCalibSlowReply("25 20 230 30 143");
  EXPECT_EQ(TenthsText(d.maxUpCurrentTenths), "2.5");
  EXPECT_EQ(TenthsText(d.maxDownCurrentTenths), "2.0");
  EXPECT_EQ(TenthsText(d.minVoltsTenths), "23.0");
  EXPECT_EQ(WholeSecondsText(d.relockTimeout), "30");
  EXPECT_EQ(d.drawerCode, 143);
  EXPECT_EQ(HexCodeText(d.drawerCode), "0x8f");

  // Missing and unreadable items are 0; fractions in the report are kept.
  const CalibSlowData partial = DecodeCalibSlowReply("7.5 x");
  EXPECT_EQ(TenthsText(partial.maxUpCurrentTenths), "0.8");
  EXPECT_EQ(TenthsText(partial.maxDownCurrentTenths), "0.0");
  EXPECT_EQ(partial.drawerCode, 0);
}

TEST(CalibDisplay, EdgesOfTheNumbersShown) {
  EXPECT_EQ(TenthsText(-25), "-2.5");
  EXPECT_EQ(TenthsText(7670), "767.0");
  EXPECT_EQ(WholeSecondsText(65534.9f), "65534");
  EXPECT_EQ(WholeSecondsText(-5), "0");
  EXPECT_EQ(WholeSecondsText(5e9f), "4294967295");
  EXPECT_EQ(HexCodeText(5), "0x05");
  EXPECT_EQ(HexCodeText(300), "0x12c");
  EXPECT_EQ(HexCodeText(-1), "0xffffffff");
}

TEST(DrawerLayouts, CodesMapToColumnsWithTheSensorAtEachDrawersTop) {
  EXPECT_EQ(DrawerColumn(0xFE, true), (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(DrawerColumn(0xFE, false), (std::vector<int>{1, 1, 2}));
  EXPECT_EQ(DrawerColumn(0x8F, true), (std::vector<int>{4}));
  EXPECT_EQ(DrawerColumn(0xAA, false), (std::vector<int>{2, 2}));
  EXPECT_EQ(DrawerLayoutName(0xF8), "1111/4");
  EXPECT_EQ(DrawerLayoutIndex(143), 2);
  EXPECT_EQ(DrawerLayoutIndex(100), -1);

  // Every layout is found by its name and its code, and by nothing else.
  for (std::size_t i = 0; i < kDrawerLayouts.size(); ++i) {
    const int code = kDrawerLayouts[i].code;
    EXPECT_EQ(FindDrawerLayout(DrawerLayoutName(code)), static_cast<int>(i));
    EXPECT_EQ(FindDrawerLayout(std::to_string(code)), static_cast<int>(i));
    EXPECT_EQ(FindDrawerLayout(HexCodeText(code)), static_cast<int>(i));
  }
  EXPECT_EQ(FindDrawerLayout("0X8F"), 2);
  for (const char* none : {"", "0x", "100", "143 ", "0x8f0", "4/111", "-1"})
    EXPECT_EQ(FindDrawerLayout(none), -1) << none;
}

}  // namespace
