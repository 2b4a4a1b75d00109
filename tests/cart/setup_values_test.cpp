#include <gtest/gtest.h>

#include "cart/lift_settings.h"
#include "cart/setup_reply.h"

using namespace molvane;

TEST(LiftLimits, VoltsRoundUpPastTheHalfTenth) {
  EXPECT_EQ(LiftVoltsToTenths(11.0f), 110);
  EXPECT_EQ(LiftVoltsToTenths(11.06f), 111);
  EXPECT_EQ(LiftVoltsToTenths(10.06f), 101);
  EXPECT_EQ(LiftVoltsToTenths(11.004f), 110);
  EXPECT_EQ(LiftVoltsToTenths(80.0f), 767);
  EXPECT_EQ(LiftVoltsToTenths(76.75f), 767);
  EXPECT_EQ(LiftVoltsToTenths(-1.0f), 0);
  EXPECT_EQ(LiftVoltsToTenths(1e30f), 767);
}

TEST(LiftLimits, EveryShownCurrentIsSentBackUnchanged) {
  for (int tenths = 0; tenths <= 767; ++tenths) {
    ASSERT_EQ(LiftCurrentToTenths(static_cast<float>(tenths) / 10.0f), tenths) << tenths;
  }
}

TEST(LiftLimits, CurrentsAreTruncated) {
  EXPECT_EQ(LiftCurrentToTenths(2.59f), 25);
  EXPECT_EQ(LiftCurrentToTenths(2.99f), 29);
  EXPECT_EQ(LiftCurrentToTenths(76.8f), 767);
  EXPECT_EQ(LiftCurrentToTenths(-0.5f), 0);
  EXPECT_EQ(LiftCurrentToTenths(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(SetupReply, DecodesAllSevenItems) {
  const SetupSettings s = DecodeSetupReply("30  15 5 85 500 250 AC_OUT");
  EXPECT_EQ(s.backlightTimeout, 30);
  EXPECT_EQ(s.keyboardTimeout, 15);
  EXPECT_EQ(s.relockTimeout, 5);
  EXPECT_TRUE(s.motorLock);
  EXPECT_EQ(s.mainLockMs, 500);
  EXPECT_EQ(s.sideLockMs, 250);
  EXPECT_EQ(s.powerSupply, "AC_OUT");
  EXPECT_EQ(s.powerSupplyKind, 1);
}

TEST(SetupReply, ShortOrErrorRepliesGiveZerosAndSolenoid) {
  const SetupSettings s = DecodeSetupReply("30 x7 5");
  EXPECT_EQ(s.backlightTimeout, 30);
  EXPECT_EQ(s.keyboardTimeout, 0);
  EXPECT_FALSE(s.motorLock);
  EXPECT_EQ(s.sideLockMs, 0);
  EXPECT_EQ(s.powerSupplyKind, 0);
  const SetupSettings e = DecodeSetupReply("Timeout");
  EXPECT_EQ(e.backlightTimeout, 0);
  EXPECT_EQ(e.powerSupply, "");
  EXPECT_FALSE(DecodeSetupReply("1 2 3 170 4 5 DC").motorLock);
  EXPECT_EQ(DecodeSetupReply("1 2 3 170 4 5 DC").powerSupplyKind, 2);
}
