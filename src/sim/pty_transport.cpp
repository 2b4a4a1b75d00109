#include "sim/pty_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace cartsim {
namespace {
// How long the link thread sleeps when nothing arrives: short enough for the boards' timers
// (a bootloader announces itself every 150 ms), long enough not to load the machine.
constexpr int kIdlePollMs = 10;

// Where the system puts the devices of pseudo-terminals: what a link of ours points into.
constexpr std::string_view kPtyFolder = "/dev/pts/";

std::string LinkTarget(const std::string& path) {
  char target[256];
  const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
  return length > 0 && static_cast<std::size_t>(length) < sizeof target
             ? std::string(target, static_cast<std::size_t>(length))
             : std::string();
}
}  // namespace

bool IsFreeForLink(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  return S_ISLNK(info.st_mode) && info.st_uid == ::geteuid() &&
         LinkTarget(path).rfind(kPtyFolder, 0) == 0;
}

PtyTransport::PtyTransport(SimCart& simCart, Options transportOptions)
    : cart(simCart), options(std::move(transportOptions)) {}

PtyTransport::~PtyTransport() { Stop(); }

bool PtyTransport::OpenPty() {
  const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  char name[256];
  if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0) {
    ::close(fd);
    return false;
  }
  const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave >= 0) {
    termios settings{};
    if (::tcgetattr(slave, &settings) == 0) {
      ::cfmakeraw(&settings);  // no echo, no line editing before the host sets its own mode
      ::tcsetattr(slave, TCSANOW, &settings);
    }
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  {
    std::lock_guard lock(ptyMutex);
    heldSlave = slave;
    devicePath = name;
    master = fd;
  }
  // The link is moved to the new device in one step; a temporary of this process's own is
  // made for it, never one that is there already.
  if (!options.linkPath.empty() && IsFreeForLink(options.linkPath)) {
    const std::string temporary = options.linkPath + ".new-" + std::to_string(::getpid());
    if (::symlink(name, temporary.c_str()) == 0 &&
        ::rename(temporary.c_str(), options.linkPath.c_str()) != 0)
      ::unlink(temporary.c_str());
  }
  return true;
}

void PtyTransport::ClosePty() {
  std::lock_guard lock(ptyMutex);
  const int fd = master.exchange(-1);
  if (fd >= 0) ::close(fd);
  if (heldSlave >= 0) pulledSlaves.push_back(heldSlave);
  heldSlave = -1;
}

bool PtyTransport::Start() {
  if (!OpenPty()) return false;
  thread = std::jthread([this](std::stop_token stop) { Run(stop); });
  return true;
}

void PtyTransport::Stop() {
  if (thread.joinable()) {
    thread.request_stop();
    thread.join();
  }
  ClosePty();
  for (const int slave : pulledSlaves) ::close(slave);
  pulledSlaves.clear();
  // Only while it still leads to our device: another cartsim may have taken the name since.
  if (!options.linkPath.empty() && LinkTarget(options.linkPath) == devicePath)
    ::unlink(options.linkPath.c_str());
}

// The link thread owns the descriptors while it runs, so requests are handed to it rather than
// closing a descriptor under its feet.
void PtyTransport::HangUp() {
  if (!thread.joinable()) return ClosePty();
  request = Request::HangUp;
  WaitForRequest();
}

bool PtyTransport::Replug() {
  if (!thread.joinable()) {
    ClosePty();
    cart.ClearHangUp();
    return OpenPty();
  }
  request = Request::Replug;
  WaitForRequest();
  return master.load() >= 0;
}

void PtyTransport::WaitForRequest() {
  for (int i = 0; i < 500 && request.load() != Request::None; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void PtyTransport::ServeRequest() {
  const Request pendingRequest = request.load();
  if (pendingRequest == Request::None) return;
  ClosePty();
  if (pendingRequest == Request::Replug) {
    cart.ClearHangUp();
    OpenPty();
  }
  request = Request::None;
}

// A burst starts when the line has been idle; within it the byte schedule is kept, so a thread
// that wakes late catches up instead of stretching the line.
void PtyTransport::StartBurst(std::chrono::steady_clock::time_point& slot) {
  const auto now = std::chrono::steady_clock::now();
  if (slot < now) slot = now;
}

// Waits for the next byte's slot and says how many bytes (at most `most`) are due by now, the
// way a UART drains its buffer, and moves the schedule past them.
std::size_t PtyTransport::DueBytes(std::chrono::steady_clock::time_point& slot, std::size_t most) {
  auto now = std::chrono::steady_clock::now();
  if (slot > now) {
    std::this_thread::sleep_until(slot);
    now = slot;
  }
  const auto late = static_cast<std::size_t>((now - slot) / kByteTime);
  const std::size_t due = std::min(most, late + 1);
  slot += kByteTime * static_cast<long>(due);
  return due;
}

void PtyTransport::SendToHost(std::string_view bytes) {
  if (options.pace) StartBurst(outputSlot);
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int fd = master.load();
    if (fd < 0) return;
    const std::size_t left = bytes.size() - sent;
    const std::size_t chunk = options.pace ? DueBytes(outputSlot, left) : left;
    const ssize_t n = ::write(fd, bytes.data() + sent, chunk);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      // The host is not reading; wait for room rather than drop what the cart said. A pulled
      // cable or a stopping simulator ends the wait: nobody will read those bytes any more.
      if (request.load() != Request::None || runStop.stop_requested()) return;
      pollfd entry{fd, POLLOUT, 0};
      ::poll(&entry, 1, 50);
      continue;
    }
    return;
  }
}

void PtyTransport::Deliver(const char* bytes, int count) {
  const Send send = [this](std::string_view answer) { SendToHost(answer); };
  if (options.pace) StartBurst(inputSlot);
  for (int i = 0; i < count; ++i) {
    if (options.pace) DueBytes(inputSlot, 1);
    cart.Receive(std::string_view(bytes + i, 1), send);
  }
}

void PtyTransport::Run(std::stop_token stop) {
  runStop = stop;  // for SendToHost, which runs only on this thread
  const Send send = [this](std::string_view answer) { SendToHost(answer); };
  char buffer[4096];
  while (!stop.stop_requested()) {
    ServeRequest();
    const int fd = master.load();
    if (fd < 0) {  // unplugged: wait to be plugged back in
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    pollfd entry{fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, kIdlePollMs);
    if (ready > 0 && (entry.revents & POLLIN)) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) Deliver(buffer, static_cast<int>(n));
    } else if (ready > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the host has no open end now
    }
    cart.Tick(std::chrono::steady_clock::now(), send);
    if (cart.WantsHangUp()) ClosePty();
  }
}

}  // namespace cartsim
