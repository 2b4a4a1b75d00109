// The Testing page against the simulated cart: what it reads and when, what it refuses to send
// during a transfer, and the customer title it saves and loads into the display.
#include "pages/testing_page.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "loader/title_bitmap.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"
#include "title/title_renderer.h"

namespace {

using molvane::TestingPage;
using molvane::TitleSurface;

// Draws each character as a black bar from its cell's top down to the bottom edge, so a test can
// tell where the cell was put and which way up the rows are stored.
struct BarRenderer : molvane::TitleRenderer {
  void DrawText(TitleSurface& surface, int x, int y, const std::string& text,
                const molvane::TitleFont&) override {
    for (std::size_t i = 0; i < text.size(); ++i) {
      for (int row = y; row < TitleSurface::kHeight; ++row) {
        surface.Set(x + static_cast<int>(i), row, molvane::kBlack);
      }
    }
  }
};

// Little-endian, as every number in a BMP file.
std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = value * 256 + static_cast<unsigned char>(bytes[at + i]);
  }
  return value;
}

struct TestingPageOnCart : ::testing::Test {
  TestingPageOnCart() {
    testing_support::SetTiming(fixture.controller, &molvane::Timing::bitmapSettleMs, 20);
    page.SetTitleRenderer(&renderer);
    page.Start();
  }
  int Commands() {
    return fixture.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
  }
  void SetCart(std::uint8_t status, int cycles) {
    fixture.Cart([&](cartsim::CartModel& cart) {
      cart.SetStatusByte(status);
      cart.Settings().cycleCount = cycles;
      return 0;
    });
  }

  testing_support::SimFixture fixture;
  testing_support::RecordingUi ui;
  BarRenderer renderer;
  TestingPage page{fixture.controller, ui};
};

TEST_F(TestingPageOnCart, ShowingReloadsAndPollsReadTheCounterOnlyEverySixthTime) {
  ASSERT_TRUE(fixture.Connect());
  SetCart(0xC8, 41);
  const int before = Commands();
  page.CartNotice(true);
  EXPECT_EQ(Commands(), before) << "a hidden page waits for its showing";

  page.Show(true);
  EXPECT_EQ(page.statusText, "C8");
  EXPECT_TRUE(page.drawerUnlocked && page.keyboardLampOn && page.lifting);
  EXPECT_EQ(page.cycleCountText, "41");
  EXPECT_FALSE(page.cartName.empty());
  EXPECT_NE(page.Surface(), nullptr);

  SetCart(0x48, 57);
  for (int poll = 1; poll <= 5; ++poll) {
    page.Poll();
    EXPECT_EQ(page.cycleCountText, "41") << "poll " << poll;
  }
  EXPECT_FALSE(page.drawerUnlocked) << "every poll decodes the status";
  EXPECT_TRUE(page.keyboardLampOn && page.lifting);
  page.Poll();
  EXPECT_EQ(page.cycleCountText, "57");

  // A click on a status box reads the cart again instead of ticking the box.
  SetCart(0x80, 57);
  page.keyboardLampOn = true;
  page.StatusBoxClicked();
  EXPECT_TRUE(page.drawerUnlocked);
  EXPECT_FALSE(page.keyboardLampOn || page.lifting);
}

TEST_F(TestingPageOnCart, ButtonsReachTheCartButNothingIsSentDuringATransfer) {
  ASSERT_TRUE(fixture.Connect());
  SetCart(0x00, 9);
  page.Unlock();
  page.Toggle();
  EXPECT_EQ(fixture.Cart([](cartsim::CartModel& c) { return c.StatusByte(); }), 0xC0);
  page.Lock();
  page.Clear();
  EXPECT_EQ(page.cycleCountText, "0");
  EXPECT_EQ(fixture.Cart([](cartsim::CartModel& c) { return c.StatusByte(); }), 0x40);

  page.saveEnabled = false;
  testing_support::HeldTransfer transfer(fixture.controller);
  fixture.controller.SetStatusText("Writing..  40%");
  const int before = Commands();
  page.Poll();
  page.Unlock();
  page.Clear();
  page.Reload();
  EXPECT_EQ(Commands(), before);
  EXPECT_EQ(page.controllerStatus, "Writing..  40%");
  EXPECT_FALSE(page.saveEnabled) << "Save stays off while the transfer runs";

  transfer.Release();
  page.Poll();
  EXPECT_TRUE(page.saveEnabled);
}

