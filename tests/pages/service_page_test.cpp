// The Service page model against the simulated cart: files, enabling, the clock, the gas gauge,
// and a paced run that loads firmware, bitmaps and the factory title the way a technician does.
#include "pages/service_page.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/cart_time.h"
#include "base/clock.h"
#include "cart/version_info.h"
#include "loader/test_pictures.h"
#include "loader/title_bitmap.h"
#include "support/controller_settings.h"
#include "support/intel_hex.h"
#include "support/local_zone.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using molvane::ServicePage;
using Kind = molvane::ServicePage::FileKind;
using Answer = molvane::UiServices::Answer;
using Clock = std::chrono::steady_clock;
using testing_support::ReadFile;
using testing_support::WriteFile;

constexpr const char* kNotConfirmed =
    "Reset Gas Gauge failed: The cart did not confirm the gas gauge reset. Please try again.";

struct ServicePageTest : ::testing::Test {
  explicit ServicePageTest(bool pace = false) : fixture({}, pace) {
    fixture.controller.SetBootlogFolder(fixture.dir.Path());
  }
  std::vector<bool> Actions() const {
    return {page.updateMainEnabled,    page.updateFrontEnabled,
            page.updateChargerEnabled, page.updateTranslationEnabled,
            page.updateBitmapsEnabled, page.factoryTitleEnabled,
            page.setRtcEnabled,        page.resetGasGaugeEnabled};
  }
  std::string Config() { return ReadFile(fixture.controller.ConfigPath()); }

  testing_support::SimFixture fixture;
  testing_support::RecordingUi ui;
  ServicePage page{fixture.controller, ui};
};

TEST_F(ServicePageTest, BrowseStoresTheFieldPickedOrNotAndShortPathsAreRefused) {
  ui.fileNames = {"/carts/con_4_12.hex"};
  page.Browse(Kind::MainFirmware);
  ASSERT_EQ(ui.fileDialogs.size(), 1u);
  const molvane::FileDialogRequest& request = ui.fileDialogs[0];
  EXPECT_EQ(request.title, "Controller");
  EXPECT_EQ(request.initialName, "con*.hex");
  ASSERT_EQ(request.types.size(), 2u);
  EXPECT_EQ(request.types[0].patterns, "con*.hex");
  EXPECT_EQ(request.types[1].patterns, "*.hex");
  EXPECT_EQ(page.mainFirmwareFile, "/carts/con_4_12.hex");
  EXPECT_NE(Config().find("[MAINFIRMWAREFILE] \"/carts/con_4_12.hex\""), std::string::npos);

  // A cancelled dialog keeps the field and still writes it.
  // Known to this run only, so that only the Browse can have written it.
  ASSERT_TRUE(fixture.controller.SetPathSetting(molvane::CartController::PathSetting::FactoryTitle,
                                                "/carts/title.bmp"));
  std::filesystem::remove(fixture.controller.ConfigPath());
  page.Show(true);
  page.Browse(Kind::FactoryTitle);
  EXPECT_EQ(ui.fileDialogs.back().initialName, "*.*");
  EXPECT_EQ(page.factoryTitleFile, "/carts/title.bmp");
  EXPECT_NE(Config().find("[FACTORYTITLEFILE] \"/carts/title.bmp\""), std::string::npos);

  // Two characters are no file; three are, and the operator is asked (and cancels here).
  page.mainFirmwareFile = "ab";
  page.bitmapFile = "ab";
  page.UpdateMain();
  page.UpdateBitmaps();
  page.mainFirmwareFile = "a.h";
  page.bitmapFile = "a.b";
  ui.answers = {Answer::Cancel, Answer::Cancel};
  page.UpdateMain();
  page.UpdateBitmaps();
  // A start the controller refuses is said.
  page.mainFirmwareFile = std::string(300, 'f');
  page.UpdateMain();
  ASSERT_EQ(ui.boxes.size(), 6u);
  const std::string tooLong =
      "Update Main failed: The firmware file name is longer than 255 characters.";
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{
                "Please select a file. Update Main loads the file chosen with the Browse button "
                "beside it.",
                "Please select a file. Update Bitmaps loads the file chosen with the Browse "
                "button beside it.",
                "Are you sure you would like to update the firmware?",
                "Are you sure you want to load bitmaps?",
                "Are you sure you would like to update the firmware?", tooLong}));
  EXPECT_EQ(ui.Errors(), (std::vector<std::string>{ui.boxes[0].text, ui.boxes[1].text, tooLong}));
  EXPECT_EQ(ui.boxes[2].caption, "Firmware Update");
  EXPECT_EQ(ui.boxes[3].caption, "");
  EXPECT_EQ(page.lastResult, tooLong);
  // A picture that cannot be sent is refused in its own words, not the firmware's.
  page.bitmapFile = fixture.dir.File("notes.bmp");
  WriteFile(page.bitmapFile, "not a picture\n");
  ui.answers = {Answer::Ok};
  page.UpdateBitmaps();
  const std::string refusal =
      "Update Bitmaps failed: Bitmap " + page.bitmapFile + " was not converted: not a BMP picture.";
  EXPECT_EQ(ui.Texts().back(), refusal);
  EXPECT_EQ(page.lastResult, refusal);
  EXPECT_FALSE(fixture.controller.IsBusy());
}

