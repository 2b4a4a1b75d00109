#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/controller_fixture.h"
#include "support/controller_settings.h"
#include "support/eventually.h"

using testing_support::ConnectedController;

namespace {

std::string Answer(const std::string& reply) { return reply + "\r\n>"; }

// Each kind of failure comes back in the result of the exchange that met it, in the operator's
// words, with the line as the cart sent it; the message text says the same.
TEST(CommandTransaction, EachFailureKindComesBackInItsOwnResult) {
  ConnectedController c([](const std::string&) { return std::string(); });
  auto& ctl = c.controller;
  struct Case {
    const char* reply;
    const char* failure;  // empty: success
    const char* message;  // the message text afterwards
  };
  const Case cases[] = {
      {"unknown cmd error", "Unknown Command.", "Unknown Command."},  // the first word decides
      {"refused: error 4", "Error: Unknown.", "Error: Unknown."},
      {"Error with a capital is fine", "", "Error: Unknown."},  // success leaves the message
      {"Timeout Ward", "", "Error: Unknown."},  // the cart's word, not the reader's time-out
  };
  for (const Case& test : cases) {
    c.cart.SetResponder([&](const std::string&) { return Answer(test.reply); });
    const molvane::Result<std::vector<std::string>> reply = ctl.Exchange("frobnicate", 2);
    EXPECT_EQ(reply.value, (std::vector<std::string>{test.reply, ">"})) << test.reply;
    EXPECT_EQ(reply.outcome.ok, *test.failure == '\0') << test.reply;
    if (*test.failure != '\0') {
      EXPECT_EQ(reply.outcome.text, test.failure) << test.reply;
    }
    EXPECT_EQ(ctl.GetMessage(), test.message) << test.reply;
    EXPECT_FALSE(reply.outcome.answerLost) << "a refusal is an answer: " << test.reply;
  }
  EXPECT_EQ(ctl.CurrentPort(), 0);

  // A refusal of a command with a longer answer: its prompt ends it, and the cart is not taken
  // for gone for want of the lines a refusal never has.
  c.cart.SetResponder([](const std::string&) { return Answer("error"); });
  const molvane::Result<std::vector<std::string>> refused = ctl.Exchange("version", 7);
  EXPECT_EQ(refused.outcome.text, "Error: Unknown.");
  EXPECT_EQ(refused.value, (std::vector<std::string>{"error", ">", "", "", "", "", ""}));
  EXPECT_EQ(ctl.CurrentPort(), 0);

  // A later exchange that goes through is a success whatever the message text still says.
  c.cart.SetResponder([](const std::string&) { return Answer("42"); });
  EXPECT_TRUE(ctl.Exchange("get_cycle_count"));

  // A silent cart: the time-out's own text, the rest of the answer not waited for.
  c.cart.SetResponder([](const std::string&) { return std::string(); });
  const molvane::Result<std::vector<std::string>> silent = ctl.Exchange("version", 7);
  EXPECT_EQ(silent.outcome.text, "Error: Timeout");
  EXPECT_TRUE(silent.outcome.answerLost) << "the cart may have carried it out";
  EXPECT_EQ(silent.value, (std::vector<std::string>{"Timeout", "", "", "", "", "", ""}));
  // The port is closed now: nothing is sent, and only this exchange learns why.
  ctl.SetMessage("kept");
  const molvane::Result<std::vector<std::string>> closed = ctl.Exchange("lock");
  EXPECT_EQ(closed.outcome.text, "Error: No cart is connected.");
  EXPECT_EQ(ctl.GetMessage(), "kept");
}

TEST(CommandTransaction, TimeoutClosesAndForgetsThePort) {
  ConnectedController c([](const std::string&) { return std::string(); });
  auto& ctl = c.controller;
  (void)ctl.SendCommand("status");
  EXPECT_EQ(ctl.ReadReply().value, "Timeout");
  EXPECT_EQ(ctl.GetMessage(), "Error: Timeout");
  EXPECT_EQ(ctl.CurrentPort(), -1);
  EXPECT_EQ(ctl.CartCount(), 0);
  EXPECT_FALSE(ctl.IsPortOpen(0));

  // Until the scanner finds the cart again every command is skipped at once.
  const auto before = c.cart.Lines().size();
  const auto start = std::chrono::steady_clock::now();
  (void)ctl.SendCommand("lock");
  EXPECT_EQ(ctl.ReadReply().value, "");
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
  (void)ctl.SendCommand("status");
  // Meanwhile the scanner finds a cart on another port and makes it current.
  ctl.ScanPorts();
  ASSERT_EQ(ctl.CurrentPort(), 1);

  EXPECT_EQ(ctl.ReadReply().value, "Timeout");
  EXPECT_EQ(ctl.ReadReply().value, "") << "the timed-out transaction reads nothing more";
  EXPECT_FALSE(ctl.IsPortOpen(0));
  EXPECT_EQ(ctl.CurrentPort(), 1) << "the cart found meanwhile stays current";
  EXPECT_EQ(ctl.GetStatus().value, "05");
}

TEST(CommandTransaction, AnAnswerNobodyReadIsNeverTakenForTheNextOne) {
  ConnectedController c([](const std::string& line) { return Answer("re " + line); });
  (void)c.controller.SendCommand("lock");  // and no ReadReply
  // Answered, and the answer has reached our side of the line, however busy the machine is.
  ASSERT_TRUE(testing_support::Eventually([&] {
    return c.cart.AnswersSent() == 1 && c.cart.Pty().Unread() >= 10;  // "re lock\r\n>"
  }));
  (void)c.controller.SendCommand("unlock");
  EXPECT_EQ(c.controller.ReadReply().value, "re unlock");
}

TEST(CommandTransaction, EchoLineIsDroppedOnlyForEchoingCarts) {
  ConnectedController c(
      [](const std::string& line) { return line + "\r\n" + Answer("ok " + line); });
  auto& ctl = c.controller;
  ASSERT_TRUE(ctl.AttachPort(c.cart.DevicePath(), true));
  (void)ctl.SendCommand("get_cycle_count");
  EXPECT_EQ(ctl.ReadReply().value, "ok get_cycle_count");

  ASSERT_TRUE(ctl.AttachPort(c.cart.DevicePath(), false));
  (void)ctl.SendCommand("lockbits");
  EXPECT_EQ(ctl.ReadReply().value, "lockbits") << "without the flag the echo is the answer";
}

TEST(CommandTransaction, StrayInputIsDrainedBeforeACommandEvenWhileItIsStillComing) {
  ConnectedController c([](const std::string& line) { return Answer("re " + line); });
  auto& ctl = c.controller;
  c.cart.Pty().Write("late>\r\nnoise");
  ASSERT_TRUE(testing_support::Eventually([&] { return c.cart.Pty().Unread() == 12; }));
  (void)ctl.SendCommand("serial_get");
  EXPECT_EQ(ctl.ReadReply().value, "re serial_get");
  EXPECT_EQ(c.cart.Lines().back(), "serial_get");

  // The rest of a long answer: its end comes only once the drain has taken its beginning.
  c.cart.Pty().Write("the rest of a long ans");
  // With the first answer's "\n>" still there.
  ASSERT_TRUE(testing_support::Eventually([&] { return c.cart.Pty().Unread() >= 22; }));
  std::thread rest([&] {
    testing_support::Eventually([&] { return c.cart.Pty().Unread() == 0; }, 2000, 1);
    c.cart.Pty().Write("wer\r\n>");
  });
  (void)ctl.SendCommand("lock");
  rest.join();
  EXPECT_EQ(ctl.ReadReply().value, "re lock");
}

TEST(CommandTransaction, GetStatusReadsTwoLinesAndReturnsTheFirst) {
  ConnectedController c([](const std::string&) { return std::string("c0 ok\r\nsecond\r\n>"); });
  EXPECT_EQ(c.controller.GetStatus().value, "c0 ok");
  EXPECT_EQ(c.cart.Lines(), std::vector<std::string>{"status"});
}

TEST(CommandTransaction, NoCurrentPortSkipsEverythingSilently) {
  ConnectedController c([](const std::string&) { return Answer("x"); });
  auto& ctl = c.controller;
  ctl.ReleasePort(0);
  ctl.SetMessage("kept");
  (void)ctl.SendCommand("lock");
  EXPECT_EQ(ctl.ReadReply().value, "");
  EXPECT_EQ(ctl.GetMessage(), "kept");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(c.cart.Lines().empty());
}

// The operator is told to plug the cable in, not that the port failed, and the port is given up.
TEST(CommandTransaction, CommandToAnUnpluggedCartSaysTheLineClosed) {
  ConnectedController c([](const std::string&) { return Answer("x"); });
  auto& ctl = c.controller;
  c.cart.Pty().HangUp();
  // The kernel ends the line asynchronously: until it has, a write still goes through.
  ASSERT_TRUE(testing_support::Eventually(
      [&] {
        const molvane::Outcome sent = ctl.SendCommand("lock");
        return !sent &&
               sent.text ==
                   "Error: The cable was unplugged or the line closed. Plug the cart in again." &&
               ctl.GetMessage() == sent.text;
      },
      1000));
  EXPECT_EQ(ctl.CurrentPort(), -1);
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
  (void)c.controller.SendCommand("get_cycle_count");
  EXPECT_TRUE(c.controller.ReadReply());
  const std::string trace = c.Trace();
  EXPECT_NE(trace.find("TX: [len=17], get_cycle_count\r\n:g [0x67] "), std::string::npos);
  EXPECT_NE(trace.find("RX: 42\n"), std::string::npos);
}

}  // namespace
