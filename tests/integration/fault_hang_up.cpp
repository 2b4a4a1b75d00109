// The cart drops the line in the middle of a command, a dump, a firmware update and a bitmap.
#include <gtest/gtest.h>

#include "fault_checks.h"
#include "support/controller_fixture.h"

using fault_checks::ExpectUsableAgain;
using fault_checks::NothingSpins;
using testing_support::SimFixture;

namespace {

int CommandsSeen(SimFixture& fx) {
  return fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
}

void HangUpAtCommand(SimFixture& fx, int fromNow) { fx.sim.faults.hangUpAfter = CommandsSeen(fx) + fromNow; }

}  // namespace

TEST(FaultHangUp, MidCommandGivesUpThePortAndTheCartIsFoundAgain) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  HangUpAtCommand(fx, 1);
  EXPECT_EQ(fx.controller.GetCartName(), "Timeout");
  EXPECT_EQ(fx.controller.MessageText(), "Error: Timeout");
  EXPECT_EQ(fx.controller.CartCount(), 0);
  EXPECT_EQ(fx.controller.currentPort.load(), -1);
  ExpectUsableAgain(fx);
}

TEST(FaultHangUp, MidDumpKeepsOnlyWholeRecordsAndTheNextDumpIsComplete) {
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
    fault_checks::Eventually([&] { return c.cart.AnswersSent() > 0 && c.cart.Pty().Unread() == 0; });
    c.cart.Pty().HangUp();
  });
  c.controller.DumpPinList();
  unplug.join();
  ASSERT_EQ(c.controller.PinCount(), 60);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(c.controller.PinText(i), std::to_string(1000 + i));
  EXPECT_EQ(c.controller.currentPort.load(), -1);
  EXPECT_TRUE(NothingSpins());

  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  const int onCart = fx.Cart([](cartsim::CartModel& m) { return m.Pins().Count(); });
  fx.controller.DumpPinList();
  EXPECT_EQ(fx.controller.PinCount(), onCart);
}

TEST(FaultHangUp, MidFlashEndsTheUpdateAndARetryFlashesEveryByte) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  fx.controller.bootlogFolder = fx.dir.Path();
  fx.controller.timing.pageAckTimeoutMs = 2000;
  fx.controller.timing.headerAckTimeoutMs = 2000;
  fx.sim.Inspect([](cartsim::SimCart& s) { s.BoardModel(cartsim::Board::Main).faults.hangUpAtPage = 3; });
  const std::string hex = fx.dir.File("main.hex");
  testing_support::WriteFile(hex, fault_checks::HexText(1000));
  fx.controller.BoardSelector = 1;
  ASSERT_EQ(fx.controller.StartFirmwareUpdate(hex), 0);
  fx.controller.WaitForTransfer();
  const std::string message = fx.controller.MessageText();
  EXPECT_NE(message, "Firmware Update Complete");
  EXPECT_NE(message.find("Abort"), std::string::npos) << message;
  ExpectUsableAgain(fx);

  ASSERT_EQ(fx.controller.StartFirmwareUpdate(hex), 0);
  fx.controller.WaitForTransfer();
  ASSERT_EQ(fx.controller.MessageText(), "Firmware Update Complete");
  fx.sim.Inspect([](cartsim::SimCart& s) {
    const auto& flash = s.BoardModel(cartsim::Board::Main).Flash();
    for (int a = 0; a < 1000; ++a) ASSERT_EQ(flash[a], fault_checks::PatternByte(a)) << a;
  });
}

TEST(FaultHangUp, MidBitmapEndsTheUploadAndARetryFillsTheDisplay) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  fx.controller.timing.bitmapSettleMs = 20;
  HangUpAtCommand(fx, 4);  // load_bitmap and two lines reach the display
  ASSERT_EQ(fx.controller.StartBitmapUpload(fault_checks::CommandFile(fx.dir, 8), 256, 0), 0);
  fx.controller.WaitForTransfer();
  EXPECT_EQ(fx.controller.MessageText(), "The display stopped answering. Bitmap Update Aborted.");
  ExpectUsableAgain(fx);

  ASSERT_EQ(fx.controller.StartBitmapUpload(fault_checks::CommandFile(fx.dir, 4), 256, 0), 0);
  fx.controller.WaitForTransfer();
  ASSERT_EQ(fx.controller.MessageText(), "Bitmap Update Complete.");
  fx.sim.Inspect([](cartsim::SimCart& s) {
    for (int i = 0; i < 4 * 16; ++i) ASSERT_EQ(s.Display().Memory()[256 + i], fault_checks::TitleByte(i)) << i;
  });
}
