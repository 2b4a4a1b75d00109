#include "pages/main_window_model.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/cart_controller.h"
#include "base/clock.h"
#include "pages/page_model.h"
#include "support/controller_fixture.h"
#include "support/controller_settings.h"
#include "support/local_zone.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

using molvane::CartController;
using molvane::MainWindowModel;
using molvane::PageModel;
using molvane::UiServices;
using testing_support::RecordingUi;

namespace {

constexpr const char* kFactoryPin = "Factory default PIN still active.";
// With no cart on the line the list cannot be read, which is not the same as an empty list.
constexpr const char* kPinsNotRead =
    "Reading the cart's PIN list failed: no cart is connected. Plug the cart in (or unplug it and "
    "plug it in again) and wait until the status reads \"Connected\".";
constexpr const char* kOneCart =
    "This software supports only one cart. Please unplug the excess carts.";

class RecordingPage : public PageModel {
 public:
  RecordingPage(CartController& controller, UiServices& ui, std::string name, bool polled,
                std::vector<std::string>& log)
      : PageModel(controller, ui), name(std::move(name)), polled(polled), log(log) {}
  const char* Title() const override { return name.c_str(); }
  void CartNotice(bool present) override { log.push_back(name + (present ? "+" : "-")); }
  bool IsPolled() const override { return polled; }
  void Poll() override { log.push_back(name + " poll"); }

 private:
  std::string name;
  bool polled;
  std::vector<std::string>& log;
};

class MainWindow {
 public:
  explicit MainWindow(CartController& controller) : controller(&controller) {
    const char* names[] = {"Setup", "PinList", "Log", "Testing", "Service", "Calibrate"};
    std::array<PageModel*, MainWindowModel::kPageCount> pointers{};
    for (int i = 0; i < MainWindowModel::kPageCount; ++i) {
      const bool polled = i == MainWindowModel::kTestingPage ||
                          i == MainWindowModel::kServicePage ||
                          i == MainWindowModel::kCalibratePage;
      pages.push_back(std::make_unique<RecordingPage>(controller, ui, names[i], polled, log));
      pointers[static_cast<std::size_t>(i)] = pages.back().get();
    }
    model = std::make_unique<MainWindowModel>(controller, ui, pointers);
  }

  // Each tick's work is done before the next, as the window's 100 ms leave time for it.
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) {
      model->OnTimer();
      testing_support::WaitIdle(controller->Worker());
    }
  }
  void Check() { Ticks(MainWindowModel::kConnectionCheckTicks); }
  std::vector<std::string> TakeLog() { return std::exchange(log, {}); }
  std::vector<std::string> TakeShown() {
    std::vector<std::string> texts = ui.Texts();
    captions.clear();
    for (const auto& box : ui.boxes) captions.push_back(box.caption);
    ui.boxes.clear();
    return texts;
  }

  CartController* controller;
  RecordingUi ui;
  std::vector<std::string> captions;  // of the boxes TakeShown took last
  std::vector<std::string> log;
  std::vector<std::unique_ptr<RecordingPage>> pages;
  std::unique_ptr<MainWindowModel> model;
};

const std::vector<std::string> kAllPresent = {"Setup+",   "PinList+", "Log+",
                                              "Testing+", "Service+", "Calibrate+"};
const std::vector<std::string> kAllGone = {"Setup-",   "PinList-", "Log-",
                                           "Testing-", "Service-", "Calibrate-"};

class MainWindowCheck : public ::testing::Test {
 protected:
  testing_support::TempDir dir;
  CartController controller{dir.Path(), dir.Path()};
  MainWindow window{controller};
};

}  // namespace

TEST_F(MainWindowCheck, RunsOnEveryTwentySecondTickWithoutATransfer) {
  controller.NoteScanResult(controller.CartCount(), 2);
  window.Ticks(21);
  EXPECT_EQ(window.model->ConnectionText(), "");
  window.Ticks(1);
  EXPECT_EQ(window.model->ConnectionText(), "Num FTDI: 2");

  controller.NoteScanResult(controller.CartCount(), 0);
  testing_support::HeldTransfer transfer(controller);
  window.Ticks(100);
  EXPECT_EQ(window.model->ConnectionText(), "Num FTDI: 2") << "no check while a transfer runs";
  transfer.Release();
  window.Ticks(21);
  EXPECT_EQ(window.model->ConnectionText(), "Num FTDI: 2");
  window.Ticks(1);
  EXPECT_EQ(window.model->ConnectionText(), "Disconnected");
}

