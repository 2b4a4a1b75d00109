#include "sim/cart_state_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cart_test_support.h"
#include "sim/cart_model.h"
#include "support/temp_dir.h"

namespace {

using cart_test::AnswerLines;
using cart_test::ManualClock;
using cartsim::CartModel;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

CartModel::Options WithStateFile(const ManualClock& clock, const std::string& path) {
  CartModel::Options options = cart_test::EmptyCart(clock);
  options.stateFile = path;
  return options;
}

TEST(CartStateFile, EveryChangeSurvivesARestart) {
  TempDir dir;
  const std::string path = dir.File("cart.state");
  ManualClock clock;
  std::string pins, log, setup, name, rfid;
  {
    CartModel cart(WithStateFile(clock, path));
    for (const char* command :
         {"set_time 5 6 7 8 9 10", "pin_list_add 42", "pin_list_add 4294967295",
          "cart_name_set \"Bay 3 Cart\"", "set_rfid_mask PFFB", "set_cart_type 170",
          "sensor_set_mask 136", "unlock"}) {
      ASSERT_EQ(cart.Execute(command), ">") << command;
    }
    ASSERT_TRUE(cart.EnterPinOnKeypad(42));
    pins = cart.Execute("pin_list_dump");
    log = cart.Execute("log_dump");
    setup = cart.Execute("get_setup_dlg_full") + cart.Execute("get_calib_slow_data");
    name = cart.Execute("cart_name_get");
    rfid = cart.Execute("get_rfid_mask") + cart.Execute("get_cycle_count");
  }
  CartModel restarted(WithStateFile(clock, path));
  EXPECT_FALSE(restarted.StateFileRejected());
  EXPECT_EQ(restarted.Execute("pin_list_dump"), pins);
  EXPECT_EQ(restarted.Execute("log_dump"), log);
  EXPECT_EQ(restarted.Execute("get_setup_dlg_full") + restarted.Execute("get_calib_slow_data"),
            setup);
  EXPECT_EQ(restarted.Execute("cart_name_get"), name);
  EXPECT_EQ(restarted.Execute("get_rfid_mask") + restarted.Execute("get_cycle_count"), rfid);
  EXPECT_EQ(cartsim::FormatCartDate(restarted.Clock().NowDate()), "5 6 7 8 9 10");
  // Only the state file itself is left: the temporary copy was renamed over it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(CartStateFile, SeededStartIsSavedOnlyOnceSomethingChanges) {
  TempDir dir;
  const std::string path = dir.File("cart.state");
  ManualClock clock;
  CartModel::Options options = WithStateFile(clock, path);
  options.startEmpty = false;
  CartModel cart(options);
  EXPECT_FALSE(std::filesystem::exists(path));
  cart.Execute("log_clear");
  CartModel restarted(options);
  EXPECT_EQ(restarted.Execute("log_dump"), ">");
  EXPECT_EQ(restarted.Execute("pin_list_dump"), cart.Execute("pin_list_dump"));
}

TEST(CartStateFile, UnreadableFileIsSetAsideNotOverwritten) {
  TempDir dir;
  const std::string path = dir.File("cart.state");
  const std::string broken = "cartsim-state 1\npin 12 notanumber\n";
  WriteFile(path, broken);
  ManualClock clock;
  CartModel cart(WithStateFile(clock, path));
  EXPECT_TRUE(cart.StateFileRejected());
  EXPECT_EQ(cart.Execute("pin_list_dump"), ">");
  EXPECT_EQ(ReadFile(path + ".rejected"), broken);
  cart.Execute("pin_list_add 5");
  EXPECT_EQ(ReadFile(path + ".rejected"), broken);
}

TEST(CartStateFile, ParserRefusesOverfullTablesAndOutOfRangeValues) {
  const std::string header = "cartsim-state 1\n";
  std::string tooManyPins = header;
  for (int i = 0; i < 129; ++i) tooManyPins += "pin " + std::to_string(i) + " 0\n";
  for (const std::string& text :
       {tooManyPins, header + "pin 7 0\npin 7 5\n", header + "pin 4294967296 0\n",
        header + "cartType 100\n", header + "name this name is far too long\n",
        header + "rfidMask pfb\n", header + "mystery 1\n", std::string("other header\n"),
        header + "event 1 1\n"}) {
    auto state = std::make_unique<cartsim::CartState>();
    EXPECT_FALSE(cartsim::ParseCartState(text, *state)) << text;
  }
  auto state = std::make_unique<cartsim::CartState>();
  EXPECT_TRUE(cartsim::ParseCartState(header + "serial  two  blanks \nevent 0 165 -5\n", *state));
  EXPECT_EQ(state->settings.serial, " two  blanks ");
  EXPECT_EQ(state->events.At(0)->when, -5);
}

}  // namespace
