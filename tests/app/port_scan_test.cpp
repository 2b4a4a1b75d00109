#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "app/cart_controller.h"
#include "support/controller_settings.h"
#include "support/eventually.h"
#include "support/raw_pty.h"
#include "support/temp_dir.h"

using molvane::CartController;
using testing_support::ScriptedCart;
using testing_support::TempDir;

namespace {

ScriptedCart::Responder Answer(const std::string& reply) {
  return [reply](const std::string& line) { return line == "status" ? reply : std::string(); };
}

int StatusProbes(ScriptedCart& cart) {
  int probes = 0;
  for (const std::string& line : cart.Lines()) probes += line == "status" ? 1 : 0;
  return probes;
}

// A controller whose discovery sees no adapters, only the named pseudo-terminals.
class PortScan : public ::testing::Test {
 protected:
  PortScan() : controller(dir.Path(), dir.Path()) {
    testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot, dir.Path());
    testing_support::SetDiscovery(controller, &molvane::DiscoverySource::modulesRoot, dir.Path());
    testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  }

  ScriptedCart& AddCart(const std::string& reply) {
    carts.push_back(std::make_unique<ScriptedCart>(Answer(reply)));
    return *carts.back();
  }

  void NamePorts(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += name + ":";
    testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts, list);
  }

  void NameAllCarts() {
    std::vector<std::string> names;
    for (const auto& cart : carts) names.push_back(cart->DevicePath());
    NamePorts(names);
  }

  TempDir dir;
  std::vector<std::unique_ptr<ScriptedCart>> carts;
  CartController controller;
};

}  // namespace

TEST_F(PortScan, ACartAnsweringWithAByteValueBecomesCurrentAndStaysOpen) {
  ScriptedCart& cart = AddCart("05\r00\r");
  NameAllCarts();
  controller.SetMessage("Error: Timeout");
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(controller.PortsFound(), 1);
  EXPECT_EQ(controller.CurrentPort(), 0);
  EXPECT_FALSE(controller.EchoesCommands());
  EXPECT_EQ(controller.GetMessage(), "");

  // An open port counts as a cart without another probe.
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(StatusProbes(cart), 1);
}

TEST_F(PortScan, AnEchoingCartIsRecognisedByTheEchoedWord) {
  ScriptedCart& cart = AddCart("status\r12\r");
  NameAllCarts();
  // Taken as a cart that does not echo, then let go, so that only the probe can tell.
  ASSERT_TRUE(controller.AttachPort(cart.DevicePath(), false));
  controller.ReleasePort(0);
  ASSERT_FALSE(controller.EchoesCommands());
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_TRUE(controller.EchoesCommands());
}

TEST_F(PortScan, OnlyAnswersThatLookLikeACartAreTaken) {
  // Bootloader U, one character, a U anywhere, a number beyond a byte, a negative number.
  for (const char* reply : {"U\r", "0\r", "ab\r", "7 U\r", "300\r", "-1\r"}) AddCart(reply);
  NamePorts({dir.File("no-such-device"), carts[0]->DevicePath(), carts[1]->DevicePath(),
             carts[2]->DevicePath(), carts[3]->DevicePath(), carts[4]->DevicePath(),
             carts[5]->DevicePath()});
  controller.ScanPorts();
  EXPECT_EQ(controller.PortCount(), 7);
  EXPECT_EQ(controller.PortsFound(), 6) << "the missing device is skipped";
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(controller.CurrentPort(), 3) << "letters only read as 0, a byte value";
  for (int i : {0, 1, 2, 4, 5, 6}) EXPECT_FALSE(controller.IsPortOpen(i)) << i;

  // Ports that did not answer as a cart are probed again at the next pass.
  controller.ScanPorts();
  EXPECT_EQ(StatusProbes(*carts[0]), 2);
  EXPECT_EQ(StatusProbes(*carts[2]), 1);
}

TEST_F(PortScan, TwoCartsAreCountedAndTheLaterOneIsCurrent) {
  AddCart("05\r00\r");
  AddCart("06\r00\r");
  NameAllCarts();
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 2);
  EXPECT_EQ(controller.CurrentPort(), 1);
}

TEST_F(PortScan, NothingHappensWhileATransferRunsOrScanningIsPaused) {
  ScriptedCart& cart = AddCart("05\r00\r");
  NameAllCarts();
  {
    testing_support::HeldTransfer transfer(controller);
    ASSERT_TRUE(transfer.started);
    controller.ScanPorts();
  }
  controller.SetScanEnabled(false);
  controller.ScanPorts();
  EXPECT_EQ(controller.PortCount(), 0);
  EXPECT_EQ(StatusProbes(cart), 0);
  controller.SetScanEnabled(true);
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
}

TEST_F(PortScan, AMissingDriverOrAnEmptyListKeepsThePreviousList) {
  NamePorts({"/dev/ttyUSB3"});
  controller.FindFtdiPorts();
  ASSERT_EQ(controller.PortCount(), 1);

  NamePorts({});
  controller.FindFtdiPorts();
  EXPECT_EQ(controller.GetMessage(),
            "No USB Cart drivers have been installed on this system. Load the FTDI serial driver "
            "(sudo modprobe ftdi_sio), then plug the cart in again; a port of another make is "
            "named in MOLVANE_PORTS.");
  EXPECT_EQ(controller.PortCount(), 1);
  EXPECT_EQ(controller.PortName(0), "/dev/ttyUSB3");

  std::filesystem::create_directories(dir.File("bus/usb-serial/drivers/ftdi_sio"));
  controller.SetMessage("");
  controller.FindFtdiPorts();
  EXPECT_EQ(controller.GetMessage(), "");
  EXPECT_EQ(controller.PortCount(), 1);
  EXPECT_EQ(controller.PortName(0), "/dev/ttyUSB3");
}

