// The serial device on POSIX systems: termios raw mode, poll, exclusive access, and the FTDI
// driver's low latency for as long as the port is ours.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/port_holder.h"
#include "link/serial_low_latency.h"
#include "link/serial_port.h"

namespace molvane {
namespace {

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

speed_t SpeedFor(int baudRate) {
  switch (baudRate) {
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B38400;
  }
}

tcflag_t SizeFor(int byteSize) {
  switch (byteSize) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

OpenError ErrorFor(int code) {
  switch (code) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenError::Missing;
    case EBUSY:
    case EWOULDBLOCK:
      return OpenError::Busy;
    case EACCES:
    case EPERM:
      return OpenError::PermissionDenied;
    default:
      return OpenError::Other;
  }
}

// False, with the reason set and the descriptor closed, for a path that is no terminal and for
// a port that someone else has open.
bool Refused(int fd, OpenError reason, const std::string& why, OpenError& error,
             std::string& errorText) {
  error = reason;
  errorText = why;
  ::close(fd);
  return false;
}

bool ClaimPort(int fd, const std::string& portName, OpenError& error, std::string& errorText,
               std::string& unseenHolders) {
  // First: /dev/null and plain files open and lock as well as a port, and many hold /dev/null.
  if (::isatty(fd) == 0)
    return Refused(fd, OpenError::NotSerialPort, std::strerror(errno), error, errorText);
  // A program that takes neither the lock nor exclusive mode (a terminal program, a modem
  // prober) would read the cart's answers alongside us; only the process table tells of it.
  // Looked at before exclusive mode is set, which would outlive a refused descriptor. What the
  // system hid from the look is kept, to be said where the port is described.
  const PortHolderSearch search = SearchPortHolders(portName, "/proc", fd);
  if (!search.holders.empty())
    return Refused(fd, OpenError::Busy, "held by another program", error, errorText);
  unseenHolders = DescribeUnseenHolders(portName, search);
  // No sharing: a later opener, in this process or another, is refused as a busy port.
  // TIOCEXCL alone does not stop a privileged opener, the advisory lock does.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0)
    return Refused(fd, OpenError::Busy, std::strerror(errno), error, errorText);
  return true;
}

}  // namespace

std::intptr_t SerialPort::DeviceOpen(const std::string& portName, OpenError& error,
                                     std::string& errorText) {
  const int fd = ::open(portName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = ErrorFor(errno);
    errorText = std::strerror(errno);
    return kClosed;
  }
  if (!ClaimPort(fd, portName, error, errorText, unseenHolders)) return kClosed;
  error = OpenError::None;
  return fd;
}

void SerialPort::DeviceConfigure() {
  const int fd = Fd(handle);
  termios line{};
  if (::tcgetattr(fd, &line) != 0) return;  // not a terminal: nothing to set
  ::cfmakeraw(&line);
  const speed_t speed = SpeedFor(settings.baudRate);
  ::cfsetispeed(&line, speed);
  ::cfsetospeed(&line, speed);
  line.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  line.c_cflag |= SizeFor(settings.byteSize) | CLOCAL | CREAD;
  if (settings.parity == LineSettings::kParityOdd) line.c_cflag |= PARENB | PARODD;
  if (settings.parity == LineSettings::kParityEven) line.c_cflag |= PARENB;
  if (settings.stopBits == LineSettings::kTwoStopBits) line.c_cflag |= CSTOPB;
  line.c_iflag &= ~(IXON | IXOFF | IXANY);
  line.c_cc[VMIN] = 0;  // reads return at once with what has arrived
  line.c_cc[VTIME] = 0;
  ::tcsetattr(fd, TCSANOW, &line);
  lowLatencyToUndo = RequestLowLatency(fd);
  int off = (settings.dtr ? 0 : TIOCM_DTR) | (settings.rts ? 0 : TIOCM_RTS);
  int on = (settings.dtr ? TIOCM_DTR : 0) | (settings.rts ? TIOCM_RTS : 0);
  if (off != 0) ::ioctl(fd, TIOCMBIC, &off);
  if (on != 0) ::ioctl(fd, TIOCMBIS, &on);
}

// The exclusive flag belongs to the device, not to this descriptor: a device that stays open
// elsewhere (a pseudo-terminal whose far end lives on) would otherwise refuse every later
// opener without special rights, this program's own reopen included.
void SerialPort::DeviceClose(std::intptr_t device) {
  if (lowLatencyToUndo) UndoLowLatency(Fd(device));
  lowLatencyToUndo = false;
  ::ioctl(Fd(device), TIOCNXCL);
  ::close(Fd(device));
}

int SerialPort::DeviceWrite(const void* data, int length) {
  // Blocking in spirit: the device may take the bytes in pieces; a gone device ends the write.
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  int written = 0;
  while (written < length) {
    const ssize_t n = ::write(Fd(handle), bytes + written, static_cast<size_t>(length - written));
    if (n > 0) {
      written += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd entry{Fd(handle), POLLOUT, 0};
      if (::poll(&entry, 1, 1000) > 0 && !(entry.revents & (POLLERR | POLLHUP | POLLNVAL)))
        continue;
    }
    return 0;
  }
  return written;
}

int SerialPort::DeviceRead(void* buffer, int count) {
  const ssize_t n = ::read(Fd(handle), buffer, static_cast<size_t>(count));
  if (n < 0) return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
  return static_cast<int>(n);
}

int SerialPort::DeviceBytesWaiting() {
  const int fd = Fd(handle);
  int count = 0;
  if (::ioctl(fd, FIONREAD, &count) != 0) return -1;
  if (count > 0) return count;
  // Nothing waiting: tell a quiet line from a device that has gone (unplugged, simulator ended).
  pollfd entry{fd, POLLIN, 0};
  if (::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL))) return -1;
  return 0;
}

bool SerialPort::DeviceWaitReadable(int timeoutMs) {
  pollfd entry{Fd(handle), POLLIN, 0};
  const int ready = ::poll(&entry, 1, timeoutMs);
  return ready > 0;
}

}  // namespace molvane
