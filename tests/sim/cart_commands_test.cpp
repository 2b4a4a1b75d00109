#include <gtest/gtest.h>

#include "cart_test_support.h"
#include "sim/cart_model.h"

namespace {

using cart_test::AnswerLines;
using cart_test::EmptyCart;
using cart_test::ManualClock;
using cartsim::CartModel;
using Lines = std::vector<std::string>;

TEST(CartCommands, FramingOfPlainAnswersErrorsAndBlankLines) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  EXPECT_EQ(cart.Execute(""), ">");
  EXPECT_EQ(cart.Execute("   "), ">");
  EXPECT_EQ(cart.Execute("lock"), ">");
  EXPECT_EQ(cart.Execute("frobnicate"), "unknown cmd\r\n>");
  EXPECT_EQ(cart.Execute("STATUS"), "unknown cmd\r\n>");
  EXPECT_EQ(cart.Execute("set_cart_type 1"), "error\r\n>");
  EXPECT_EQ(cart.Execute("get_cycle_count"), "0\r\n>");
}

TEST(CartCommands, StatusByteFollowsDrawerLampAndLift) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  auto statusLine = [&] {
    const Lines lines = AnswerLines(cart.Execute("status"));
    EXPECT_EQ(lines.size(), 2u);
    return lines.empty() ? std::string() : lines[0];
  };
  EXPECT_EQ(statusLine(), "00");
  cart.Execute("unlock");
  cart.Execute("keyboard_toggle");
  cart.Execute("set_lift_lock 0");
  cart.Execute("lift_up");
  EXPECT_EQ(statusLine(), "C8");
  cart.Execute("lock");
  EXPECT_EQ(statusLine(), "48");
  cart.Execute("lift_off");
  cart.Execute("keyboard_toggle");
  EXPECT_EQ(statusLine(), "00");
  // Bits the host does not decode pass through untouched.
  cart.SetStatusByte(0x05);
  cart.Execute("unlock");
  EXPECT_EQ(statusLine(), "85");
}

TEST(CartCommands, DrawersRelockAndTheLiftStopsOnTheirOwn) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  cart.Execute("relock_set_timeout 10");
  cart.Execute("unlock");
  clock.Advance(9);
  EXPECT_EQ(AnswerLines(cart.Execute("status"))[0], "80");
  clock.Advance(1);
  EXPECT_EQ(AnswerLines(cart.Execute("status"))[0], "00");
  cart.Execute("relock_set_timeout 0");
  cart.Execute("unlock");
  clock.Advance(100000);
  EXPECT_EQ(AnswerLines(cart.Execute("status"))[0], "80");
  EXPECT_EQ(cart.Execute("get_cycle_count"), "2\r\n>");
  // The lift runs until braked or until it reaches the end of its travel.
  cart.Execute("set_lift_lock 0");
  cart.Execute("lift_dn");
  clock.Advance(19);
  EXPECT_EQ(AnswerLines(cart.Execute("status"))[0], "88");
  clock.Advance(1);
  cart.Tick();
  EXPECT_EQ(cart.StatusByte(), 0x80);
  EXPECT_EQ(cart.Execute("cycle_count_reset"), ">");
  EXPECT_EQ(cart.Execute("get_cycle_count"), "0\r\n>");
}

TEST(CartCommands, VersionNamesTheThirdBoardInLineThree) {
  const std::pair<CartModel::AuxBoard, std::string> cases[] = {
      {CartModel::AuxBoard::Charger, "Charger"},
      {CartModel::AuxBoard::Translation, "Translation"},
      {CartModel::AuxBoard::None, ""}};
  for (const auto& [board, word] : cases) {
    ManualClock clock;
    auto options = EmptyCart(clock);
    options.auxBoard = board;
    CartModel cart(options);
    const Lines lines = AnswerLines(cart.Execute("version"));
    ASSERT_EQ(lines.size(), 6u);
    const bool charger = lines[2].find("Charger") != std::string::npos;
    const bool translation = lines[2].find("Translation") != std::string::npos;
    EXPECT_EQ(charger, word == "Charger") << lines[2];
    EXPECT_EQ(translation, word == "Translation") << lines[2];
    EXPECT_EQ(cart.Execute("gas_gauge_reset"),
              board == CartModel::AuxBoard::Charger ? "reset_done\r\n>" : "error\r\n>");
  }
}

TEST(CartCommands, SetupSummaryReflectsAcceptedSettingsOnly) {
  ManualClock clock;
  auto options = EmptyCart(clock);
  options.powerSupply = CartModel::PowerSupply::DC;
  CartModel cart(options);
  for (const char* command :
       {"backlight_set_timeout 12", "keyboard_set_timeout 65535", "relock_set_timeout 0",
        "set_cart_type 170", "set_main_lock_active 2500", "set_side_lock_active 0"}) {
    EXPECT_EQ(cart.Execute(command), ">") << command;
  }
  for (const char* command : {"keyboard_set_timeout 65536", "backlight_set_timeout -1",
                              "relock_set_timeout 1x", "set_cart_type 171", "set_cart_type",
                              "set_main_lock_active 2501", "set_side_lock_active abc"}) {
    EXPECT_EQ(cart.Execute(command), "error\r\n>") << command;
  }
  EXPECT_EQ(AnswerLines(cart.Execute("get_setup_dlg_full")), Lines{"12 65535 0 170 2500 0 DC"});
  EXPECT_EQ(AnswerLines(cart.Execute("get_ps_type")), Lines{"DC"});
}