// With no cart found, why a listed port could not be opened is the message (the window's status
// tip), with what to do about it; a cart found clears it.
TEST_F(PortScan, APortThatCannotBeOpenedIsTheMessageWhileNoCartIsFound) {
  const std::string missing = dir.File("ttyUSB9");
  NamePorts({missing});
  controller.ScanPorts();
  EXPECT_EQ(controller.GetMessage(), missing + ": no such port (is the cable plugged in?)");
  ScriptedCart& cart = AddCart("05\r00\r");
  NamePorts({missing, cart.DevicePath()});
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(controller.GetMessage(), "");
}

TEST_F(PortScan, AnOpenPortKeepsItsSlotWhenTheListShifts) {
  ScriptedCart& first = AddCart("05\r00\r");
  ScriptedCart& second = AddCart("06\r00\r");
  NameAllCarts();
  controller.ScanPorts();
  ASSERT_EQ(controller.CartCount(), 2);

  // A new device in front of both, and later the first one gone from the list.
  const std::string absent = dir.File("new-adapter");
  NamePorts({absent, first.DevicePath(), second.DevicePath()});
  controller.ScanPorts();
  EXPECT_EQ(controller.PortName(0), first.DevicePath());
  EXPECT_EQ(controller.PortName(1), second.DevicePath());
  EXPECT_EQ(controller.PortName(2), absent);
  EXPECT_EQ(controller.PortCount(), 3);
  EXPECT_EQ(controller.CartCount(), 2);

  NamePorts({second.DevicePath()});
  controller.ReleasePort(0);
  controller.ScanPorts();
  EXPECT_EQ(controller.PortName(1), second.DevicePath());
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(StatusProbes(first), 1);
  EXPECT_EQ(StatusProbes(second), 1);
}

TEST_F(PortScan, AnOpenPortWhoseDeviceHasGoneIsClosedAndNotCounted) {
  ScriptedCart& first = AddCart("05\r00\r");
  ScriptedCart& second = AddCart("06\r00\r");
  NameAllCarts();
  controller.ScanPorts();
  ASSERT_EQ(controller.CartCount(), 2);
  ASSERT_EQ(controller.CurrentPort(), 1);

  // The first adapter is pulled out; the second one is plugged back in and gets a new name.
  first.Pty().HangUp();
  second.Pty().HangUp();
  ScriptedCart& replugged = AddCart("06\r00\r");
  NamePorts({first.DevicePath(), second.DevicePath(), replugged.DevicePath()});
  // The kernel ends the lines a moment later; a pass before that still counts them.
  testing_support::Eventually(
      [&] {
        controller.ScanPorts();
        return !controller.IsPortOpen(0) && !controller.IsPortOpen(1);
      },
      1000);
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(controller.CurrentPort(), 2);
  EXPECT_FALSE(controller.IsPortOpen(0));
  EXPECT_FALSE(controller.IsPortOpen(1));
}

TEST_F(PortScan, ASilentCartIsDroppedByTheKeepAliveAndFoundAgainWhenItAnswers) {
  ScriptedCart& cart = AddCart("05\r00\r");
  NameAllCarts();
  controller.ScanPorts();
  ASSERT_EQ(controller.CartCount(), 1);

  cart.SetResponder(Answer(""));
  EXPECT_FALSE(controller.GetStatus());
  EXPECT_EQ(controller.CartCount(), 0);
  EXPECT_EQ(controller.CurrentPort(), -1);
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 0);
  EXPECT_EQ(controller.PortsFound(), 1);
  EXPECT_FALSE(controller.IsPortOpen(0));

  cart.SetResponder(Answer("05\r00\r"));
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(controller.CurrentPort(), 0);
}

TEST_F(PortScan, TheScannerThreadFindsTheCartAndStopsWithoutWaitingOutItsPause) {
  AddCart("05\r00\r");
  NameAllCarts();
  testing_support::SetTiming(controller, &molvane::Timing::scanIntervalMs, 60000);
  controller.StartScanThread();
  testing_support::Eventually([&] { return controller.CartCount() != 0; }, 10000, 10);
  EXPECT_EQ(controller.CartCount(), 1);
  const auto stopping = std::chrono::steady_clock::now();
  controller.StopScanThread();
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(10));
}

// A device that keeps sending lines passes the first-line test (its leading number is a byte
// value) but never ends its answer: it is no cart.
TEST(PortProbe, ADeviceThatStreamsLinesIsNoCart) {
  testing_support::RawPty device;
  ASSERT_TRUE(device.Ok());
  std::atomic<bool> streaming{true};
  std::jthread talker([&] {
    while (streaming) {
      device.Write("42 degrees\r\n");
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  TempDir dir;
  CartController controller(dir.Path(), dir.Path());
  EXPECT_EQ(controller.ConnectPort(device.DevicePath()), CartController::ProbeResult::NoCart);
  EXPECT_FALSE(controller.IsPortOpen(0));
  streaming = false;
}
