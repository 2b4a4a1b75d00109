#include "support/raw_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

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
  std::lock_guard use(useMutex);
  std::size_t sent = 0;
  while (master.load() >= 0 && sent < bytes.size()) {
    const ssize_t n = ::write(master.load(), bytes.data() + sent, bytes.size() - sent);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
}

std::string RawPty::ReadAvailable(int waitMs, int quietMs) {
  using Clock = std::chrono::steady_clock;
  constexpr int kSliceMs = 5;  // a hang-up from another thread waits at most this long
  std::string received;
  const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  auto quietEnd = deadline;
  for (;;) {
    const auto end = received.empty() ? deadline : std::min(deadline, quietEnd);
    const auto now = Clock::now();
    if (now >= end) break;
    const int left =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count());
    bool lineError = false;
    {
      std::lock_guard use(useMutex);
      if (master.load() < 0) break;
      pollfd entry{master.load(), POLLIN, 0};
      if (::poll(&entry, 1, std::min(left, kSliceMs)) <= 0) continue;
      if (entry.revents & POLLIN) {
        char buffer[4096];
        const ssize_t n = ::read(master.load(), buffer, sizeof buffer);
        if (n > 0) {
          received.append(buffer, static_cast<std::size_t>(n));
          quietEnd = Clock::now() + std::chrono::milliseconds(quietMs);
        }
      } else {
        lineError = true;
      }
    }
    if (lineError) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return received;
}

int RawPty::Unread() {
  std::lock_guard use(useMutex);
  int count = 0;
  if (heldSlave.load() < 0 || ::ioctl(heldSlave.load(), FIONREAD, &count) != 0) return 0;
  return count;
}

void RawPty::HangUp() {
  std::lock_guard use(useMutex);
  const int m = master.exchange(-1);
  const int s = heldSlave.exchange(-1);
  if (m >= 0) ::close(m);
  if (s >= 0) ::close(s);
}

ScriptedCart::ScriptedCart(Responder answer, bool checkRead)
    : checkAnswersRead(checkRead), responder(std::move(answer)) {
  thread = std::jthread([this](std::stop_token stop) { Run(stop); });
}

ScriptedCart::~ScriptedCart() {
  thread.request_stop();
  thread.join();
}

std::vector<std::string> ScriptedCart::UnreadAnswers() {
  std::lock_guard lock(mutex);
  return unreadAnswers;
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
    const std::string bytes = pty.ReadAvailable(queuedFor.empty() ? 20 : 2, 2);
    for (char byte : bytes) {
      std::string line;
      {
        std::lock_guard lock(mutex);
        raw += byte;
        if (byte == '\n') continue;
        if (byte != '\r') {
          pending += byte;
          continue;
        }
        line.swap(pending);
        lines.push_back(line);
      }
      TakeLine(line);
    }
    // Only after what has come in was looked at: a command that was already waiting when the
    // answer fell due came before the answer, however late this thread got to it.
    SendDueAnswer();
  }
}

void ScriptedCart::TakeLine(const std::string& line) {
  std::string answer;
  {
    std::lock_guard lock(mutex);
    if (responder) answer = responder(line);
    if (!queuedFor.empty()) unreadAnswers.push_back(queuedFor);
  }
  if (!checkAnswersRead) {
    pty.Write(answer);
    if (!answer.empty()) ++answersSent;
    return;
  }
  // A late answer still goes out, ahead of the new one, as a real cart's would.
  if (queuedFor.empty()) answerDue = Clock::now() + std::chrono::milliseconds(kAnswerDelayMs);
  queuedAnswer += answer;
  if (!answer.empty()) queuedFor = line;
}

void ScriptedCart::SendDueAnswer() {
  if (queuedFor.empty() || Clock::now() < answerDue) return;
  pty.Write(queuedAnswer);
  ++answersSent;
  queuedAnswer.clear();
  queuedFor.clear();
}

}  // namespace testing_support
