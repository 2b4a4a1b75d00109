// The Setup page against the simulated cart: what it shows of the cart, what Update, Set Type
// and Set send and tell the operator, and when it reads the cart again.
#include "pages/setup_page.h"

#include <gtest/gtest.h>

#include "app/cart_controller.h"
#include "cart/setup_values.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using molvane::SetupPage;
using Texts = std::vector<std::string>;

struct CountingView : molvane::FieldExchange {
  void ReadAllFields() override { ++reads; }
  void WriteAllFields() override { ++writes; }
  int reads = 0;
  int writes = 0;
};

cartsim::SimCart::Options CartWith(cartsim::CartModel::PowerSupply supply) {
  cartsim::SimCart::Options options;
  options.cart.powerSupply = supply;
  return options;
}

struct SetupOnSimulatedCart : ::testing::Test {
  explicit SetupOnSimulatedCart(
      cartsim::CartModel::PowerSupply supply = cartsim::CartModel::PowerSupply::AC)
      : fixture(CartWith(supply)) {
    fixture.controller.SetUi(&ui);
    page.SetFieldExchange(&view);
  }
  cartsim::CartSettings Cart() {
    return fixture.Cart([](cartsim::CartModel& cart) { return cart.Settings(); });
  }
  template <class F>
  void ChangeCart(F&& change) {
    fixture.Cart([&](cartsim::CartModel& cart) {
      change(cart.Settings());
      return 0;
    });
  }
  int CommandsSeen() {
    return fixture.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
  }
  // What the operator typed into the five number fields.
  void Type(const char* keyboard, const char* backlight, const char* drawer, const char* main,
            const char* side) {
    page.keyboardLightTimeout = keyboard;
    page.backlightTimeout = backlight;
    page.drawerLockTimeout = drawer;
    page.mainLockMs = main;
    page.sideLockMs = side;
  }

  testing_support::SimFixture fixture;
  testing_support::RecordingUi ui;
  CountingView view;
  SetupPage page{fixture.controller};
};

TEST_F(SetupOnSimulatedCart, StartShowsWhatTheCartReports) {
  ASSERT_TRUE(fixture.Connect());
  ChangeCart([](cartsim::CartSettings& s) { s.name = "Oncology Ward North"; });  // 19 characters
  page.Start();
  EXPECT_TRUE(page.IsShown());
  EXPECT_EQ(view.writes, 1);
  // The cart's "30 60 15 85 250 300 AC".
  EXPECT_EQ(page.backlightTimeout, "30");
  EXPECT_EQ(page.keyboardLightTimeout, "60");
  EXPECT_EQ(page.drawerLockTimeout, "15");
  EXPECT_EQ(page.mainLockMs, "250");
  EXPECT_EQ(page.sideLockMs, "300");
  EXPECT_TRUE(page.motor && !page.solenoid);
  EXPECT_EQ(page.powerSupply, "AC Out");
  EXPECT_EQ(page.cartName, "Oncology Ward No");
  EXPECT_EQ(page.serialNumber, "MV-20417");
  EXPECT_EQ(page.firmwareVersions,
            "Main Firmware v4.12\r\nCharger Firmware v1.07\r\nFront Firmware v2.31\r\n"
            "Bootloader v1.02");
  EXPECT_EQ(page.hardwareVersions, "Main Board Rev D\r\nFront Board Rev B");
  EXPECT_TRUE(ui.boxes.empty());

  // A reply of anything but numbers (here a cart answering every command with a word) shows
  // zeros, the solenoid and no power supply.
  fixture.sim.faults.longAnswerBytes = 5;
  page.SetupRead();
  EXPECT_EQ(page.keyboardLightTimeout, "0");
  EXPECT_EQ(page.sideLockMs, "0");
  EXPECT_TRUE(page.solenoid && !page.motor);
  EXPECT_EQ(page.powerSupply, "N/A");
}

struct SetupOnDcCart : SetupOnSimulatedCart {
  SetupOnDcCart() : SetupOnSimulatedCart(cartsim::CartModel::PowerSupply::DC) {}
};

