#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "app/cart_controller.h"
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
    controller.discovery.sysfsRoot = dir.Path();
    controller.discovery.modulesRoot = dir.Path();
    controller.discovery.useEnvironment = false;
  }

  ScriptedCart& AddCart(const std::string& reply) {
    carts.push_back(std::make_unique<ScriptedCart>(Answer(reply)));
    return *carts.back();
  }

  void NamePorts(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += name + ":";
    controller.discovery.extraPorts = list;
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
  EXPECT_EQ(controller.portsFound, 1);
  EXPECT_EQ(controller.currentPort, 0);
  EXPECT_FALSE(controller.echoesCommands);
  EXPECT_EQ(controller.GetMessage(), "");

  // An open port counts as a cart without another probe.
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(StatusProbes(cart), 1);
}

TEST_F(PortScan, AnEchoingCartIsRecognisedByTheEchoedWord) {
  AddCart("status\r12\r");
  NameAllCarts();
  controller.echoesCommands = false;
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_TRUE(controller.echoesCommands);
}

TEST_F(PortScan, OnlyAnswersThatLookLikeACartAreTaken) {
  // Bootloader U, one character, a U anywhere, a number beyond a byte, a negative number.
  for (const char* reply : {"U\r", "0\r", "ab\r", "7 U\r", "300\r", "-1\r"}) AddCart(reply);
  NamePorts({dir.File("no-such-device"), carts[0]->DevicePath(), carts[1]->DevicePath(),
             carts[2]->DevicePath(), carts[3]->DevicePath(), carts[4]->DevicePath(),
             carts[5]->DevicePath()});
  controller.ScanPorts();
  EXPECT_EQ(controller.portCount, 7);
  EXPECT_EQ(controller.portsFound, 6) << "the missing device is skipped";
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(controller.currentPort, 3) << "letters only read as 0, a byte value";
  for (int i : {0, 1, 2, 4, 5, 6}) EXPECT_FALSE(controller.ports[i].IsOpen()) << i;

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
  EXPECT_EQ(controller.currentPort, 1);
}

TEST_F(PortScan, NothingHappensWhileATransferRunsOrScanningIsPaused) {
  ScriptedCart& cart = AddCart("05\r00\r");
  NameAllCarts();
  controller.transferInProgress = 1;
  controller.ScanPorts();
  controller.transferInProgress = 0;
  controller.SetScanEnabled(false);
  controller.ScanPorts();
  EXPECT_EQ(controller.portCount, 0);
  EXPECT_EQ(StatusProbes(cart), 0);
  controller.SetScanEnabled(true);
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
}

TEST_F(PortScan, AMissingDriverOrAnEmptyListKeepsThePreviousList) {
  controller.portNumbers[0] = "/dev/ttyUSB3";
  controller.portCount = 1;
  controller.FindFtdiPorts();
  EXPECT_EQ(controller.GetMessage(), "No USB Cart drivers have been installed on this system.");
  EXPECT_EQ(controller.portCount, 1);
  EXPECT_EQ(controller.portNumbers[0], "/dev/ttyUSB3");

  std::filesystem::create_directories(dir.File("bus/usb-serial/drivers/ftdi_sio"));
  controller.SetMessage("");
  controller.FindFtdiPorts();
  EXPECT_EQ(controller.GetMessage(), "");
  EXPECT_EQ(controller.portCount, 1);
  EXPECT_EQ(controller.portNumbers[0], "/dev/ttyUSB3");
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
  EXPECT_EQ(controller.portNumbers[0], first.DevicePath());
  EXPECT_EQ(controller.portNumbers[1], second.DevicePath());
  EXPECT_EQ(controller.portNumbers[2], absent);
  EXPECT_EQ(controller.portCount, 3);
  EXPECT_EQ(controller.CartCount(), 2);

  NamePorts({second.DevicePath()});
  controller.ports[0].Close();
  controller.ScanPorts();
  EXPECT_EQ(controller.portNumbers[1], second.DevicePath());
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
  ASSERT_EQ(controller.currentPort, 1);

  // The first adapter is pulled out; the second one is plugged back in and gets a new name.
  first.Pty().HangUp();
  second.Pty().HangUp();
  ScriptedCart& replugged = AddCart("06\r00\r");
  NamePorts({first.DevicePath(), second.DevicePath(), replugged.DevicePath()});
  for (int i = 0; i < 200 && controller.ports[1].BytesWaiting() != -1; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(controller.currentPort, 2);
  EXPECT_FALSE(controller.ports[0].IsOpen());
  EXPECT_FALSE(controller.ports[1].IsOpen());
}

TEST_F(PortScan, ASilentCartIsDroppedByTheKeepAliveAndFoundAgainWhenItAnswers) {
  ScriptedCart& cart = AddCart("05\r00\r");
  NameAllCarts();
  controller.ScanPorts();
  ASSERT_EQ(controller.CartCount(), 1);

  cart.SetResponder(Answer(""));
  controller.GetStatus();
  EXPECT_EQ(controller.CartCount(), 0);
  EXPECT_EQ(controller.currentPort, -1);
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 0);
  EXPECT_EQ(controller.portsFound, 1);
  EXPECT_FALSE(controller.ports[0].IsOpen());

  cart.SetResponder(Answer("05\r00\r"));
  controller.ScanPorts();
  EXPECT_EQ(controller.CartCount(), 1);
  EXPECT_EQ(controller.currentPort, 0);
}

TEST_F(PortScan, TheScannerThreadFindsTheCartAndStopsWithoutWaitingOutItsPause) {
  AddCart("05\r00\r");
  NameAllCarts();
  controller.timing.scanIntervalMs = 60000;
  controller.StartScanThread();
  testing_support::Eventually([&] { return controller.CartCount() != 0; }, 10000, 10);
  EXPECT_EQ(controller.CartCount(), 1);
  const auto stopping = std::chrono::steady_clock::now();
  controller.StopScanThread();
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(10));
}