// A transfer started on another page (the customer title) is followed as soon as the page shows,
// and a cart found while the page was hidden has its third board read before the buttons follow
// it (the default cart has a charger board).
TEST_F(ServicePageTest, ShownDuringAnotherPagesTransferItFollowsItAndReadsTheCartsBoard) {
  ASSERT_TRUE(fixture.Connect());
  page.CartNotice(true);
  testing_support::HeldTransfer transfer(fixture.controller);
  fixture.controller.SetStatusText("Writing..  40%");
  page.Show(true);
  EXPECT_EQ(page.status, "Writing..  40%");
  EXPECT_EQ(Actions(), std::vector<bool>(8, false));
  transfer.Release();
  page.Tick();
  EXPECT_EQ(page.status, "Not Programming.");
  EXPECT_EQ(Actions(), (std::vector<bool>{true, true, true, false, true, true, true, true}));
}

// The port scanner goes on while the page is shown, so that a cart plugged in again here is
// found again here.
TEST_F(ServicePageTest, EnablingFollowsTheThirdBoardAndTheScannerGoesOn) {
  struct Row {
    std::uint8_t kind;
    bool charger, translation, gauge;
  };
  for (const Row& row :
       {Row{1, true, false, true}, Row{0, false, true, false}, Row{2, true, true, false}}) {
    fixture.controller.KeepVersions(molvane::CartVersions{{}, {}, row.kind});
    page.Show(true);
    EXPECT_TRUE(fixture.controller.ScanEnabled());
    EXPECT_EQ(page.updateChargerEnabled, row.charger) << int(row.kind);
    EXPECT_EQ(page.updateTranslationEnabled, row.translation) << int(row.kind);
    EXPECT_EQ(page.resetGasGaugeEnabled, row.gauge) << int(row.kind);
    page.Show(false);
  }
  // A cart seen while the page is on screen brings its own board's rule.
  page.Show(true);
  fixture.controller.KeepVersions(molvane::CartVersions{{}, {}, 1});
  page.CartNotice(true);
  EXPECT_TRUE(page.resetGasGaugeEnabled);
  page.Tick();
  EXPECT_EQ(page.status, "Not Programming.");
}

// "Last result" is the last transfer's, even one started on another page while this one was
// hidden: an earlier failure does not stand for a later success.
TEST_F(ServicePageTest, LastResultFollowsEveryTransferShownOrNot) {
  using molvane::Outcome;
  const auto transfer = [&](const Outcome& ending) {
    testing_support::HeldTransfer held(fixture.controller,
                                       molvane::CartController::TransferKind::Bitmap, ending);
    page.Tick();
    held.Release();
    page.Tick();
  };
  page.Show(true);
  transfer(Outcome::Failure("Could not send correct segment after 5 tries. Update Aborted."));
  EXPECT_EQ(page.lastResult, "Could not send correct segment after 5 tries. Update Aborted.");
  page.Show(false);
  transfer(Outcome::Success("Bitmap Update Complete."));
  EXPECT_EQ(page.lastResult, "Bitmap Update Complete.");
}

