#include "support/raw_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace testing_support {

RawPty::RawPty() {
  const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  char name[256];
  if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0) {
    ::close(fd);
    return;
  }
  master = fd;
  devicePath = name;
  heldSlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios settings{};
  if (heldSlave >= 0 && ::tcgetattr(heldSlave, &settings) == 0) {
    ::cfmakeraw(&settings);
    ::tcsetattr(heldSlave, TCSANOW, &settings);
  }
}

RawPty::~RawPty() { HangUp(); }

void RawPty::Write(const std::string& bytes) {
  std::size_t sent = 0;
  while (master.load() >= 0 && sent < bytes.size()) {
    const ssize_t n = ::write(master.load(), bytes.data() + sent, bytes.size() - sent);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
}

std::string RawPty::ReadAvailable(int waitMs, int quietMs) {
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (master.load() >= 0) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) break;
    const int left = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count());
    pollfd entry{master.load(), POLLIN, 0};
    const int ready = ::poll(&entry, 1, received.empty() ? left : std::min(left, quietMs));
    if (ready <= 0) {
      if (!received.empty()) break;
      continue;
    }
    if (!(entry.revents & POLLIN)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    char buffer[4096];
    const ssize_t n = ::read(master.load(), buffer, sizeof buffer);
    if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
  }
  return received;
}

void RawPty::HangUp() {
  const int m = master.exchange(-1);
  const int s = heldSlave.exchange(-1);
  if (m >= 0) ::close(m);
  if (s >= 0) ::close(s);
}

ScriptedCart::ScriptedCart(Responder answer) : responder(std::move(answer)) {
  thread = std::jthread([this](std::stop_token stop) { Run(stop); });
}

ScriptedCart::~ScriptedCart() {
  thread.request_stop();
  thread.join();
}

std::vector<std::string> ScriptedCart::Lines() {
  std::lock_guard lock(mutex);
  return lines;
}

std::string ScriptedCart::RawBytes() {
  std::lock_guard lock(mutex);
  return raw;
}

void ScriptedCart::SetResponder(Responder answer) {
  std::lock_guard lock(mutex);
  responder = std::move(answer);
}

void ScriptedCart::Run(std::stop_token stop) {
  while (!stop.stop_requested()) {
    if (!pty.Ok()) {  // hung up by the test: nothing more will come
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    const std::string bytes = pty.ReadAvailable(20, 2);
    for (char byte : bytes) {
      std::string answer;
      {
        std::lock_guard lock(mutex);
        raw += byte;
        if (byte == '\n') continue;
        if (byte != '\r') { pending += byte; continue; }
        lines.push_back(pending);
        if (responder) answer = responder(pending);
        pending.clear();
      }
      pty.Write(answer);
    }
  }
}

}  // namespace testing_support
