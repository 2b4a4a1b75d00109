#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// The far end of a pseudo-terminal, scripted byte by byte by a test.
class RawPty {
 public:
  RawPty();
  ~RawPty();
  RawPty(const RawPty&) = delete;
  RawPty& operator=(const RawPty&) = delete;

  bool Ok() const { return master >= 0; }
  const std::string& DevicePath() const { return devicePath; }
  void Write(const std::string& bytes);
  // Everything the host has sent within the wait (returns early once something came and the
  // line has been quiet for quietMs).
  std::string ReadAvailable(int waitMs = 200, int quietMs = 30);
  void HangUp();  // closes the far end: the host sees the device vanish

 private:
  std::atomic<int> master{-1};
  std::atomic<int> heldSlave{-1};
  std::string devicePath;
};

// A minimal cart for wire-level tests of host operations: each CR-terminated line the host sends
// is recorded and answered by the test's function.
class ScriptedCart {
 public:
  using Responder = std::function<std::string(const std::string& line)>;
  explicit ScriptedCart(Responder responder);
  ~ScriptedCart();

  const std::string& DevicePath() const { return pty.DevicePath(); }
  std::vector<std::string> Lines();  // lines received so far (CR removed, LF dropped)
  std::string RawBytes();            // every byte received
  void SetResponder(Responder responder);
  RawPty& Pty() { return pty; }

 private:
  void Run(std::stop_token stop);
  RawPty pty;
  std::mutex mutex;
  Responder responder;
  std::vector<std::string> lines;
  std::string raw;
  std::string pending;
  std::jthread thread;
};

}  // namespace testing_support