TEST_F(ServicePageTest, ClockCarriesLocalTimeInTheCartsOrderAndTheCartFollows) {
  ASSERT_TRUE(fixture.Connect());
  {
    testing_support::LocalZone zone(testing_support::kBerlinZone);
    // 14:05:09 on 3 March 2009 in Berlin, one hour ahead of UTC in winter.
    molvane::SetClockForTest([] { return std::int64_t{1236089109} - 3600; });
    page.SetRtc();
    molvane::SetClockForTest({});
  }
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Update Complete."});
  EXPECT_EQ(ui.cursorShown, 1);
  EXPECT_EQ(ui.cursorDepth, 0);
  EXPECT_NE(fixture.Trace().find("set_time 9 5 14 3 3 9"), std::string::npos);
  const cartsim::CartDate date = fixture.Cart([](auto& cart) { return cart.Clock().NowDate(); });
  EXPECT_EQ(date.year, 9);
  EXPECT_EQ(date.month, 3);
  EXPECT_EQ(date.day, 3);
  EXPECT_EQ(date.hour, 14);
  EXPECT_EQ(date.minute, 5);
  EXPECT_LE(date.second, 12);

  // Without a cart nothing went anywhere, and the operator is told so.
  testing_support::SimFixture unplugged;
  testing_support::RecordingUi otherUi;
  ServicePage otherPage(unplugged.controller, otherUi);
  otherPage.SetRtc();
  EXPECT_EQ(otherUi.Errors(),
            std::vector<std::string>{"Set RTC failed: no cart is connected. Plug the cart in (or "
                                     "unplug it and plug it in again) and wait until the status "
                                     "reads \"Connected\"."});
  EXPECT_EQ(otherPage.lastResult, otherUi.Texts().front());
}

TEST_F(ServicePageTest, AClockTheCartLeavesUnansweredIsNoUpdate) {
  ASSERT_TRUE(fixture.Connect());
  fixture.sim.Inspect([](cartsim::SimCart& s) {
    s.faults.onlyWord = "set_time";
    s.faults.silentAfter = 0;
  });
  page.SetRtc();
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                            "Set RTC failed: the cart did not answer (Error: Timeout). Check the "
                            "cable; if the cart stays silent, unplug it and plug it in again."});
}

TEST_F(ServicePageTest, GasGaugeWaitEndsOnResetDoneOnTimeOrWithTheLink) {
  ASSERT_TRUE(fixture.Connect());
  molvane::CartController& controller = fixture.controller;
  const auto gaugeTakes = [&](std::chrono::milliseconds time) {
    fixture.sim.Inspect([&](cartsim::SimCart& s) { s.Gauge().resetTime = time; });
  };
  // A gauge that reports "resetting" for a while and then finishes.
  gaugeTakes(std::chrono::milliseconds(1500));
  page.ResetGasGauge();
  EXPECT_TRUE(ui.boxes.empty());
  // It stays where it can be read, past the next tick.
  page.Tick();
  EXPECT_EQ(page.lastResult, "Gas Gauge Reset Complete.");

  // A gauge that does not finish within the wait: no success is claimed.
  gaugeTakes(std::chrono::seconds(60));
  testing_support::SetTiming(controller, &molvane::Timing::gasGaugeWaitSeconds, 1);
  const auto start = Clock::now();
  page.ResetGasGauge();
  EXPECT_GE(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{kNotConfirmed});
  EXPECT_EQ(controller.CurrentPort(), 0) << "a talking cart is not lost";
  EXPECT_EQ(ui.cursorDepth, 0);

  // A cart gone silent: the time-out's own message.
  testing_support::SimFixture silent;
  ASSERT_TRUE(silent.Connect());
  silent.sim.faults.dropAnswers = true;
  testing_support::RecordingUi silentUi;
  ServicePage silentPage(silent.controller, silentUi);
  silentPage.ResetGasGauge();
  EXPECT_EQ(silentUi.Texts(),
            std::vector<std::string>{"Reset Gas Gauge failed: the cart did not answer (Error: "
                                     "Timeout). Check the cable; if the cart stays silent, unplug "
                                     "it and plug it in again."});
}

// At 38400 baud, with the page timer run as the view runs it.
struct PacedServicePage : ServicePageTest {
  PacedServicePage() : ServicePageTest(true) {
    testing_support::SetTiming(fixture.controller, &molvane::Timing::bitmapSettleMs, 300);
    EXPECT_TRUE(fixture.Connect());
    // The probe's answer is still on the line at this speed; the cart is left to finish it.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(molvane::GetVersion(fixture.controller));
    EXPECT_EQ(fixture.controller.AuxBoardKind(), 1) << "a charger board";
    page.Show(true);
  }