TEST_F(TestingPageOnCart, SaveWritesTheTitleAndLoadsItIntoTheDisplayFrom256) {
  ASSERT_TRUE(fixture.Connect());
  page.cartName = "Ward 7";  // saved before any showing: the surface is made on demand
  page.Save();
  EXPECT_FALSE(page.saveEnabled);
  EXPECT_TRUE(ui.boxes.empty());

  const std::string file = testing_support::ReadFile(fixture.dir.File("CustomerTitle.bmp"));
  ASSERT_EQ(file.size(), 7990u);
  EXPECT_EQ(file.substr(0, 2), "BM");
  // offset, size, value: file size, two zero words, pixel offset, then the 40-byte header
  const std::uint32_t header[][3] = {
      {2, 4, 7990}, {6, 4, 0},  {10, 4, 54},   {14, 4, 40}, {18, 4, 82}, {22, 4, 32}, {26, 2, 1},
      {28, 2, 24},  {30, 4, 0}, {34, 4, 7936}, {38, 4, 0},  {42, 4, 0},  {46, 4, 0},  {50, 4, 0}};
  for (const auto& [at, size, value] : header) {
    EXPECT_EQ(Le(file, at, static_cast<int>(size)), value) << "offset " << at;
  }
  // Bars from row 8 down under six characters: the bottom row comes first in the file, and
  // the rows above the cell (the last eight in the file) are white.
  auto pixel = [&](int fileRow, int x) {
    return static_cast<unsigned char>(file[54 + fileRow * 248 + x * 3]);
  };
  EXPECT_EQ(pixel(0, 5), 0);
  EXPECT_EQ(pixel(0, 6), 255);
  EXPECT_EQ(pixel(23, 0), 0);
  EXPECT_EQ(pixel(24, 0), 255);
  EXPECT_EQ(file.substr(54 + 246, 2), std::string(2, '\0')) << "row padding";

  fixture.controller.WaitForTransfer();
  EXPECT_EQ(fixture.controller.MessageText(), "Bitmap Update Complete.");
  EXPECT_EQ(fixture.Cart([](cartsim::CartModel& c) { return c.Settings().name; }), "Ward 7");
  molvane::PixelGrid grid;
  for (int r = 0; r < 32; ++r) {
    for (int c = 0; c < 82; ++c) grid.dots[r][c] = page.Surface()->At(c, r) == molvane::kBlack;
  }
  const molvane::TitleBitmap title = molvane::BuildTitleBitmap(grid, 32);
  fixture.sim.Inspect([&](cartsim::SimCart& s) {
    for (int i = 0; i < 331; ++i) EXPECT_EQ(s.Display().Memory()[256 + i], title.bytes[i]) << i;
    EXPECT_EQ(s.Display().LoadsStarted(), 1);
    return 0;
  });
  page.Poll();
  EXPECT_TRUE(page.saveEnabled);
}

TEST_F(TestingPageOnCart, TitleThatCannotBeWrittenIsReportedAndSaveOfferedAgain) {
  ASSERT_TRUE(fixture.Connect());
  fixture.controller.SetProgramFolder(fixture.dir.File("no-such-folder"));
  page.Save();
  EXPECT_EQ(ui.Errors(),
            std::vector<std::string>{
                "There was a problem opening the file to save the bitmap to. Check that the folder "
                "exists and may be written, that the disk has room, and that the file is not open "
                "in another program.\n" +
                fixture.dir.File("no-such-folder/CustomerTitle.bmp")});
  EXPECT_TRUE(page.saveEnabled);
  EXPECT_FALSE(fixture.controller.IsBusy()) << "nothing is loaded when nothing was saved";
}

// Each button says at once that its command did not go through, in the words the other pages
// use, instead of leaving it to a later poll.
TEST_F(TestingPageOnCart, EachButtonTellsItsFailureAtOnce) {
  page.Lock();
  page.Unlock();
  page.Toggle();
  page.Clear();
  const std::string advice =
      " failed: no cart is connected. Plug the cart in (or unplug it and plug it in again) and "
      "wait until the status reads \"Connected\".";
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Locking the keyboard" + advice,
                                                  "Unlocking the keyboard" + advice,
                                                  "Switching the keyboard light" + advice,
                                                  "Clearing the lock cycle counter" + advice}));
}

TEST_F(TestingPageOnCart, ANameTheCartDoesNotTakeStopsTheSave) {
  page.Save();
  EXPECT_EQ(ui.Errors(), std::vector<std::string>{
                             "Setting the cart's name failed: no cart is connected. Plug the cart "
                             "in (or unplug it and plug it in again) and wait until the status "
                             "reads \"Connected\"."});
  EXPECT_TRUE(page.saveEnabled);
  EXPECT_FALSE(fixture.controller.IsBusy());
}

}  // namespace
