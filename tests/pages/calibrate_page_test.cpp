// The factory calibration page against the simulated cart: what its two reports show, when it
// reads them, what Update Cart sends, and what the operator is told when the lift commands fail.
#include "pages/calibrate_page.h"

#include <gtest/gtest.h>

#include <string>

#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using molvane::CalibratePage;
using testing_support::SimFixture;

// The view's side of the exchange: it counts, and the operator may have typed a current, which
// a write leaves in its control and hands to the model.
struct TypingView : molvane::FieldExchange {
  explicit TypingView(CalibratePage& page) : page(page) {}
  void ReadAllFields() override {
    ++reads;
    if (!typedUpCurrent.empty()) page.maxUpCurrent = typedUpCurrent;
  }
  void WriteAllFields() override {
    ++writes;
    if (!typedUpCurrent.empty()) page.maxUpCurrent = typedUpCurrent;
  }
  CalibratePage& page;
  std::string typedUpCurrent;
  int reads = 0;
  int writes = 0;
};

struct CalibratePageTest : ::testing::Test {
  CalibratePageTest() {
    page.SetFieldExchange(&view);
    page.Start();
  }
  template <class F>
  void Cart(F&& change) {
    fixture.Cart([&](cartsim::CartModel& cart) {
      change(cart);
      return 0;
    });
  }
  cartsim::CartSettings Settings() {
    return fixture.Cart([](cartsim::CartModel& cart) { return cart.Settings(); });
  }
  std::size_t Sent(const std::string& word) const {
    const std::string trace = fixture.Trace();
    std::size_t count = 0;
    for (std::size_t at = trace.find(word); at != std::string::npos; at = trace.find(word, at + 1))
      if (trace.compare(at - 2, 2, ", ") == 0) ++count;  // the command text of a TX line
    return count;
  }
  SimFixture fixture;
  testing_support::RecordingUi ui;
  CalibratePage page{fixture.controller, ui};
  TypingView view{page};
};

TEST_F(CalibratePageTest, FastReportShowsFlagsStatusAndLitBitsAndKeepsWhatIsTyped) {
  ASSERT_TRUE(fixture.Connect());
  Cart([](cartsim::CartModel& cart) {
    cart.Settings().liftLocked = 1;
    cart.Settings().liftAutoLock = 0;
    cart.SetSensorInputs(0xa5);
  });
  view.typedUpCurrent = "12.5";
  page.Poll();
  EXPECT_TRUE(page.liftLocked);
  EXPECT_FALSE(page.autoLock);
  EXPECT_EQ(page.sensorStatus, "Running");
  EXPECT_EQ(page.sensorValue, "0xa5");
  const std::array<bool, 8> lit{true, false, true, false, false, true, false, true};
  EXPECT_EQ(page.sensorLit, lit);
  EXPECT_EQ(page.maxUpCurrent, "12.5") << "what was typed survives the report";

  page.StopSensors();
  EXPECT_EQ(page.sensorStatus, "Disabled");
  EXPECT_EQ(Settings().sensorsRunning, 0);
  page.RunSensors();
  EXPECT_EQ(page.sensorStatus, "Running");

  page.ToggleLock();
  EXPECT_EQ(Settings().liftLocked, 0);
  EXPECT_FALSE(page.liftLocked);
  page.ToggleAuto();
  EXPECT_EQ(Settings().liftAutoLock, 1);
  EXPECT_TRUE(page.autoLock);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CalibratePageTest, SlowReportOnConnectWhileShownAndOnEveryShowingAfterAHiddenConnect) {
  ASSERT_TRUE(fixture.Connect());
  Cart([](cartsim::CartModel& cart) {
    auto& s = cart.Settings();
    s.liftUpCurrentTenths = 25;
    s.liftDownCurrentTenths = 20;
    s.liftMinVoltsTenths = 230;
    s.liftRelockTimeout = 30;
    s.sensorMask = 143;
  });
  page.Show(true);
  EXPECT_EQ(Sent("get_calib_slow_data"), 0u) << "no connect was noticed yet";
  page.CartNotice(false);
  page.CartNotice(true);
  EXPECT_EQ(page.maxUpCurrent, "2.5");
  EXPECT_EQ(page.maxDownCurrent, "2.0");
  EXPECT_EQ(page.minBatteryVoltage, "23.0");
  EXPECT_EQ(page.autoLockTimeout, "30");
  EXPECT_EQ(page.drawerCode, "0x8f");
  const std::array<bool, 7> picture147{false, false, true, false, false, false, false};
  EXPECT_EQ(page.layoutSelected, picture147);
  EXPECT_FALSE(page.refreshPending);

  page.Show(false);
  page.CartNotice(true);
  EXPECT_EQ(Sent("get_calib_slow_data"), 1u) << "a hidden page only notes the connect";
  EXPECT_TRUE(page.refreshPending);
  Cart([](cartsim::CartModel& cart) { cart.Settings().liftUpCurrentTenths = 31; });
  page.Show(true);
  EXPECT_EQ(page.maxUpCurrent, "3.1");
  page.Show(false);
  page.Show(true);
  EXPECT_EQ(Sent("get_calib_slow_data"), 3u) << "the mark stays: every showing reads again";

  page.SelectDrawerLayout(5);
  const std::array<bool, 7> only5{false, false, false, false, false, true, false};
  EXPECT_EQ(page.layoutSelected, only5);
}

