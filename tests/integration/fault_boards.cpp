// Boards and the display that never give the answer the transfer waits for.
#include <gtest/gtest.h>

#include "cart/board.h"
#include "fault_checks.h"
#include "loader/bitmap_upload.h"
#include "loader/firmware_update.h"
#include "support/controller_settings.h"

using cartsim::Board;
using fault_checks::Clock;
using fault_checks::ExpectUsableAgain;
using testing_support::SimFixture;

namespace {

// Runs a main-board update of a small image and gives its last message.
std::string Flash(SimFixture& fx) {
  fx.controller.SetBootlogFolder(fx.dir.Path());
  const std::string hex = fx.dir.File("main.hex");
  testing_support::WriteFile(hex, fault_checks::HexText(600));
  EXPECT_TRUE(molvane::StartFirmwareUpdate(fx.controller, hex, *molvane::FindBoard("main")));
  fx.controller.WaitForTransfer();
  return fx.controller.TransferOutcome().text;
}

template <class F>
auto MainBoard(SimFixture& fx, F&& f) {
  return fx.sim.Inspect([&](cartsim::SimCart& s) { return f(s.BoardModel(Board::Main)); });
}

// An aborted update leaves the board waiting in its bootloader (no end marker is sent, so a
// half-written program never starts). Once the cart has been switched off and on, the cart
// answers again and the next update goes through.
void ExpectFlashableAgain(SimFixture& fx) {
  MainBoard(fx, [](cartsim::BootloaderModel& b) {
    b = cartsim::BootloaderModel(b.BoardName(), b.header);
  });
  ExpectUsableAgain(fx);
  EXPECT_EQ(Flash(fx), "Firmware Update Complete");
  MainBoard(fx, [](cartsim::BootloaderModel& b) {
    for (int a = 0; a < 600; ++a) ASSERT_EQ(b.Flash()[a], fault_checks::PatternByte(a)) << a;
  });
}

}  // namespace

TEST(FaultBoards, BootloaderRefusingEveryPageAbortsAndWritesNothing) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  MainBoard(fx, [](cartsim::BootloaderModel& b) { b.faults.refuseAll = true; });
  EXPECT_EQ(Flash(fx), "Could not send correct segment after 5 tries. Update Aborted.");
  MainBoard(fx, [](cartsim::BootloaderModel& b) {
    EXPECT_EQ(b.PagesWritten(), 0);
    EXPECT_EQ(b.Pages().size(), 5u) << "page 0 tried five times, then nothing more";
  });
  ExpectFlashableAgain(fx);
}

TEST(FaultBoards, HeaderOfNoiseForeverEndsAtTheBoundWithoutAPage) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  testing_support::SetTiming(fx.controller, &molvane::Timing::headerAckTimeoutMs, 300);
  testing_support::SetTiming(fx.controller, &molvane::Timing::headerAttempts, 4);
  MainBoard(fx, [](cartsim::BootloaderModel& b) { b.faults.noiseHeader = true; });
  const auto started = Clock::now();
  const std::string message = Flash(fx);
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(8));
  EXPECT_NE(message.find("Update Aborted."), std::string::npos) << message;
  MainBoard(fx, [](cartsim::BootloaderModel& b) {
    EXPECT_GE(b.HeadersSent(), 1);
    EXPECT_TRUE(b.Pages().empty()) << "no page goes to a board whose header was never read";
  });
  ExpectFlashableAgain(fx);
}

TEST(FaultBoards, DisplayAskingAgainForeverEndsTheUpload) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  testing_support::SetTiming(fx.controller, &molvane::Timing::bitmapSettleMs, 20);
  testing_support::SetTiming(fx.controller, &molvane::Timing::bitmapResendLimit, 3);
  fx.sim.Inspect([](cartsim::SimCart& s) { s.Display().resendForever = true; });
  ASSERT_TRUE(molvane::StartBitmapUpload(fx.controller, fault_checks::CommandFile(fx.dir, 3),
                                         molvane::BitmapUploadMode::Bitmaps, 256));
  fx.controller.WaitForTransfer();
  EXPECT_FALSE(fx.controller.TransferOutcome());
  EXPECT_EQ(fx.controller.TransferOutcome().text,
            "The display stopped answering. Bitmap Update Aborted.");
  fx.sim.Inspect([](cartsim::SimCart& s) {
    EXPECT_EQ(s.Display().LinesAccepted(), 0);
    s.Display().resendForever = false;
  });
  ExpectUsableAgain(fx);
}
