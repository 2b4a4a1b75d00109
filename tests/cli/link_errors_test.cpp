// How molvanectl finds the cart and how it says that it cannot: exit codes and one-line errors.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "cli/ctl_process.h"
#include "link/discovery.h"
#include "support/sim_fixture.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CartsimProcess;
using cli_testing::Lines;
using cli_testing::RunCtl;
using testing_support::TempDir;

void ExpectOneErrorLine(const cli_testing::CtlRun& run, const std::string& expected) {
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
  EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
}

TEST(CtlLinkErrors, MissingPortIsNamedWithItsCause) {
  TempDir dir;
  const auto run = RunCtl({"--port", dir.File("no-such-tty"), "info"}, dir.Path());
  ExpectOneErrorLine(run, "no such port");
  EXPECT_EQ(run.out, "");
  // A cause we have no words of our own for keeps the system's.
  ExpectOneErrorLine(RunCtl({"--port", dir.Path(), "status"}, dir.Path()),
                     ": cannot be opened (Is a directory)");
}

// Each run leaves the port free for the next one, also for an ordinary user (CI runs the
// molvanectl tests as one).
TEST(CtlLinkErrors, ThePortOpensAgainForTheNextRun) {
  TempDir dir;
  CartsimProcess cart({"--empty"}, dir.Path());
  ASSERT_TRUE(cart.Started());
  for (int run = 1; run <= 2; ++run) {
    const auto status = RunCtl({"--port", cart.DevicePath(), "status"}, dir.Path());
    EXPECT_EQ(status.exitCode, 0) << "run " << run << ": " << status.err;
  }
}

TEST(CtlLinkErrors, ABoardLeftInItsBootloaderIsNamedByStatusSendAndPorts) {
  TempDir dir;
  CartsimProcess cart({"--empty"}, dir.Path());
  ASSERT_TRUE(cart.Started());
  const std::string waiting = "a board on " + cart.DevicePath() +
                              " is waiting in its bootloader (a firmware update did not finish); "
                              "run the update again";
  const auto send = RunCtl({"--port", cart.DevicePath(), "send", "bootload"}, dir.Path());
  EXPECT_EQ(send.out, "entering bootloader\n");
  ExpectOneErrorLine(send, "Error: " + waiting);
  ExpectOneErrorLine(RunCtl({"--port", cart.DevicePath(), "status"}, dir.Path()),
                     "Error: " + waiting);
  const auto ports = RunCtl({"ports"}, dir.Path(), {{"MOLVANE_PORTS", cart.DevicePath()}});
  EXPECT_EQ(ports.out, waiting + "\n");
}

