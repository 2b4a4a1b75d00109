// Low latency is asked of the FTDI driver alone, which sysfs names by the open device's numbers,
// whatever name the device was opened by.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "link/serial_low_latency.h"
#include "support/raw_pty.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(LowLatency, TheDriverIsNamedBySysfsFromTheDevicesNumbers) {
  testing_support::TempDir sysfs;
  testing_support::RawPty pty;
  ASSERT_TRUE(pty.Ok());
  const int fd = ::open(pty.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  struct stat info {};
  ASSERT_EQ(::fstat(fd, &info), 0);
  const std::string numbers =
      std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
  EXPECT_EQ(molvane::SerialDriverName(fd, sysfs.Path()), "");

  // As the kernel lays it out: the number links to the tty, whose device is the adapter's port,
  // whose driver is the FTDI one.
  const fs::path root(sysfs.Path());
  fs::create_directories(root / "bus/usb-serial/drivers/ftdi_sio");
  fs::create_directories(root / "devices/usb1/ttyUSB0/tty/ttyUSB0");
  fs::create_directories(root / "dev/char");
  fs::create_directory_symlink("../../../bus/usb-serial/drivers/ftdi_sio",
                               root / "devices/usb1/ttyUSB0/driver");
  fs::create_directory_symlink("../../../ttyUSB0",
                               root / "devices/usb1/ttyUSB0/tty/ttyUSB0/device");
  fs::create_directory_symlink("../../devices/usb1/ttyUSB0/tty/ttyUSB0",
                               root / "dev/char" / numbers);
  EXPECT_EQ(molvane::SerialDriverName(fd, sysfs.Path()), "ftdi_sio");

  // The real tree knows no driver for a pseudo-terminal, so nothing is asked of it.
  EXPECT_EQ(molvane::SerialDriverName(fd), "");
  EXPECT_FALSE(molvane::RequestLowLatency(fd));
  ::close(fd);
}

}  // namespace
