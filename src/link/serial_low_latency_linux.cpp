#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <system_error>

#include "link/serial_low_latency.h"

namespace molvane {
namespace {

constexpr const char* kFtdiDriver = "ftdi_sio";

bool SetLowLatency(int fd, bool on) {
  serial_struct serial{};
  if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) return false;
  if (((serial.flags & ASYNC_LOW_LATENCY) != 0) == on) return false;
  serial.flags = on ? serial.flags | ASYNC_LOW_LATENCY : serial.flags & ~ASYNC_LOW_LATENCY;
  return ::ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

}  // namespace

// sysfs lists every character device by its numbers; the tty's "device" is the port the driver
// serves, whatever name the device node was opened by.
std::string SerialDriverName(int fd, const std::string& sysfsRoot) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return {};
  const std::string numbers =
      std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
  std::error_code error;
  const std::filesystem::path driver = std::filesystem::read_symlink(
      std::filesystem::path(sysfsRoot) / "dev" / "char" / numbers / "device" / "driver", error);
  return error ? std::string() : driver.filename().string();
}

bool RequestLowLatency(int fd) {
  return SerialDriverName(fd) == kFtdiDriver && SetLowLatency(fd, true);
}

void UndoLowLatency(int fd) { SetLowLatency(fd, false); }

}  // namespace molvane
