#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/controller_fixture.h"
#include "support/controller_settings.h"
#include "support/eventually.h"

using testing_support::ConnectedController;

namespace {

std::string Answer(const std::string& reply) { return reply + "\r\n>"; }

TEST(CommandTransaction, ClassifiesRepliesAndReturnsThemUnchanged) {
  ConnectedController c([](const std::string&) { return std::string(); });
  auto& ctl = c.controller;
  const auto answerWith = [&](const std::string& reply) {
    c.cart.SetResponder([reply](const std::string&) { return Answer(reply); });
  };

  answerWith("unknown cmd error");
  ctl.SendCommand("frobnicate");
  EXPECT_EQ(ctl.ReadReply(), "unknown cmd error");
  EXPECT_EQ(ctl.GetMessage(), "Unknown Command.") << "the first word decides";

  answerWith("refused: error 4");
  ctl.SendCommand("set_cart_type 3");
  EXPECT_EQ(ctl.ReadReply(), "refused: error 4");
  EXPECT_EQ(ctl.GetMessage(), "Error: Unknown.");

  answerWith("Error with a capital is fine");
  ctl.SendCommand("lock");
  EXPECT_EQ(ctl.ReadReply(), "Error with a capital is fine");
  EXPECT_EQ(ctl.GetMessage(), "Error: Unknown.") << "success leaves the last message in place";
  EXPECT_EQ(ctl.CurrentPort(), 0);
}

TEST(CommandTransaction, TimeoutClosesAndForgetsThePort) {
  ConnectedController c([](const std::string&) { return std::string(); });
  auto& ctl = c.controller;
  ctl.SendCommand("status");
  EXPECT_EQ(ctl.ReadReply(), "Timeout");
  EXPECT_EQ(ctl.GetMessage(), "Error: Timeout");
  EXPECT_EQ(ctl.CurrentPort(), -1);
  EXPECT_EQ(ctl.CartCount(), 0);
  EXPECT_FALSE(ctl.IsPortOpen(0));

  // Until the scanner finds the cart again every command is skipped at once.
  const auto before = c.cart.Lines().size();
  const auto start = std::chrono::steady_clock::now();
  ctl.SendCommand("lock");
  EXPECT_EQ(ctl.ReadReply(), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
  EXPECT_EQ(c.cart.Lines().size(), before);
  EXPECT_EQ(ctl.GetMessage(), "Error: Timeout");
}

TEST(CommandTransaction, RepliesComeFromThePortTheCommandWentToAndATimeOutForgetsOnlyIt) {
  ConnectedController c([](const std::string&) { return std::string(); });
  testing_support::ScriptedCart found([](const std::string&) { return std::string("05\r"); });
  auto& ctl = c.controller;
  testing_support::SetDiscovery(ctl, &molvane::DiscoverySource::sysfsRoot, c.dir.Path());
  testing_support::SetDiscovery(ctl, &molvane::DiscoverySource::modulesRoot, c.dir.Path());
  testing_support::SetDiscovery(ctl, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(ctl, &molvane::DiscoverySource::extraPorts,
                                c.cart.DevicePath() + ":" + found.DevicePath());
  ctl.SendCommand("status");
  // Meanwhile the scanner finds a cart on another port and makes it current.
  ctl.ScanPorts();
  ASSERT_EQ(ctl.CurrentPort(), 1);

  EXPECT_EQ(ctl.ReadReply(), "Timeout");
  EXPECT_EQ(ctl.ReadReply(), "") << "the timed-out transaction reads nothing more";
  EXPECT_FALSE(ctl.IsPortOpen(0));
  EXPECT_EQ(ctl.CurrentPort(), 1) << "the cart found meanwhile stays current";
  EXPECT_EQ(ctl.GetStatus(), "05");
}

TEST(CommandTransaction, AnAnswerNobodyReadIsNeverTakenForTheNextOne) {
  ConnectedController c([](const std::string& line) { return Answer("re " + line); });
  c.controller.SendCommand("lock");  // and no ReadReply
  ASSERT_TRUE(testing_support::Eventually([&] { return c.cart.AnswersSent() == 1; }));
  c.controller.SendCommand("unlock");
  EXPECT_EQ(c.controller.ReadReply(), "re unlock");
}

TEST(CommandTransaction, EchoLineIsDroppedOnlyForEchoingCarts) {
  ConnectedController c(
      [](const std::string& line) { return line + "\r\n" + Answer("ok " + line); });
  auto& ctl = c.controller;
  ASSERT_TRUE(ctl.AttachPort(c.cart.DevicePath(), true));
  ctl.SendCommand("get_cycle_count");
  EXPECT_EQ(ctl.ReadReply(), "ok get_cycle_count");

  ASSERT_TRUE(ctl.AttachPort(c.cart.DevicePath(), false));
  ctl.SendCommand("lockbits");
  EXPECT_EQ(ctl.ReadReply(), "lockbits") << "without the flag the echo is the answer";
}

TEST(CommandTransaction, StrayInputIsDrainedBeforeACommandEvenWhileItIsStillComing) {
  ConnectedController c([](const std::string& line) { return Answer("re " + line); });
  auto& ctl = c.controller;
  c.cart.Pty().Write("late>\r\nnoise");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ctl.SendCommand("serial_get");
  EXPECT_EQ(ctl.ReadReply(), "re serial_get");
  EXPECT_EQ(c.cart.Lines().back(), "serial_get");

  // The rest of a long answer: its end comes only once the drain has taken its beginning.
  c.cart.Pty().Write("the rest of a long ans");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the pty hands it on meanwhile
  std::thread rest([&] {
    testing_support::Eventually([&] { return c.cart.Pty().Unread() == 0; }, 2000, 1);
    c.cart.Pty().Write("wer\r\n>");
  });
  ctl.SendCommand("lock");
  rest.join();
  EXPECT_EQ(ctl.ReadReply(), "re lock");
}

TEST(CommandTransaction, GetStatusReadsTwoLinesAndReturnsTheFirst) {
  ConnectedController c([](const std::string&) { return std::string("c0 ok\r\nsecond\r\n>"); });
  EXPECT_EQ(c.controller.GetStatus(), "c0 ok");
  EXPECT_EQ(c.cart.Lines(), std::vector<std::string>{"status"});
}

TEST(CommandTransaction, NoCurrentPortSkipsEverythingSilently) {
  ConnectedController c([](const std::string&) { return Answer("x"); });
  auto& ctl = c.controller;
  ctl.ReleasePort(0);
  ctl.SetMessage("kept");
  ctl.SendCommand("lock");
  EXPECT_EQ(ctl.ReadReply(), "");
  EXPECT_EQ(ctl.GetMessage(), "kept");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(c.cart.Lines().empty());
}

TEST(CommandTransaction, FailedWriteIsReported) {
  ConnectedController c([](const std::string&) { return Answer("x"); });
  auto& ctl = c.controller;
  c.cart.Pty().HangUp();
  // The kernel ends the line asynchronously: until it has, a write still goes through.
  ASSERT_TRUE(testing_support::Eventually(
      [&] {
        ctl.SendCommand("lock");
        return ctl.GetMessage() == "Error writing the command to the port.";
      },
      1000));
  EXPECT_EQ(ctl.ReadReply(), "Timeout");
}

TEST(CommandTransaction, MessageShowsTransferStatusWhileBusy) {
  ConnectedController c([](const std::string&) { return Answer("x"); });
  auto& ctl = c.controller;
  ctl.SetMessage("last outcome");
  ctl.SetStatusText("Writing..  40%");
  EXPECT_EQ(ctl.GetMessage(), "last outcome");
  for (const auto kind : {molvane::CartController::TransferKind::Bitmap,
                          molvane::CartController::TransferKind::Firmware}) {
    testing_support::HeldTransfer transfer(ctl, kind);
    ASSERT_TRUE(transfer.started);
    ctl.SetStatusText("Writing..  40%");  // a starting transfer clears the last one's
    EXPECT_EQ(ctl.GetMessage(), "Writing..  40%");
    transfer.Release();
    EXPECT_NE(ctl.GetMessage(), "Writing..  40%") << "the message again once it is over";
  }
}

TEST(CommandTransaction, TraceShowsTheCommandAndTheReply) {
  ConnectedController c([](const std::string&) { return Answer("42"); });
  c.controller.SendCommand("get_cycle_count");
  c.controller.ReadReply();
  const std::string trace = c.Trace();
  EXPECT_NE(trace.find("TX: [len=17], get_cycle_count\r\n:g [0x67] "), std::string::npos);
  EXPECT_NE(trace.find("RX: 42\n"), std::string::npos);
}

}  // namespace
