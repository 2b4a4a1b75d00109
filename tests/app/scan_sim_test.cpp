#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/cart_controller.h"
#include "cart/cart_identity.h"
#include "pages/main_window_model.h"
#include "pages/page_model.h"
#include "sim/pty_transport.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"
#include "support/temp_dir.h"

using molvane::CartController;
using molvane::MainWindowModel;
using molvane::PageModel;
using molvane::UiServices;
using testing_support::SimFixture;

namespace {

constexpr const char* kOneCart =
    "This software supports only one cart. Please unplug the excess carts.";

class NoticedPage : public PageModel {
 public:
  using PageModel::PageModel;
  const char* Title() const override { return "page"; }
  void CartNotice(bool present) override { notices.push_back(present); }
  std::vector<bool> notices;
};

// The controller sees the given simulated carts and nothing else.
void ScanOnly(CartController& controller, const std::vector<SimFixture*>& carts) {
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot, "/nonexistent");
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  std::string ports;
  for (SimFixture* cart : carts) ports += cart->link.DevicePath() + ":";
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts, ports);
}

// The main window over one controller; every tab is the same recording page.
struct Window {
  explicit Window(CartController& controller) : page(controller, ui), owner(&controller) {
    std::array<PageModel*, MainWindowModel::kPageCount> pointers{};
    pointers.fill(&page);
    model = std::make_unique<MainWindowModel>(controller, ui, pointers);
  }
  void Check() {
    for (int i = 0; i < MainWindowModel::kConnectionCheckTicks; ++i) model->OnTimer();
    testing_support::WaitIdle(owner->Worker());
  }
  testing_support::RecordingUi ui;
  NoticedPage page;
  CartController* owner;
  std::unique_ptr<MainWindowModel> model;
};

cartsim::SimCart::Options Echoing() {
  cartsim::SimCart::Options options;
  options.echo = true;
  return options;
}

}  // namespace

TEST(ScanWithSimulator, EchoingAndQuietCartsAreRecognisedAndAnswerAfterwards) {
  SimFixture quiet;
  SimFixture echo(Echoing());
  ASSERT_TRUE(quiet.started && echo.started);
  CartController& controller = quiet.controller;

  ScanOnly(controller, {&echo});
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_TRUE(controller.EchoesCommands());
  EXPECT_EQ(controller.GetStatus().value, "00");

  // A second cart that does not echo takes over the current port.
  ScanOnly(controller, {&echo, &quiet});
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 2);
  EXPECT_EQ(controller.CurrentPort(), 1);
  EXPECT_FALSE(controller.EchoesCommands());
  EXPECT_EQ(controller.GetStatus().value, "00");
}

TEST(ScanWithSimulator, TwoCartsWarnOnceAndTheWindowShowsConnected) {
  SimFixture first;
  SimFixture second;
  ASSERT_TRUE(first.started && second.started);
  CartController& controller = first.controller;
  ScanOnly(controller, {&first, &second});
  Window window(controller);

  controller.ScanPorts();
  window.Check();
  controller.ScanPorts();
  window.Check();
  EXPECT_EQ(window.model->ConnectionText(), "Connected");
  ASSERT_EQ(window.ui.boxes.size(), 2u);
  EXPECT_EQ(window.ui.boxes[1].text, kOneCart);
  EXPECT_EQ(window.page.notices, std::vector<bool>(MainWindowModel::kPageCount, true));
}

TEST(ScanWithSimulator, ACartGoingSilentIsNoticedAndFoundAgain) {
  SimFixture cart;
  ASSERT_TRUE(cart.started);
  CartController& controller = cart.controller;
  ScanOnly(controller, {&cart});
  Window window(controller);
  controller.ScanPorts();
  window.Check();
  ASSERT_EQ(window.model->ConnectionText(), "Connected");

  cart.sim.faults.silentAfter = cart.sim.Inspect([](auto& s) { return s.CommandsSeen(); });
  window.Check();  // the keep-alive times out
  EXPECT_EQ(controller.CartCount(), 0);
  EXPECT_EQ(window.model->ConnectionText(), "Num FTDI: 1");
  controller.ScanPorts();  // a silent port is probed and closed again
  EXPECT_EQ(controller.CartCount(), 0);
  EXPECT_EQ(controller.PortsFound(), 1);

  cart.sim.faults.silentAfter = -1;
  controller.ScanPorts();
  window.Check();
  EXPECT_EQ(window.model->ConnectionText(), "Connected");
  const std::vector<bool> expected = {true,  true,  true,  true, true, true, false, false, false,
                                      false, false, false, true, true, true, true,  true,  true};
  EXPECT_EQ(window.page.notices, expected);
  EXPECT_EQ(window.ui.boxes.size(), 2u) << "one PIN-age message per arrival";
}

TEST(ScanWithSimulator, ABoardLeftInItsBootloaderIsNamedAndIsNoCart) {
  SimFixture cart;
  ASSERT_TRUE(cart.started);
  CartController& controller = cart.controller;
  ScanOnly(controller, {&cart});
  controller.ScanPorts();
  ASSERT_EQ(controller.CartCount(), 1);
  const std::string waiting = "a board on " + cart.link.DevicePath() +
                              " is waiting in its bootloader (a firmware update did not finish); "
                              "run the update again";

  // An update cut off after this leaves the board repeating 'U', never a line end.
  EXPECT_TRUE(controller.SendCommand("bootload"));
  EXPECT_EQ(controller.ReadReply().value, "entering bootloader");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(controller.ReadReply().value, "Timeout");
  EXPECT_EQ(controller.MessageText(), waiting);
  EXPECT_EQ(controller.CurrentPort(), -1);

  controller.SetMessage("");
  controller.ScanPorts();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(controller.MessageText(), waiting);
  EXPECT_EQ(controller.CartCount(), 0);
  EXPECT_EQ(controller.PortsFound(), 1);
  EXPECT_FALSE(controller.IsPortOpen(0));
}

TEST(ScanWithSimulator, AReplugThroughANamedLinkIsFoundAgain) {
  testing_support::TempDir dir;
  cartsim::SimCart sim;
  const std::string linkPath = dir.File("cart");
  cartsim::PtyTransport link(sim, cartsim::PtyTransport::Options{false, linkPath});
  ASSERT_TRUE(link.Start());
  CartController controller(dir.Path(), dir.Path());
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot, "/nonexistent");
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts, linkPath);
  controller.ScanPorts();
  ASSERT_EQ(controller.CartCount(), 1);

  link.HangUp();
  (void)controller.GetStatus();  // only the time-out counts here
  EXPECT_EQ(controller.CartCount(), 0);
  EXPECT_FALSE(controller.IsPortOpen(0));

  ASSERT_TRUE(link.Replug());
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(controller.GetStatus().value, "00");
}

// On a line as slow as the cart's, the rest of the probe's answer is still arriving when a
// command follows the connect at once; it must not be taken for that command's answer.
TEST(ScanWithSimulator, TheFirstCommandAfterAConnectGetsItsOwnAnswer) {
  for (const bool echo : {false, true}) {
    cartsim::SimCart::Options options;
    options.echo = echo;
    SimFixture fixture(options, /*pace=*/true);
    ASSERT_TRUE(fixture.Connect());
    EXPECT_EQ(molvane::GetCartName(fixture.controller).value, "Ward 4 Cart")
        << (echo ? "echo" : "no echo");
  }
}