  // Ticks every 500 ms until the transfer has ended; every tick that sees it running finds the
  // actions locked. Gives the statuses seen.
  std::vector<std::string> TickUntilIdle() {
    std::vector<std::string> seen;
    const auto deadline = Clock::now() + std::chrono::seconds(90);
    while (fixture.controller.IsBusy() && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ServicePage::kTimerMs));
      page.Tick();
      if (page.status == "Not Programming.") break;
      EXPECT_EQ(Actions(), std::vector<bool>(8, false)) << page.status;
      seen.push_back(page.status);
    }
    page.Tick();
    EXPECT_EQ(page.status, "Not Programming.");
    return seen;
  }

  std::string Picture(const std::string& name, const loader_test::Dark& dark) {
    const std::string path = fixture.dir.File(name);
    WriteFile(path, loader_test::MakeBmp(82, 32, 1, dark));
    return path;
  }
};

molvane::TitleBitmap TitleOf(const loader_test::Dark& dark) {
  molvane::PixelGrid grid;
  for (int r = 0; r < 32; ++r) {
    for (int c = 0; c < 82; ++c) grid.dots[r][c] = dark(r, c) ? 1 : 0;
  }
  return molvane::BuildTitleBitmap(grid, 32);
}

TEST_F(PacedServicePage, FlashesLoadsSetsTheClockAndResetsTheGauge) {
  const std::vector<std::uint8_t> image = testing_support::PagePattern(65536);
  WriteFile(fixture.dir.File("con_main.hex"), testing_support::HexFile(image));
  ui.fileNames = {fixture.dir.File("con_main.hex")};
  page.Browse(Kind::MainFirmware);
  page.UpdateMain();
  EXPECT_EQ(Actions(), std::vector<bool>(8, false)) << "locked as soon as the update starts";
  // The operator looks at another page meanwhile: the page holds until the update has ended.
  page.Show(false);
  EXPECT_TRUE(page.IsShown());
  const std::vector<std::string> statuses = TickUntilIdle();
  EXPECT_FALSE(page.IsShown());
  int writing = 0;
  for (const std::string& status : statuses) writing += status.rfind("Writing..  ", 0) == 0;
  EXPECT_GE(writing, 10) << "the status follows the pages";
  EXPECT_EQ(page.lastResult, "Firmware Update Complete");
  fixture.sim.Inspect([&](cartsim::SimCart& s) {
    const auto& flash = s.BoardModel(cartsim::Board::Main).Flash();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
  });

  page.Show(true);
  EXPECT_EQ(Actions(), (std::vector<bool>{true, true, true, false, true, true, true, true}));
  const loader_test::Dark bitmaps = [](int r, int c) { return (r + 2 * c) % 7 == 0; };
  const loader_test::Dark title = [](int r, int c) { return r == c || r == 31 - c; };
  ui.fileNames = {Picture("bitmaps.bmp", bitmaps), Picture("factory.bmp", title)};
  page.Browse(Kind::Bitmap);
  page.Browse(Kind::FactoryTitle);
  page.UpdateBitmaps();
  EXPECT_NE(page.status, "Firmware Update Complete") << "the last transfer's end is not shown";
  TickUntilIdle();
  EXPECT_EQ(page.lastResult, "Bitmap Update Complete.");
  fixture.sim.Inspect([&](cartsim::SimCart& s) {
    const auto& memory = s.Display().Memory();
    const molvane::TitleBitmap expected = TitleOf(bitmaps);
    EXPECT_TRUE(std::equal(expected.bytes.begin(), expected.bytes.end(), memory.begin()));
    EXPECT_EQ(s.Display().LoadsStarted(), 1);
  });
  page.FactoryTitle();
  TickUntilIdle();
  fixture.sim.Inspect([&](cartsim::SimCart& s) {
    const auto& memory = s.Display().Memory();
    const molvane::TitleBitmap expected = TitleOf(title);
    EXPECT_TRUE(std::equal(expected.bytes.begin(), expected.bytes.end(), memory.begin()));
    EXPECT_EQ(s.Display().LoadsStarted(), 1) << "the factory title goes without load_bitmap";
  });

  fixture.Cart([](auto& cart) { cart.Clock().Set(cartsim::CartDate{0, 0, 0, 1, 1, 1}); });
  page.SetRtc();
  page.ResetGasGauge();
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                            "Are you sure you would like to update the firmware?",
                            "Are you sure you want to load bitmaps?",
                            "Are you sure you want to update the title?", "Update Complete."}));
  EXPECT_EQ(page.lastResult, "Gas Gauge Reset Complete.");
  const molvane::LocalFields now = molvane::ToLocalFields(molvane::Now());
  const cartsim::CartDate date = fixture.Cart([](auto& cart) { return cart.Clock().NowDate(); });
  EXPECT_EQ(date.year, now.year - 2000);
  EXPECT_EQ(date.month, now.month);
}

}  // namespace
