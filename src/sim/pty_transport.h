#pragma once
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/sim_cart.h"

namespace cartsim {

// Whether `path` may become the link to a simulated cart's device: nothing is there, or a link of
// this user's to a pseudo-terminal, which an earlier cartsim left. Anything else (a file, a
// folder, another link) is never replaced.
bool IsFreeForLink(const std::string& path);

// Puts a SimCart at the far end of a pseudo-terminal. The host opens DevicePath() (or the link)
// like a serial port. With pacing, bytes cross at the speed of a 38400-baud 8N1 line in both
// directions, so benchmarks see what a real cable gives.
class PtyTransport {
 public:
  static constexpr std::chrono::microseconds kByteTime{260};  // 10 bits at 38400 baud

  struct Options {
    bool pace = false;
    // When set, a symbolic link to the device that follows re-plugs; made only where
    // IsFreeForLink allows.
    std::string linkPath;
  };

  PtyTransport(SimCart& cart, Options options);
  ~PtyTransport();
  PtyTransport(const PtyTransport&) = delete;
  PtyTransport& operator=(const PtyTransport&) = delete;

  bool Start();  // false when no pseudo-terminal could be made
  void Stop();
  const std::string& DevicePath() const { return devicePath; }
  // The cable is pulled: the host's reads fail from now on.
  void HangUp();
  // A new cable: a new pseudo-terminal (the link, if any, is pointed at it).
  bool Replug();
  bool IsConnected() const { return master.load() >= 0; }

 private:
  bool OpenPty();
  void ClosePty();
  void Run(std::stop_token stop);
  void Deliver(const char* bytes, int count);
  void SendToHost(std::string_view bytes);
  void StartBurst(std::chrono::steady_clock::time_point& slot);
  std::size_t DueBytes(std::chrono::steady_clock::time_point& slot, std::size_t most);
  void WaitForRequest();
  void ServeRequest();

  enum class Request { None, HangUp, Replug };
  std::atomic<Request> request{Request::None};

  SimCart& cart;
  Options options;
  std::mutex ptyMutex;
  std::atomic<int> master{-1};
  int heldSlave = -1;  // keeps the pty alive while the host has it closed
  // The device names of cables pulled out stay ours until the transport ends: a host that
  // still opens an old name finds it hung up, never another process's pseudo-terminal that
  // was given the freed number.
  std::vector<int> pulledSlaves;
  std::string devicePath;
  std::chrono::steady_clock::time_point inputSlot{};
  std::chrono::steady_clock::time_point outputSlot{};
  std::stop_token
      runStop;  // the link thread's own copy; `thread` is still being assigned when it starts
  std::jthread thread;
};

}  // namespace cartsim
