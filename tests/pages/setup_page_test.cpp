// The Setup page against the simulated cart: what it shows, what its buttons send and tell the
// operator, and when it reads the cart again.
#include "pages/setup_page.h"

#include <gtest/gtest.h>

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "cart/setup_values.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"
#include "support/window_queue.h"

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
  const std::string noCart =
      " failed: no cart is connected. Plug the cart in (or unplug it and plug it in again) and "
      "wait until the status reads \"Connected\".";
  EXPECT_EQ(ui.Errors(),
            (Texts{"The lock activation time value must be between 0 and 2500 ms.",
                   "Sending the timeouts and lock times" + noCart, "Setting the lock type" + noCart,
                   "Setting the serial number" + noCart}));

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
                   "Setting the serial number failed: The serial number may hold printable "
                   "characters only, and no double quote."}));
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
  // Until then nothing of the cart before is shown as if it were this one's.
  EXPECT_EQ(page.cartName + page.serialNumber + page.firmwareVersions + page.keyboardLightTimeout +
                page.powerSupply,
            "");
  EXPECT_FALSE(page.motor || page.solenoid);
  page.firmwareVersions.clear();
  page.Show(true);
  EXPECT_EQ(page.cartName, "Oncology Ward No") << "16 characters shown";
  EXPECT_FALSE(page.firmwareVersions.empty()) << "the reload waited for the showing";

  const std::string serial = page.serialNumber;
  ASSERT_FALSE(serial.empty());
  EXPECT_NE(page.powerSupply, "N/A") << "the simulated cart runs on its charger";
  ChangeCart([](CartSettings& s) { s.name = "Ward 10"; });
  page.Tick();
  EXPECT_EQ(page.cartName, "Ward 10") << "in front: the tick polls";
  EXPECT_EQ(page.serialNumber, serial) << "what the tick does not read stays as it was";

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

// A cart that comes while the page is in front (another one, perhaps): nothing of the cart before
// is shown meanwhile, and the reading, several exchanges long, shows how far it got.
TEST(SetupOnTheCartThread, ACartThatCameIsReadWithProgressShowingNothingOfTheOneBefore) {
  testing_support::SimFixture fixture({}, true);
  ASSERT_TRUE(fixture.Connect());
  testing_support::RecordingUi ui;
  testing_support::WindowQueue window;
  molvane::CartThread& worker = fixture.controller.Worker();
  molvane::ThreadedRunner runner(worker, window.Dispatch());
  molvane::SetupPage page(fixture.controller, ui);
  page.SetRunner(&runner);
  page.Start();
  ASSERT_TRUE(window.RunUntil([&] { return worker.Idle() && !page.cartName.empty(); }));

  page.CartNotice(true);
  EXPECT_EQ(page.cartName + page.serialNumber + page.firmwareVersions, "");
  ASSERT_TRUE(window.RunUntil([&] { return worker.Current().done >= 1; }));
  EXPECT_EQ(worker.Current().title, "Reading the cart's settings");
  EXPECT_EQ(worker.Current().total, 4);
  ASSERT_TRUE(window.RunUntil([&] { return worker.Idle() && !page.cartName.empty(); }));
  EXPECT_FALSE(page.firmwareVersions.empty());
}

}  // namespace
