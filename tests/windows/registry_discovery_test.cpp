// FTDI discovery against enumeration keys made in the registry for each test, under a root of
// its own, so that the machine's real driver entries are neither read nor touched.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// The controller's GetMessage, not the window system's message-queue call of that name.
#undef GetMessage

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/cart_controller.h"
#include "link/discovery.h"
#include "support/temp_dir.h"

using molvane::DiscoverFtdiPorts;
using molvane::DiscoverySource;

namespace {

using Names = std::vector<std::string>;

class FakeEnumeration {
 public:
  FakeEnumeration() {
    std::random_device seed;
    top = "SOFTWARE\\MolvaneTests\\" + std::to_string(seed());
    root = top + "\\FTDIBUS";
  }
  ~FakeEnumeration() { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, top.c_str()); }
  FakeEnumeration(const FakeEnumeration&) = delete;
  FakeEnumeration& operator=(const FakeEnumeration&) = delete;

  void CreateDriverKey() { CreateKey(root); }
  // A device instance with the given values in its "0000\Device Parameters" key.
  void AddDevice(const std::string& instance,
                 const std::vector<std::pair<std::string, std::string>>& values) {
    const std::string path = root + "\\" + instance + "\\0000\\Device Parameters";
    CreateKey(path);
    for (const auto& [name, data] : values) SetText(path, name, data);
  }
  // A device instance with no "Device Parameters" key under its first function.
  void AddBareDevice(const std::string& instance) { CreateKey(root + "\\" + instance + "\\0000"); }

  DiscoverySource Source() const {
    DiscoverySource source;
    source.registryRoot = root;
    return source;
  }
  Names Discover() const { return DiscoverFtdiPorts(Source()).portNames; }

 private:
  static void CreateKey(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    ::RegCloseKey(key);
  }
  static void SetText(const std::string& path, const std::string& name, const std::string& data) {
    ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, path.c_str(), name.c_str(), REG_SZ,
                                data.c_str(), static_cast<DWORD>(data.size() + 1)),
              ERROR_SUCCESS);
  }

  std::string top;
  std::string root;
};

TEST(RegistryDiscovery, OneDeviceOnCom7) {
  FakeEnumeration registry;
  registry.AddDevice("A6008isPA", {{"PortName", "COM7"}});
  const auto result = DiscoverFtdiPorts(registry.Source());
  EXPECT_TRUE(result.driverPresent);
  EXPECT_EQ(result.portNames, Names{"COM7"});
}

TEST(RegistryDiscovery, DevicesComeInEnumerationOrderNotCreationOrder) {
  FakeEnumeration registry;
  // The registry lists subkeys by name, whatever order they were made in.
  registry.AddDevice("B-second", {{"PortName", "COM12"}});
  registry.AddDevice("A-first", {{"PortName", "COM3"}});
  EXPECT_EQ(registry.Discover(), (Names{"COM3", "COM12"}));
}

TEST(RegistryDiscovery, OnlyTheExactValueNamePortNameCounts) {
  FakeEnumeration registry;
  registry.AddDevice("A", {{"portname", "COM4"}});
  registry.AddDevice("B", {{"PORTNAME", "COM5"}, {"PortNameX", "COM6"}});
  registry.AddDevice("C", {{"LatencyTimer", "16"}, {"PortName", "COM8"}});
  EXPECT_EQ(registry.Discover(), Names{"COM8"});
}

TEST(RegistryDiscovery, APortNameLongerThanNineCharactersIsSkipped) {
  FakeEnumeration registry;
  registry.AddDevice("A", {{"PortName", "COM123456"}});   // nine: fits with its terminator
  registry.AddDevice("B", {{"PortName", "COM1234567"}});  // ten: does not
  registry.AddDevice("C", {{"PortName", "COM9"}});
  EXPECT_EQ(registry.Discover(), (Names{"COM123456", "COM9"}));
}

TEST(RegistryDiscovery, DevicesWithoutParametersOrAComNameAreSkipped) {
  FakeEnumeration registry;
  registry.AddBareDevice("A-unplugged");
  registry.AddDevice("B", {{"PortName", "LPT1"}});
  registry.AddDevice("C", {{"PortName", "COM0"}});
  registry.AddDevice("D", {});
  registry.AddDevice("E", {{"PortName", "COM21"}});
  EXPECT_EQ(registry.Discover(), Names{"COM21"});
}

TEST(RegistryDiscovery, MissingAndEmptyDriverKeys) {
  FakeEnumeration registry;
  const auto missing = DiscoverFtdiPorts(registry.Source());
  EXPECT_FALSE(missing.driverPresent);
  EXPECT_TRUE(missing.portNames.empty());

  registry.CreateDriverKey();
  const auto empty = DiscoverFtdiPorts(registry.Source());
  EXPECT_TRUE(empty.driverPresent);
  EXPECT_TRUE(empty.portNames.empty());
}

TEST(RegistryDiscovery, NoMoreNamesThanThePortTableHolds) {
  FakeEnumeration registry;
  for (int i = 1; i <= 260; ++i) {
    char instance[16];
    std::snprintf(instance, sizeof instance, "D%03d", i);
    registry.AddDevice(instance, {{"PortName", "COM" + std::to_string(i)}});
  }
  const Names names = registry.Discover();
  ASSERT_EQ(names.size(), 255u);
  EXPECT_EQ(names.front(), "COM1");
  EXPECT_EQ(names.back(), "COM255");
}

// The value the process's handle table gives the next handle: the lowest free slot, so it
// climbs when handles are left open.
std::uintptr_t NextHandleSlot() {
  const HANDLE probe = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  ::CloseHandle(probe);
  return reinterpret_cast<std::uintptr_t>(probe);
}

// Discovery runs every second for as long as the program runs: a key left open per pass would
// add up.
TEST(RegistryDiscovery, KeysAreReleasedAfterEveryPass) {
  FakeEnumeration registry;
  registry.AddDevice("A", {{"PortName", "COM7"}});
  registry.AddBareDevice("B");
  registry.Discover();
  const std::uintptr_t before = NextHandleSlot();
  for (int pass = 0; pass < 100; ++pass) registry.Discover();
  EXPECT_LE(NextHandleSlot(), before + 16);
}

TEST(RegistryDiscovery, TheControllerKeepsItsListAndTellsWhenTheDriverIsMissing) {
  testing_support::TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  FakeEnumeration registry;
  controller.SetDiscovery(registry.Source());

  registry.AddDevice("A", {{"PortName", "COM7"}});
  controller.FindFtdiPorts();
  EXPECT_EQ(controller.PortCount(), 1);
  EXPECT_EQ(controller.PortName(0), "COM7");

  FakeEnumeration gone;  // a root with no driver key at all
  controller.SetDiscovery(gone.Source());
  controller.FindFtdiPorts();
  EXPECT_EQ(controller.GetMessage(),
            "No USB Cart drivers have been installed on this system. Install the FTDI VCP driver "
            "for the cart's USB cable, then plug the cart in again.");
  EXPECT_EQ(controller.PortCount(), 1) << "the previous list stays";
  EXPECT_EQ(controller.PortName(0), "COM7");
}

}  // namespace