TEST_F(SetupOnDcCart, SolenoidCartOnDirectCurrent) {
  ASSERT_TRUE(fixture.Connect());
  ChangeCart([](cartsim::CartSettings& s) { s.cartType = 170; });
  page.Start();
  EXPECT_TRUE(page.solenoid && !page.motor);
  EXPECT_EQ(page.powerSupply, "DC Out");
  page.powerSupply.clear();
  page.Tick();
  EXPECT_EQ(page.powerSupply, "DC Out") << "the tick reads the power supply on its own";
}

TEST_F(SetupOnSimulatedCart, UpdateSendsEveryValueThatPasses) {
  ASSERT_TRUE(fixture.Connect());
  page.Start();
  Type("", "99", "120", "2500", "0");
  page.Update();
  EXPECT_EQ(ui.Texts(), Texts{molvane::kUpdateComplete});
  const cartsim::CartSettings s = Cart();
  EXPECT_EQ(s.keyboardTimeout, 0) << "an empty field sends 0";
  EXPECT_EQ(s.backlightTimeout, 99);
  EXPECT_EQ(s.relockTimeout, 120);
  EXPECT_EQ(s.mainLockMs, 2500);
  EXPECT_EQ(s.sideLockMs, 0);
  EXPECT_EQ(page.keyboardLightTimeout, "0") << "the fields show what the cart now reports";
  EXPECT_EQ(ui.cursorShown, 1);
  EXPECT_EQ(ui.cursorDepth, 0);
}

TEST_F(SetupOnSimulatedCart, RefusedValuesSkipOnlyTheirOwnCommand) {
  ASSERT_TRUE(fixture.Connect());
  page.Start();
  Type("70000", "12", "1x", "2500", "2501");
  // The cart count changes while the first message is open, and the page reloads meanwhile.
  ui.whileOpen = [this](const std::string&) { page.CartNotice(true); };
  page.Update();
  // One message per refused value, in the page's order, and no confirmation.
  EXPECT_EQ(ui.Texts(), (Texts{molvane::kKeyboardLightRule.rangeMessage,
                               molvane::kDrawerLockRule.integerMessage,
                               molvane::kLockActivationRule.rangeMessage}));
  const cartsim::CartSettings s = Cart();
  EXPECT_EQ(s.keyboardTimeout, 60);
  EXPECT_EQ(s.backlightTimeout, 12) << "a value that passes is still sent";
  EXPECT_EQ(s.relockTimeout, 15);
  EXPECT_EQ(fixture.Trace().find("lock_active"), std::string::npos)
      << "neither lock time is sent when one is out of range";
  EXPECT_EQ(page.keyboardLightTimeout, "60") << "the reload replaces what was typed";
  EXPECT_EQ(page.mainLockMs, "250");
}

TEST_F(SetupOnSimulatedCart, ConfirmationsGiveWayToTheLinkFailure) {
  // No cart: nothing goes out and the operator is told so, also beside a refused value.
  Type("1", "2", "3", "4", "9999");
  page.Update();
  EXPECT_EQ(ui.Texts(),
            (Texts{molvane::kLockActivationRule.rangeMessage, molvane::texts::kNoCart}));
  ui.boxes.clear();
  page.SetType();
  page.serialNumber = "SN-1";
  page.Set();
  EXPECT_EQ(ui.Texts(), (Texts{molvane::texts::kNoCart, molvane::texts::kNoCart}));

  // A cart that stopped answering.
  ASSERT_TRUE(fixture.Connect());
  fixture.sim.faults.dropAnswers = true;
  ui.boxes.clear();
  Type("1", "2", "3", "4", "5");
  page.Update();
  EXPECT_EQ(ui.Texts(), Texts{molvane::texts::kErrorTimeout});
}

