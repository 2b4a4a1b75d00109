// The Setup page against the simulated cart: what it shows, what its buttons send and tell the
// operator, and when it reads the cart again.
#include "pages/setup_page.h"

#include <gtest/gtest.h>

#include "app/cart_controller.h"
#include "cart/setup_values.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using Texts = std::vector<std::string>;
using cartsim::CartSettings;

struct SetupOnSimulatedCart : ::testing::Test {
  CartSettings Cart() {
    return fixture.Cart([](cartsim::CartModel& cart) { return cart.Settings(); });
  }
  void ChangeCart(const std::function<void(CartSettings&)>& change) {
    fixture.Cart([&](cartsim::CartModel& cart) { return change(cart.Settings()), 0; });
  }
  int Commands() {
    return fixture.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
  }

  testing_support::SimFixture fixture;
  testing_support::RecordingUi ui;
  molvane::SetupPage page{fixture.controller, ui};
};

TEST_F(SetupOnSimulatedCart, UpdateSkipsOnlyTheRefusedValues) {
  ASSERT_TRUE(fixture.Connect());
  page.Start();
  page.keyboardLightTimeout = "70000";
  page.backlightTimeout = "";
  page.drawerLockTimeout = "1x";
  page.mainLockMs = "2500";
  page.sideLockMs = "2501";
  // The cart count changes while the first message is open, and the page reloads meanwhile.
  ui.whileOpen = [this](const std::string&) { page.CartNotice(true); };
  page.Update();
  EXPECT_EQ(ui.Texts(),
            (Texts{"The keyboard light timeout value must be between 0 and 65535 seconds.",
                   molvane::kDrawerLockRule.integerMessage,
                   "The lock activation time value must be between 0 and 2500 ms."}));
  const CartSettings s = Cart();
  EXPECT_EQ(s.backlightTimeout, 0) << "an empty field sends 0, the typed value despite the reload";
  EXPECT_EQ(s.keyboardTimeout, 60);
  EXPECT_EQ(s.relockTimeout, 15);
  EXPECT_EQ(fixture.Trace().find("lock_active"), std::string::npos) << "neither lock time";
  EXPECT_EQ(page.keyboardLightTimeout, "60") << "the reload replaces what was typed";
}

TEST_F(SetupOnSimulatedCart, ConfirmationsOnlyWhenTheCommandsWentThrough) {
  page.mainLockMs = "9999";
  page.Update();
  page.SetType();
  page.serialNumber = "SN-1";
  page.Set();
  EXPECT_EQ(ui.Texts(), (Texts{"The lock activation time value must be between 0 and 2500 ms.",
                               "Error: No cart is connected.", "Error: No cart is connected.",
                               "Error: No cart is connected."}));

  ASSERT_TRUE(fixture.Connect());
  ui.boxes.clear();
  page.Solenoid();
  page.SetType();
  page.serialNumber = "SN-0123456789ABCDEF";
  page.Set();
  page.serialNumber = "SN \"7\"";  // a quote would end the quoted text early
  page.Set();
  EXPECT_EQ(ui.Texts(),
            (Texts{"Completed",
                   "Serial Updated. The cart keeps only the first 15 characters: "
                   "\"SN-0123456789AB\".",
                   "The serial number may hold printable characters only, and no double quote."}));
  EXPECT_EQ(Cart().cartType, 170);
  EXPECT_TRUE(page.solenoid);
  EXPECT_EQ(Cart().serial, "SN-0123456789AB");
  EXPECT_EQ(page.serialNumber, "SN-0123456789AB") << "re-read after the refusal too";
}

TEST_F(SetupOnSimulatedCart, ReadsAgainOnNoticeShowingAndTickOnlyWhileInFront) {
  page.Start();  // no cart yet
  ASSERT_TRUE(fixture.Connect());
  page.CartNotice(true);
  EXPECT_EQ(page.firmwareVersions.substr(0, 4), "Main") << "in front: reloaded at once";

  page.Show(false);
  ChangeCart([](CartSettings& s) { s.name = "Oncology Ward North"; });
  const int commands = Commands();
  page.CartNotice(true);
  page.Tick();
  EXPECT_EQ(Commands(), commands) << "hidden: neither reload nor poll";
  page.firmwareVersions.clear();
  page.Show(true);
  EXPECT_EQ(page.cartName, "Oncology Ward No") << "16 characters shown";
  EXPECT_FALSE(page.firmwareVersions.empty()) << "the reload waited for the showing";

  ChangeCart([](CartSettings& s) { s.name = "Ward 10"; });
  const std::string serial = page.serialNumber;
  ASSERT_FALSE(serial.empty());
  page.Tick();
  EXPECT_EQ(page.cartName, "Ward 10") << "in front: the tick polls";
  EXPECT_EQ(page.serialNumber, serial) << "what the tick does not read stays as shown";

  // While a transfer owns the port nothing goes out; the reload follows at the next tick.
  const int beforeTransfer = Commands();
  testing_support::HeldTransfer transfer(fixture.controller);
  page.CartNotice(true);
  page.Tick();
  EXPECT_EQ(Commands(), beforeTransfer);
  transfer.Release();
  page.firmwareVersions.clear();
  page.Tick();
  EXPECT_FALSE(page.firmwareVersions.empty());
}

}  // namespace