TEST(CartCommands, NameAndSerialTravelQuotedAndAreCutToFifteen) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  EXPECT_EQ(cart.Execute("cart_name_set \"North Wing Cart 12\""), ">");
  EXPECT_EQ(AnswerLines(cart.Execute("cart_name_get")), Lines{"\"North Wing Cart\""});
  EXPECT_EQ(cart.Execute("serial_set \"\""), ">");
  EXPECT_EQ(AnswerLines(cart.Execute("serial_get")), Lines{"\"\""});
  EXPECT_EQ(cart.Execute("serial_set \"say \"hi\"\""), ">");
  EXPECT_EQ(AnswerLines(cart.Execute("serial_get")), Lines{"\"say \"hi\"\""});
  EXPECT_EQ(cart.Execute("serial_set unquoted"), "error\r\n>");
  EXPECT_EQ(cart.Execute("serial_set \"tab\there\""), "error\r\n>");
  EXPECT_EQ(AnswerLines(cart.Execute("serial_get")), Lines{"\"say \"hi\"\""});
}

TEST(CartCommands, BadgeSettingsKeepTheirTextAndRefuseMalformedValues) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  const std::string mask34 = "PFFFFFFFFFFFFFFFFBBBBBBBBBBBBBBBBP";
  EXPECT_EQ(cart.Execute("set_rfid_mask " + mask34), ">");
  EXPECT_EQ(cart.Execute("set_rfid_bits 34"), ">");
  EXPECT_EQ(cart.Execute("set_rfid_facility 00042"), ">");
  EXPECT_EQ(cart.Execute("set_max_pin_digits 10"), ">");
  for (const char* refused :
       {"set_rfid_mask PFFb", "set_rfid_mask P-F", "set_rfid_bits 260", "set_rfid_bits 2a",
        "set_rfid_bits 0", "set_rfid_facility 123456", "set_rfid_facility 65536",
        "set_max_pin_digits 11", "set_max_pin_digits 0"}) {
    EXPECT_EQ(cart.Execute(refused), "error\r\n>") << refused;
  }
  EXPECT_EQ(AnswerLines(cart.Execute("get_rfid_mask")), Lines{mask34});
  EXPECT_EQ(AnswerLines(cart.Execute("get_rfid_bits")), Lines{"34"});
  EXPECT_EQ(AnswerLines(cart.Execute("get_rfid_facility")), Lines{"00042"});
  EXPECT_EQ(AnswerLines(cart.Execute("get_max_pin_digits")), Lines{"10"});
  // An empty mask is how the host clears it.
  EXPECT_EQ(cart.Execute("set_rfid_mask "), ">");
  EXPECT_EQ(AnswerLines(cart.Execute("get_rfid_mask")), Lines{""});
}

TEST(CartCommands, LiftAndSensorCalibrationData) {
  ManualClock clock;
  CartModel cart(EmptyCart(clock));
  cart.Execute("set_lift_lock 1");
  EXPECT_EQ(cart.Execute("lift_up"), "error\r\n>");
  EXPECT_EQ(cart.StatusByte() & CartModel::kLiftMoving, 0);
  for (const char* command :
       {"set_lift_lock 0", "set_lift_relock_status 0", "sensor_run 1", "sensor_set_mask 143",
        "lift_set_max_current 25", "lift_set_dn_max_current 20", "lift_set_min_volts 230",
        "set_lift_relock_timeout 30", "lift_dn"}) {
    EXPECT_EQ(cart.Execute(command), ">") << command;
  }
  for (const char* command : {"lift_set_min_volts 768", "sensor_set_mask 256", "sensor_run 2",
                              "set_lift_lock 7", "set_lift_relock_timeout 65536"}) {
    EXPECT_EQ(cart.Execute(command), "error\r\n>") << command;
  }
  cart.SetSensorInputs(0xF5);
  EXPECT_EQ(AnswerLines(cart.Execute("get_calib_fast_data")), Lines{"0 0 1 85"});
  EXPECT_EQ(AnswerLines(cart.Execute("get_calib_slow_data")), Lines{"25 20 230 30 143"});
  EXPECT_EQ(AnswerLines(cart.Execute("lockbits")), Lines{"8F"});
  cart.Execute("sensor_run 0");
  EXPECT_EQ(AnswerLines(cart.Execute("sensor_get_run")), Lines{"0"});
  EXPECT_EQ(AnswerLines(cart.Execute("get_calib_fast_data")), Lines{"0 0 0 00"});
}

}  // namespace
