// The seam every page stands on, driven against the simulated cart without Qt: the window system
// shows and hides the page, the page exchanges its fields with its view, its timer ticks, and
// its confirmation tells the truth about what the cart did.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cart_controller.h"
#include "cart/cart_identity.h"
#include "pages/page_model.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using molvane::CartController;
using molvane::FieldExchange;

// A page of the smallest kind: it shows the cart's name, refreshes it on its timer while shown,
// and sets it from its field with a confirmation.
class NamePage : public molvane::PageModel {
 public:
  using PageModel::PageModel;
  const char* Title() const override { return "Name"; }
  int TimerPeriodMs() const override { return 500; }
  void Show(bool visible) override {
    PageModel::Show(visible);
    if (visible) Refresh();
  }
  void Tick() override {
    if (IsShown()) Refresh();
  }
  void Set() {
    ReadAllFields();
    OnCart([typed = name](CartController& c) { return molvane::SetCartName(c, typed); },
           [this](const molvane::Outcome& sent) {
             ShowOutcome(sent, "Name Updated.", "Setting the name");
           });
  }

  std::string name;

 private:
  void Refresh() {
    OnCart([](CartController& c) { return molvane::GetCartName(c); },
           [this](const molvane::Result<std::string>& read) {
             name = read.value;
             WriteAllFields();
           });
  }
};

// The view's side of the exchange, as plain text fields.
struct TextView : FieldExchange {
  explicit TextView(std::string& field) : field(field) {}
  void ReadAllFields() override {
    ++reads;
    field = control;
  }
  void WriteAllFields() override {
    ++writes;
    control = field;
  }
  std::string& field;
  std::string control;
  int reads = 0;
  int writes = 0;
};

struct PageOnSimulatedCart : ::testing::Test {
  PageOnSimulatedCart() { page.SetFieldExchange(&view); }
  testing_support::SimFixture fixture;
  testing_support::RecordingUi ui;
  NamePage page{fixture.controller, ui};
  TextView view{page.name};
};

TEST_F(PageOnSimulatedCart, ShowExchangeTickAndHide) {
  ASSERT_TRUE(fixture.Connect());
  page.Show(true);
  const std::string shownName = view.control;
  EXPECT_FALSE(shownName.empty()) << "the cart's name reaches the control when the page shows";

  view.control = "Ward 7";
  page.Set();
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Name Updated."});
  EXPECT_EQ(fixture.Cart([](auto& cart) { return cart.Settings().name; }), "Ward 7");
  page.Tick();
  EXPECT_EQ(view.control, "Ward 7") << "a tick while shown reads the cart again";

  page.Show(false);
  view.control = "typed meanwhile";
  const int writes = view.writes;
  page.Tick();
  EXPECT_EQ(view.writes, writes) << "a hidden page's tick does nothing";
  EXPECT_EQ(view.control, "typed meanwhile");
}

// A failure is an error box that names what failed and what the technician can do about it, and
// the status field's tip (the controller's message) says the same.
TEST_F(PageOnSimulatedCart, ConfirmationGivesWayToTheFailureNamedWithWhatToDo) {
  const auto failureOfSet = [&] {
    ui.boxes.clear();
    page.Set();
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(!ui.boxes.empty() && ui.boxes[0].error);
    EXPECT_EQ(fixture.controller.GetMessage(), ui.Texts().front());
    return ui.Texts().front();
  };
  EXPECT_EQ(failureOfSet(),
            "Setting the name failed: no cart is connected. Plug the cart in (or unplug it and "
            "plug it in again) and wait until the status reads \"Connected\".");

  ASSERT_TRUE(fixture.Connect());
  fixture.sim.faults.refuseCommands = cartsim::SimFaults::Refusal::Error;
  EXPECT_EQ(failureOfSet(),
            "Setting the name failed: the cart refused the command (Error: Unknown.).");

  fixture.sim.faults.refuseCommands = cartsim::SimFaults::Refusal::None;
  fixture.sim.faults.dropAnswers = true;
  EXPECT_EQ(failureOfSet(),
            "Setting the name failed: the cart did not answer (Error: Timeout). Check the cable; "
            "if the cart stays silent, unplug it and plug it in again.");
}

}  // namespace