// The status field's tip tells the link's last failure as a box would, and a page's failure as
// the page told it.
TEST_F(MainWindowCheck, TheStatusTipSaysWhatFailedAndWhatToDo) {
  controller.SetMessage("Error: Timeout");
  EXPECT_EQ(window.model->StatusTip(),
            "The cart did not answer (Error: Timeout). Check the cable; if the cart stays silent, "
            "unplug it and plug it in again.");
  controller.SetMessage("Lift Up failed: the cart refused the command (Error: Unknown.).");
  EXPECT_EQ(window.model->StatusTip(),
            "Lift Up failed: the cart refused the command (Error: Unknown.).");
}

TEST_F(MainWindowCheck, CountChangesNoticeEveryPageInTabOrderAndWarnOnce) {
  controller.NoteScanResult(1, controller.PortsFound());
  window.Check();
  EXPECT_EQ(window.TakeLog(), kAllPresent);
  EXPECT_EQ(window.TakeShown(), std::vector<std::string>{kPinsNotRead});
  EXPECT_EQ(window.captions, std::vector<std::string>{""}) << "the application's name";

  window.Check();
  EXPECT_TRUE(window.TakeLog().empty());
  EXPECT_TRUE(window.TakeShown().empty());

  controller.NoteScanResult(0, controller.PortsFound());
  window.Check();
  EXPECT_EQ(window.TakeLog(), kAllGone);
  EXPECT_TRUE(window.TakeShown().empty());
}

TEST_F(MainWindowCheck, TheOneCartWarningShowsOncePerExcess) {
  controller.NoteScanResult(2, controller.PortsFound());
  window.Check();
  EXPECT_EQ(window.TakeShown(), (std::vector<std::string>{kPinsNotRead, kOneCart}));
  window.Check();
  window.Check();
  EXPECT_TRUE(window.TakeShown().empty());

  controller.NoteScanResult(1, controller.PortsFound());
  window.Check();
  EXPECT_EQ(window.TakeShown(), std::vector<std::string>{kPinsNotRead});
  controller.NoteScanResult(3, controller.PortsFound());
  window.Check();
  EXPECT_EQ(window.TakeShown(), (std::vector<std::string>{kPinsNotRead, kOneCart}));
}

TEST_F(MainWindowCheck, OnlyAPolledPageInFrontIsPolledEverySeventhTickEvenDuringATransfer) {
  testing_support::HeldTransfer transfer(controller);
  window.Ticks(70);
  EXPECT_TRUE(window.TakeLog().empty()) << "the Setup page is not polled";
  window.model->SetFrontPage(MainWindowModel::kTestingPage);
  window.Ticks(21);
  EXPECT_EQ(window.TakeLog(), std::vector<std::string>(3, "Testing poll"));
  window.model->SetFrontPage(MainWindowModel::kCalibratePage);
  window.Ticks(6);
  EXPECT_TRUE(window.TakeLog().empty());
  window.Ticks(1);
  EXPECT_EQ(window.TakeLog(), std::vector<std::string>{"Calibrate poll"});
  window.model->SetFrontPage(MainWindowModel::kPinListPage);
  window.Ticks(70);
  EXPECT_TRUE(window.TakeLog().empty());
}