TEST(CtlLinkErrors, PortHeldByAnotherOpenerIsBusy) {
  TempDir dir;
  CartsimProcess cart({"--empty"}, dir.Path());
  ASSERT_TRUE(cart.Started());
  const int holder = ::open(cart.DevicePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

  // The holder is named: this test's own process.
  const auto busy = RunCtl({"--port", cart.DevicePath(), "info"}, dir.Path());
  ExpectOneErrorLine(busy, "port is busy");
  EXPECT_NE(busy.err.find("test_cli (pid " + std::to_string(::getpid()) + ")"), std::string::npos)
      << busy.err;

  ::close(holder);
  const auto freed = RunCtl({"--port", cart.DevicePath(), "status"}, dir.Path());
  EXPECT_EQ(freed.exitCode, 0) << freed.err;
}

TEST(CtlLinkErrors, CartThatFallsSilentGivesTimeout) {
  TempDir dir;
  // Answers the probe, then nothing more.
  CartsimProcess cart({"--empty", "--silent-after", "1"}, dir.Path());
  ASSERT_TRUE(cart.Started());
  const auto run = RunCtl({"--port", cart.DevicePath(), "pins", "list"}, dir.Path());
  ExpectOneErrorLine(run, "Error: Timeout");
  EXPECT_EQ(run.out, "");
}

TEST(CtlLinkErrors, SendStopsAtATimeOutButNotAtTheWord) {
  // A cart may be named "Timeout Ward": the word in an answer is no time-out.
  testing_support::SimFixture sim;
  ASSERT_TRUE(sim.started);
  sim.Cart([](cartsim::CartModel& cart) {
    cart.Settings().name = "Timeout Ward";
    return 0;
  });
  const auto named =
      RunCtl({"--port", sim.link.DevicePath(), "send", "cart_name_get"}, sim.dir.Path());
  EXPECT_EQ(named.exitCode, 0) << named.err;
  EXPECT_EQ(Lines(named.out).front(), "\"Timeout Ward\"");
  // A cart that stops answering after the probe does time out, and the tool says so.
  TempDir dir;
  CartsimProcess quiet({"--silent-after", "1"}, dir.Path());
  ASSERT_TRUE(quiet.Started());
  const auto run = RunCtl({"--port", quiet.DevicePath(), "send", "cart_name_get"}, dir.Path());
  ExpectOneErrorLine(run, "Error: Timeout");
  EXPECT_EQ(run.out, "");
}

TEST(CtlLinkErrors, PortWhereNothingAnswersIsNoCart) {
  TempDir dir;
  CartsimProcess mute({"--drop-answers"}, dir.Path());
  ASSERT_TRUE(mute.Started());
  const auto named = RunCtl({"--port", mute.DevicePath(), "info"}, dir.Path());
  ExpectOneErrorLine(named, "Error: Timeout");
  const auto found = RunCtl({"info"}, dir.Path(), {{"MOLVANE_PORTS", mute.DevicePath()}});
  ExpectOneErrorLine(found, "no cart found on 1 port");
}

TEST(CtlLinkErrors, CartIsFoundThroughTheEnvironmentWithoutPort) {
  TempDir dir;
  CartsimProcess mute({"--drop-answers"}, dir.Path());
  CartsimProcess cart({"--empty"}, dir.Path());
  ASSERT_TRUE(mute.Started() && cart.Started());
  const std::string ports = dir.File("missing") + ":" + mute.DevicePath() + ":" + cart.DevicePath();
  const auto run = RunCtl({"info"}, dir.Path(), {{"MOLVANE_PORTS", ports}});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Firmware version 1: "), std::string::npos) << run.out;
  // The traffic trace goes to the folder the tool was started in.
  EXPECT_TRUE(std::filesystem::exists(dir.File("comlog.txt")));
}

TEST(CtlPorts, ListsEveryPortWithWhatAnswered) {
  TempDir dir;
  CartsimProcess mute({"--drop-answers"}, dir.Path());
  CartsimProcess cart({"--empty", "--echo"}, dir.Path());
  ASSERT_TRUE(mute.Started() && cart.Started());
  const std::string missing = dir.File("gone");
  const auto run =
      RunCtl({"ports"}, dir.Path(),
             {{"MOLVANE_PORTS", cart.DevicePath() + ":" + missing + ":" + mute.DevicePath()}});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const auto lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u) << run.out;
  EXPECT_EQ(lines[0], cart.DevicePath() + ": cart answered");
  EXPECT_EQ(lines[1].rfind(missing + ": no such port", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], mute.DevicePath() + ": no cart answered");
}

TEST(CtlPorts, SaysSoWhenNoDriverAndNoPortList) {
  molvane::DiscoverySource machine;
  machine.useEnvironment = false;
  if (molvane::DiscoverFtdiPorts(machine).driverPresent) {
    GTEST_SKIP() << "this machine has the FTDI serial driver loaded or installed";
  }
  TempDir dir;
  const auto run = RunCtl({"ports"}, dir.Path());
  ExpectOneErrorLine(run,
                     "No USB Cart drivers have been installed on this system. Load the FTDI "
                     "serial driver (sudo modprobe ftdi_sio), then plug the cart in again; a port "
                     "of another make is named in MOLVANE_PORTS.");
}

TEST(CtlLinkErrors, UnknownCommandOrMissingArgumentIsAUsageError) {
  TempDir dir;
  EXPECT_NE(RunCtl({"pins"}, dir.Path()).exitCode, 0);
  EXPECT_NE(RunCtl({"set-locks", "10"}, dir.Path()).exitCode, 0);
  EXPECT_NE(RunCtl({"set-cart-type", "hydraulic"}, dir.Path()).exitCode, 0);
  EXPECT_NE(RunCtl({"flash", "lift", "x.hex"}, dir.Path()).exitCode, 0);
}

}  // namespace