TEST_F(CalibratePageTest, UpdateCartConvertsLimitsAndRefusesWhatIsNoLimit) {
  ASSERT_TRUE(fixture.Connect());
  Cart([](cartsim::CartModel& cart) { cart.Settings().sensorMask = 100; });
  page.Show(true);
  page.CartNotice(true);
  EXPECT_EQ(page.layoutSelected, (std::array<bool, 7>{})) << "code 100 is no layout";
  EXPECT_EQ(page.drawerCode, "0x64");

  page.maxUpCurrent = "80";
  page.maxDownCurrent = "-2";
  page.minBatteryVoltage = "23.51";
  page.autoLockTimeout = "65535";
  page.UpdateCart();
  cartsim::CartSettings s = Settings();
  EXPECT_EQ(s.liftUpCurrentTenths, 767) << "larger values are limited";
  EXPECT_EQ(s.liftDownCurrentTenths, 60) << "-2 is refused, not sent as 0";
  EXPECT_EQ(s.liftMinVoltsTenths, 236);
  EXPECT_EQ(s.liftRelockTimeout, 30) << "65535 is not sent";
  EXPECT_EQ(Sent("sensor_set_mask"), 0u);
  EXPECT_EQ(Sent("set_lift_relock_timeout"), 0u);
  EXPECT_EQ(page.maxUpCurrent, "76.7") << "the slow report is read again";

  page.SelectDrawerLayout(6);
  page.minBatteryVoltage = "23.5";
  page.autoLockTimeout = "-1";
  page.UpdateCart();
  EXPECT_EQ(Settings().liftMinVoltsTenths, 235);
  EXPECT_EQ(Settings().sensorMask, 0xAA);
  EXPECT_EQ(Sent("set_lift_relock_timeout"), 0u);

  page.autoLockTimeout = "65534";
  page.UpdateCart();
  EXPECT_EQ(Settings().liftRelockTimeout, 65534);
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{
                "Max Down Current must be a number of amperes such as 2.5, not '-2'; nothing was "
                "sent for it.",
                "Auto-Lock Timeout must be a whole number of seconds from 0 to 65534, not "
                "'65535'; nothing was sent for it.",
                "Auto-Lock Timeout must be a whole number of seconds from 0 to 65534, not '-1'; "
                "nothing was sent for it.",
                "Update Complete."}));
  EXPECT_EQ(ui.cursorDepth, 0);
  EXPECT_EQ(ui.cursorShown, 3);
}

TEST_F(CalibratePageTest, FailuresAreToldAndAMissingReportLeavesTheLimitsShown) {
  page.maxUpCurrent = "4.0";
  page.UpdateCart();  // no cart
  EXPECT_EQ(ui.Errors().back(),
            "Update Cart failed: no cart is connected. Plug the cart in (or unplug it and plug it "
            "in again) and wait until the status reads \"Connected\".");
  EXPECT_EQ(page.maxUpCurrent, "4.0") << "a report that never came is not shown as zeros";

  // The simulated cart starts with its lift locked and refuses to move it; the page shows it
  // locked, and says what to do.
  ASSERT_TRUE(fixture.Connect());
  page.Poll();
  ASSERT_TRUE(page.liftLocked);
  page.LiftUp();
  EXPECT_EQ(ui.Errors().back(),
            "Lift Up failed: the cart refused the command (Error: Unknown.). The lift is locked: "
            "free it with Toggle Lock, then try again.");

  // Brake only stops the motor: no report is read, nothing is shown when it goes through.
  const std::size_t boxes = ui.boxes.size();
  const int writes = view.writes;
  page.Brake();
  EXPECT_EQ(Sent("lift_off"), 1u);
  EXPECT_EQ(Sent("get_calib_fast_data"), 2u);
  EXPECT_EQ(view.writes, writes);
  EXPECT_EQ(ui.boxes.size(), boxes);

  Cart([](cartsim::CartModel& cart) { cart.Settings().liftLocked = 0; });
  fixture.sim.faults.dropAnswers = true;
  page.LiftDown();
  EXPECT_EQ(ui.Errors().back(),
            "Lift Down failed: the cart did not answer (Error: Timeout). Check the cable; if the "
            "cart stays silent, unplug it and plug it in again. The lift may still be moving.");
}

TEST_F(CalibratePageTest, NothingReachesThePortWhileATransferRuns) {
  ASSERT_TRUE(fixture.Connect());
  const auto seen = [&] {
    return fixture.sim.Inspect([](auto& sim) { return sim.CommandsSeen(); });
  };
  const int before = seen();
  testing_support::HeldTransfer transfer(fixture.controller,
                                         molvane::CartController::TransferKind::Firmware);
  page.Poll();
  page.LiftUp();
  page.UpdateCart();
  transfer.Release();
  EXPECT_EQ(seen(), before);
  EXPECT_EQ(ui.Errors(),
            (std::vector<std::string>(
                2, "A firmware or bitmap transfer is running. Try again when it has ended.")));
}

}  // namespace
