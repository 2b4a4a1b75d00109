// The cart drops the line in the middle of a command, a dump, a firmware update and a bitmap.
#include <gtest/gtest.h>

#include "cart/board.h"
#include "cart/cart_identity.h"
#include "cart/pin_list.h"
#include "fault_checks.h"
#include "loader/bitmap_upload.h"
#include "loader/firmware_update.h"
#include "support/controller_fixture.h"
#include "support/controller_settings.h"

using fault_checks::ExpectUsableAgain;
using fault_checks::NothingSpins;
using testing_support::SimFixture;

namespace {

constexpr const char* kUnplugged =
    "Error: The cable was unplugged or the line closed. Plug the cart in again.";

int CommandsSeen(SimFixture& fx) {
  return fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
}

void HangUpAtCommand(SimFixture& fx, int fromNow) {
  fx.sim.faults.hangUpAfter = CommandsSeen(fx) + fromNow;
}

}  // namespace

TEST(FaultHangUp, MidCommandGivesUpThePortAndTheCartIsFoundAgain) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  HangUpAtCommand(fx, 1);
  const molvane::Result<std::string> name = molvane::GetCartName(fx.controller);
  EXPECT_FALSE(name);
  EXPECT_EQ(name.outcome.text, kUnplugged);
  EXPECT_EQ(fx.controller.MessageText(), kUnplugged);
  EXPECT_EQ(fx.controller.CartCount(), 0);
  EXPECT_EQ(fx.controller.CurrentPort(), -1);
  ExpectUsableAgain(fx);
}

// A dump cut short may have lost any number of PINs: it fails, and the list read before stays.
TEST(FaultHangUp, MidDumpFailsKeepsTheCopyAndTheNextDumpIsComplete) {
  // The simulated link cannot drop in the middle of an answer, so a scripted far end sends half
  // a dump and then vanishes.
  testing_support::ConnectedController c([](const std::string& line) {
    if (line != "pin_list_dump") return std::string(">");
    std::string half;
    for (int pin = 1000; pin < 1060; ++pin) half += std::to_string(pin) + " 1 2 3 4 5 24\r\n";
    return half + "1060 1 2";  // cut inside a record
  });
  std::thread unplug([&] {
    // Once the host has taken every byte sent, it waits for the rest of the cut record.
    fault_checks::Eventually(
        [&] { return c.cart.AnswersSent() > 0 && c.cart.Pty().Unread() == 0; });
    c.cart.Pty().HangUp();
  });
  molvane::PinList before;
  before.entries[0] = {7, 0};
  before.count = 1;
  c.controller.KeepPins(before);
  const molvane::Outcome dumped = molvane::DumpPinList(c.controller);
  unplug.join();
  EXPECT_FALSE(dumped);
  EXPECT_EQ(dumped.done, 60) << "the whole records that came";
  ASSERT_EQ(c.controller.Pins().count, 1);
  EXPECT_EQ(molvane::PinText(c.controller.Pins(), 0), "7");
  EXPECT_EQ(c.controller.CurrentPort(), -1);
  EXPECT_TRUE(NothingSpins());

  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  const int onCart = fx.Cart([](cartsim::CartModel& m) { return m.Pins().Count(); });
  EXPECT_TRUE(molvane::DumpPinList(fx.controller));
  EXPECT_EQ(fx.controller.Pins().count, onCart);
}

TEST(FaultHangUp, MidFlashEndsTheUpdateAndARetryFlashesEveryByte) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  fx.controller.SetBootlogFolder(fx.dir.Path());
  testing_support::SetTiming(fx.controller, &molvane::Timing::pageAckTimeoutMs, 2000);
  testing_support::SetTiming(fx.controller, &molvane::Timing::headerAckTimeoutMs, 2000);
  fx.sim.Inspect(
      [](cartsim::SimCart& s) { s.BoardModel(cartsim::Board::Main).faults.hangUpAtPage = 3; });
  const std::string hex = fx.dir.File("main.hex");
  testing_support::WriteFile(hex, fault_checks::HexText(1000));
  const molvane::Board& main = *molvane::FindBoard("main");
  ASSERT_TRUE(molvane::StartFirmwareUpdate(fx.controller, hex, main));
  fx.controller.WaitForTransfer();
  EXPECT_FALSE(fx.controller.TransferOutcome());
  const std::string message = fx.controller.TransferOutcome().text;
  EXPECT_NE(message.find("Abort"), std::string::npos) << message;
  ExpectUsableAgain(fx);

  ASSERT_TRUE(molvane::StartFirmwareUpdate(fx.controller, hex, main));
  fx.controller.WaitForTransfer();
  ASSERT_TRUE(fx.controller.TransferOutcome());
  ASSERT_EQ(fx.controller.TransferOutcome().text, "Firmware Update Complete");
  fx.sim.Inspect([](cartsim::SimCart& s) {
    const auto& flash = s.BoardModel(cartsim::Board::Main).Flash();
    for (int a = 0; a < 1000; ++a) ASSERT_EQ(flash[a], fault_checks::PatternByte(a)) << a;
  });
}

// Pulled as the board is told to go to its bootloader: no 'U' can come on a closed line, so the
// wait ends at once with the link's own message instead of running out its budget.
TEST(FaultHangUp, AtTheBootloadCommandEndsTheWaitForTheBoardAtOnce) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  fx.controller.SetBootlogFolder(fx.dir.Path());
  testing_support::SetTiming(fx.controller, &molvane::Timing::bootloaderWaitMs, 60000);
  const std::string hex = fx.dir.File("main.hex");
  testing_support::WriteFile(hex, fault_checks::HexText(300));
  HangUpAtCommand(fx, 1);
  const auto start = fault_checks::Clock::now();
  ASSERT_TRUE(molvane::StartFirmwareUpdate(fx.controller, hex, *molvane::FindBoard("main")));
  fx.controller.WaitForTransfer();
  EXPECT_LT(fault_checks::Clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(fx.controller.TransferOutcome().text, kUnplugged);
  EXPECT_EQ(fx.controller.MessageText(), kUnplugged);
  ExpectUsableAgain(fx);
}

TEST(FaultHangUp, MidBitmapEndsTheUploadAndARetryFillsTheDisplay) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  testing_support::SetTiming(fx.controller, &molvane::Timing::bitmapSettleMs, 20);
  HangUpAtCommand(fx, 4);  // load_bitmap and two lines reach the display
  const auto mode = molvane::BitmapUploadMode::Bitmaps;
  ASSERT_TRUE(
      molvane::StartBitmapUpload(fx.controller, fault_checks::CommandFile(fx.dir, 8), mode, 256));
  fx.controller.WaitForTransfer();
  EXPECT_FALSE(fx.controller.TransferOutcome());
  EXPECT_EQ(fx.controller.TransferOutcome().text,
            std::string(kUnplugged) + " Bitmap Update Aborted.");
  ExpectUsableAgain(fx);

  ASSERT_TRUE(
      molvane::StartBitmapUpload(fx.controller, fault_checks::CommandFile(fx.dir, 4), mode, 256));
  fx.controller.WaitForTransfer();
  ASSERT_TRUE(fx.controller.TransferOutcome());
  ASSERT_EQ(fx.controller.TransferOutcome().text, "Bitmap Update Complete.");
  fx.sim.Inspect([](cartsim::SimCart& s) {
    for (int i = 0; i < 4 * 16; ++i)
      ASSERT_EQ(s.Display().Memory()[256 + i], fault_checks::TitleByte(i)) << i;
  });
}
