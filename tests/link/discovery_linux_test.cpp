#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "link/discovery.h"
#include "support/temp_dir.h"

using molvane::DiscoverFtdiPorts;
using molvane::DiscoverySource;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace fs = std::filesystem;

namespace {

// A made-up sysfs: class/tty/NAME/device points into devices/, where a USB device (with its
// idVendor) holds an interface that holds the serial port.
class FakeSysfs {
 public:
  FakeSysfs() { fs::create_directories(Root() + "/class/tty"); }
  std::string Root() const { return dir.Path(); }

  void LoadFtdiDriver() { fs::create_directories(Root() + "/bus/usb-serial/drivers/ftdi_sio"); }

  // A kernel module tree beside the fake sysfs, for the kernel release that SourceFor names.
  std::string ModulesRoot() const { return Root() + "/modules"; }
  void InstallModule(const std::string& relativePath) {
    const fs::path file = fs::path(ModulesRoot()) / kRelease / relativePath;
    fs::create_directories(file.parent_path());
    WriteFile(file.string(), "");
  }
  static constexpr const char* kRelease = "6.1.0-test";

  void AddUsbTty(const std::string& name, const std::string& usbDevice, const std::string& vendor) {
    const fs::path usb = fs::path(Root()) / "devices/pci0000:00/usb1" / usbDevice;
    fs::create_directories(usb);
    WriteFile((usb / "idVendor").string(), vendor + "\n");
    AddTty(name, usb / (usbDevice + ":1.0") / name);
  }

  void AddPlatformTty(const std::string& name) {
    AddTty(name, fs::path(Root()) / "devices/platform/serial8250" / name);
  }

  void AddVirtualTty(const std::string& name) {
    fs::create_directories(fs::path(Root()) / "devices/virtual/tty" / name);
    fs::create_directory_symlink(fs::path(Root()) / "devices/virtual/tty" / name,
                                 fs::path(Root()) / "class/tty" / name);
  }

 private:
  void AddTty(const std::string& name, const fs::path& portDevice) {
    const fs::path classDir = portDevice / "tty" / name;
    fs::create_directories(classDir);
    // As in the real tree: the class entry is a link and "device" is relative.
    fs::create_directory_symlink("../../../" + name, classDir / "device");
    fs::create_directory_symlink(classDir, fs::path(Root()) / "class/tty" / name);
  }

  TempDir dir;
};

DiscoverySource SourceFor(const FakeSysfs& sysfs, const std::string& extra = "") {
  DiscoverySource source;
  source.sysfsRoot = sysfs.Root();
  source.modulesRoot = sysfs.ModulesRoot();
  source.kernelRelease = FakeSysfs::kRelease;
  source.useEnvironment = false;
  source.extraPorts = extra;
  return source;
}

}  // namespace

TEST(LinuxDiscovery, ListsOnlyTtysUnderAnFtdiUsbDeviceInNaturalOrder) {
  FakeSysfs sysfs;
  sysfs.LoadFtdiDriver();
  sysfs.AddUsbTty("ttyUSB10", "1-4", "0403");
  sysfs.AddUsbTty("ttyUSB2", "1-5", "0403");
  sysfs.AddUsbTty("ttyUSB1", "1-2", "0403");
  sysfs.AddUsbTty("ttyACM0", "1-3", "2341");
  sysfs.AddUsbTty("ttyUSB0", "1-1", "0403");
  sysfs.AddPlatformTty("ttyS0");
  sysfs.AddVirtualTty("tty0");
  const auto result = DiscoverFtdiPorts(SourceFor(sysfs));
  EXPECT_TRUE(result.driverPresent);
  EXPECT_EQ(result.portNames, (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1",
                                                        "/dev/ttyUSB2", "/dev/ttyUSB10"}));
}

TEST(LinuxDiscovery, NamedPortsFollowTheAdaptersOnceEach) {
  FakeSysfs sysfs;
  sysfs.LoadFtdiDriver();
  sysfs.AddUsbTty("ttyUSB0", "1-1", "0403");
  ::setenv("MOLVANE_PORTS", "/dev/pts/4:/dev/ttyUSB0", 1);
  DiscoverySource source = SourceFor(sysfs, ":/dev/pts/9::/dev/pts/4:");
  source.useEnvironment = true;
  const auto withEnvironment = DiscoverFtdiPorts(source);
  source.useEnvironment = false;
  const auto withoutEnvironment = DiscoverFtdiPorts(source);
  ::unsetenv("MOLVANE_PORTS");
  EXPECT_EQ(withEnvironment.portNames,
            (std::vector<std::string>{"/dev/ttyUSB0", "/dev/pts/4", "/dev/pts/9"}));
  EXPECT_EQ(withoutEnvironment.portNames,
            (std::vector<std::string>{"/dev/ttyUSB0", "/dev/pts/9", "/dev/pts/4"}));
}

TEST(LinuxDiscovery, TheDriverCountsAsMissingOnlyWithoutFtdiDriverAndNamedPorts) {
  FakeSysfs sysfs;
  sysfs.AddUsbTty("ttyUSB0", "1-1", "0403");
  EXPECT_FALSE(DiscoverFtdiPorts(SourceFor(sysfs)).driverPresent);
  const auto named = DiscoverFtdiPorts(SourceFor(sysfs, "/dev/pts/3"));
  EXPECT_TRUE(named.driverPresent);
  EXPECT_EQ(named.portNames.back(), "/dev/pts/3");

  DiscoverySource nowhere = SourceFor(sysfs);
  nowhere.sysfsRoot = sysfs.Root() + "/absent";
  nowhere.useEnvironment = false;
  const auto none = DiscoverFtdiPorts(nowhere);
  EXPECT_FALSE(none.driverPresent);
  EXPECT_TRUE(none.portNames.empty());
}

TEST(LinuxDiscovery, ADriverNotYetLoadedCountsWhenTheRunningKernelHasItsModule) {
  FakeSysfs sysfs;
  sysfs.InstallModule("kernel/drivers/usb/serial/ftdi_sio.ko.old");  // not a module file
  sysfs.InstallModule("kernel/drivers/usb/serial/pl2303.ko.xz");
  EXPECT_FALSE(DiscoverFtdiPorts(SourceFor(sysfs)).driverPresent);

  DiscoverySource otherKernel = SourceFor(sysfs);
  otherKernel.kernelRelease = "5.10.0-old";
  sysfs.InstallModule("updates/dkms/ftdi_sio.ko.zst");
  EXPECT_TRUE(DiscoverFtdiPorts(SourceFor(sysfs)).driverPresent)
      << "compressed, elsewhere in the tree";
  EXPECT_FALSE(DiscoverFtdiPorts(otherKernel).driverPresent) << "a module of another kernel";

  FakeSysfs loaded;
  fs::create_directories(loaded.Root() + "/module/ftdi_sio");
  EXPECT_TRUE(DiscoverFtdiPorts(SourceFor(loaded)).driverPresent);
}

TEST(LinuxDiscovery, TheListStopsAtThePortTableSize) {
  FakeSysfs sysfs;
  sysfs.LoadFtdiDriver();
  sysfs.AddUsbTty("ttyUSB0", "1-1", "0403");
  std::string many;
  for (int i = 0; i < 300; ++i) many += "/dev/pts/" + std::to_string(i) + ":";
  const auto result = DiscoverFtdiPorts(SourceFor(sysfs, many));
  ASSERT_EQ(result.portNames.size(), 255u);
  EXPECT_EQ(result.portNames.front(), "/dev/ttyUSB0");
  EXPECT_EQ(result.portNames.back(), "/dev/pts/253");
}
