#include "fuzz_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "fuzz_support.h"

namespace fuzzing {

FarEnd::FarEnd() {
  master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  char name[256];
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
      ::ptsname_r(master, name, sizeof name) != 0) {
    Fail("no pseudo-terminal");
  }
  devicePath = name;
  heldSlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios settings{};
  if (heldSlave < 0 || ::tcgetattr(heldSlave, &settings) != 0) Fail("pseudo-terminal not usable");
  ::cfmakeraw(&settings);
  ::tcsetattr(heldSlave, TCSANOW, &settings);
}

FarEnd::~FarEnd() {
  ::close(heldSlave);
  ::close(master);
}

void FarEnd::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(master, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    pollfd entry{master, POLLOUT, 0};
    if (::poll(&entry, 1, 1000) <= 0) Fail("the host stopped taking bytes");
  }
}

std::string FarEnd::Take() {
  std::string bytes;
  char buffer[1024];
  for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
    bytes.append(buffer, static_cast<std::size_t>(n));
  return bytes;
}

ReplyingCart::ReplyingCart() : thread([this](std::stop_token stop) { Run(stop); }) {}

ReplyingCart::~ReplyingCart() {
  thread.request_stop();
  thread.join();
}

void ReplyingCart::SetReply(std::string_view bytes) {
  std::lock_guard lock(mutex);
  reply = bytes;
}

void ReplyingCart::Run(std::stop_token stop) {
  while (!stop.stop_requested()) {
    const std::string received = end.Take();
    if (received.find('\r') == std::string::npos) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    std::string answer;
    {
      std::lock_guard lock(mutex);
      answer = reply;
    }
    end.Write(answer);
  }
}

}  // namespace fuzzing