TEST_F(SetupOnSimulatedCart, SetTypeSendsTheSelectedLock) {
  ASSERT_TRUE(fixture.Connect());
  page.Start();
  const int commands = CommandsSeen();
  page.Solenoid();
  EXPECT_TRUE(page.solenoid && !page.motor);
  EXPECT_EQ(CommandsSeen(), commands) << "choosing a lock type sends nothing";
  page.SetType();
  EXPECT_EQ(Cart().cartType, 170);
  EXPECT_TRUE(page.solenoid) << "as the cart now reports";
  page.Motor();
  page.SetType();
  EXPECT_EQ(Cart().cartType, 85);
  EXPECT_EQ(ui.Texts(), (Texts{molvane::kCartTypeSet, molvane::kCartTypeSet}));
}

TEST_F(SetupOnSimulatedCart, SetSendsTheSerialNumberAndShowsWhatTheCartKept) {
  ASSERT_TRUE(fixture.Connect());
  page.Start();
  page.serialNumber = "SN-0123456789ABCDEF";
  page.Set();
  EXPECT_EQ(Cart().serial, "SN-0123456789AB");
  EXPECT_EQ(page.serialNumber, "SN-0123456789AB");

  // A double quote would end the quoted text early: refused, nothing sent, field re-read.
  page.serialNumber = "SN \"7\"";
  page.Set();
  EXPECT_EQ(Cart().serial, "SN-0123456789AB");
  EXPECT_EQ(page.serialNumber, "SN-0123456789AB");
  EXPECT_EQ(ui.Texts(),
            (Texts{molvane::kSerialUpdated, molvane::IdentityTextRefusal("serial number")}));
}

TEST_F(SetupOnSimulatedCart, CartNoticeReloadsAtOnceWhenShownOtherwiseAtTheNextShowing) {
  page.Start();  // before any cart: everything empty
  EXPECT_EQ(page.firmwareVersions, "\r\n\r\n\r\n");
  ASSERT_TRUE(fixture.Connect());
  page.CartNotice(true);
  EXPECT_EQ(page.cartName, "Ward 4 Cart");
  EXPECT_NE(page.firmwareVersions.find("Main Firmware"), std::string::npos);

  page.Show(false);
  ChangeCart([](cartsim::CartSettings& s) { s.name = "Ward 9"; });
  const int commands = CommandsSeen();
  page.CartNotice(true);
  page.Tick();
  EXPECT_EQ(CommandsSeen(), commands) << "a hidden page neither reloads nor polls";
  EXPECT_EQ(page.cartName, "Ward 4 Cart");

  page.firmwareVersions.clear();
  page.Show(true);
  EXPECT_EQ(page.cartName, "Ward 9");
  EXPECT_NE(page.firmwareVersions.find("Main Firmware"), std::string::npos)
      << "the pending reload ran";

  // A plain showing reads name, serial and settings, not the versions.
  page.Show(false);
  page.firmwareVersions.clear();
  page.Show(true);
  EXPECT_EQ(page.firmwareVersions, "");
  EXPECT_EQ(page.mainLockMs, "250");
}

TEST_F(SetupOnSimulatedCart, TickPollsNameAndPowerSupplyWhileShown) {
  ASSERT_TRUE(fixture.Connect());
  page.Start();
  ChangeCart([](cartsim::CartSettings& s) {
    s.name = "Ward 9";
    s.keyboardTimeout = 5;
  });
  const int writes = view.writes;
  page.Tick();
  EXPECT_EQ(page.cartName, "Ward 9");
  EXPECT_EQ(page.keyboardLightTimeout, "60") << "the tick leaves the settings alone";
  EXPECT_EQ(view.writes, writes + 1);

  // A firmware transfer owns the port: neither the tick nor a cart notice sends anything, and
  // the reload the notice asked for runs at the first tick after the transfer.
  fixture.controller.transferInProgress = 1;
  const int commands = CommandsSeen();
  page.CartNotice(true);
  page.Tick();
  EXPECT_EQ(CommandsSeen(), commands);
  fixture.controller.transferInProgress = 0;
  page.firmwareVersions.clear();
  page.Tick();
  EXPECT_NE(page.firmwareVersions.find("Main Firmware"), std::string::npos);
}

}  // namespace