// The window's timers keep running while a box is open, and so does the connection check: an
// unplug shows in the status field at once, but what the change brings waits until the box is
// answered, and no message is shown twice.
TEST(MainWindowBox, TheConnectionIsCheckedWhileABoxIsOpenAndNothingIsShownTwice) {
  testing_support::TempDir dir;
  CartController controller(dir.Path(), dir.Path());
  RecordingUi ui;
  std::vector<std::string> log;
  std::vector<std::unique_ptr<RecordingPage>> pages;
  std::array<PageModel*, MainWindowModel::kPageCount> pointers{};
  for (auto& pointer : pointers) {
    pages.push_back(std::make_unique<RecordingPage>(controller, ui, "Page", false, log));
    pointer = pages.back().get();
  }
  MainWindowModel model(controller, ui, pointers);
  std::vector<std::string> statusWhileOpen;
  ui.whileOpen = [&](const std::string&) {
    controller.NoteScanResult(0, 1);  // unplugged while the box is open
    for (int i = 0; i < 3; ++i) {
      model.CheckConnection();
      statusWhileOpen.push_back(model.ConnectionText());
    }
  };

  controller.NoteScanResult(1, 1);
  model.CheckConnection();
  EXPECT_EQ(statusWhileOpen, std::vector<std::string>(3, "Num FTDI: 1"));
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{kPinsNotRead}) << "nothing shown twice";
  EXPECT_EQ(log, std::vector<std::string>(6, "Page+")) << "the departure waits for the box";
  model.CheckConnection();
  EXPECT_EQ(log.size(), 12u) << "six arrivals, then six departures after the box";
  EXPECT_EQ(log.back(), "Page-");
}

namespace {

constexpr std::int64_t kNow = 1780000000;  // a fixed "now", in May 2026

// A cart that answers "status" and dumps one PIN (or none) activated the given days ago.
std::string PinDumpLine(int daysAgo) {
  const time_t then = static_cast<time_t>(kNow - std::int64_t{daysAgo} * 86400 - 60);
  tm local{};
  localtime_r(&then, &local);
  return "1234 " + std::to_string(local.tm_sec) + " " + std::to_string(local.tm_min) + " " +
         std::to_string(local.tm_hour) + " " + std::to_string(local.tm_mday) + " " +
         std::to_string(local.tm_mon + 1) + " " + std::to_string(local.tm_year - 100) + "\r";
}

testing_support::ScriptedCart::Responder CartWithPin(int daysAgo) {
  return [daysAgo](const std::string& line) -> std::string {
    if (line == "status") return "05\r00\r";
    if (line == "pin_list_dump") return (daysAgo < 0 ? "" : PinDumpLine(daysAgo)) + ">\r";
    return "";
  };
}

class PinAgeWarning : public ::testing::Test {
 protected:
  void SetUp() override {
    zone.emplace("UTC0");
    molvane::SetClockForTest([] { return kNow; });
  }
  void TearDown() override {
    molvane::SetClockForTest({});
    zone.reset();
  }

  std::optional<testing_support::LocalZone> zone;

  std::vector<std::string> ShownForPinAge(int daysAgo) {
    testing_support::ConnectedController connected(CartWithPin(daysAgo));
    MainWindow window(connected.controller);
    window.Check();
    return window.TakeShown();
  }
};

}  // namespace

TEST_F(PinAgeWarning, ThirtyDaysIsStillActiveAndThirtyOneHasExpired) {
  EXPECT_EQ(ShownForPinAge(30),
            std::vector<std::string>{"A pin code has been active on this cart for 30 days"});
  EXPECT_EQ(ShownForPinAge(31), std::vector<std::string>{"A pin code has expired on this cart.\n"
                                                         "It has been active for 31 days"});
  EXPECT_EQ(ShownForPinAge(-1), std::vector<std::string>{kFactoryPin});
}

// Every exchange takes its turn on the cart thread, so the keep-alive cuts across no page's:
// with the Service page in front too, a cart that answers is "Connected", and one that is gone
// is noticed.
TEST_F(PinAgeWarning, TheKeepAliveIsSentWhicheverPageIsInFront) {
  testing_support::ConnectedController connected(CartWithPin(2));
  MainWindow window(connected.controller);
  window.model->SetFrontPage(MainWindowModel::kServicePage);
  window.Check();
  window.Check();
  int statusLines = 0;
  for (const std::string& line : connected.cart.Lines()) statusLines += line == "status" ? 1 : 0;
  EXPECT_EQ(statusLines, 2);
  EXPECT_EQ(window.model->ConnectionText(), "Connected");
}
