#pragma once
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace fuzzing {

// The cart's end of a pseudo-terminal; the host opens DevicePath() as its serial port. The far
// end keeps the device open itself, so the host may close and reopen it between inputs.
class FarEnd {
 public:
  FarEnd();
  ~FarEnd();
  FarEnd(const FarEnd&) = delete;
  FarEnd& operator=(const FarEnd&) = delete;

  const std::string& DevicePath() const { return devicePath; }
  void Write(std::string_view bytes);
  // Reads what the host has sent so far.
  std::string Take();

 private:
  int master = -1;
  int heldSlave = -1;
  std::string devicePath;
};

// A cart that answers every line the host ends with CR with the reply set last.
class ReplyingCart {
 public:
  ReplyingCart();
  ~ReplyingCart();
  const std::string& DevicePath() const { return end.DevicePath(); }
  void SetReply(std::string_view bytes);

 private:
  void Run(std::stop_token stop);
  FarEnd end;
  std::mutex mutex;
  std::string reply;
  std::jthread thread;
};

}  // namespace fuzzing
