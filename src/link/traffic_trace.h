#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace molvane {

// How an opening meets the trace. The cart's port starts it afresh. A port opened while a cart
// is connected elsewhere (the scanner probing the other ports) adds to it instead, so that the
// cart's traffic, which a support report and a replay rely on, survives; each of that port's
// entries is marked with the port's name, so that readers tell it from the cart's.
enum class TraceStart { Fresh, Append };

// The plain-text trace of every byte that crosses the link (comlog.txt). Each line opens,
// appends and closes the file so that a crash loses nothing; an unwritable file is skipped.
class TrafficTrace {
 public:
  static constexpr const char* kFileName = "comlog.txt";

  explicit TrafficTrace(const std::string& folder);
  void SetFolder(const std::string& folder);
  const std::string& Path() const { return path; }

  // Fresh empties the file first; Append marks this port's entries from now on.
  void Opened(const std::string& portName, int baudRate, TraceStart start = TraceStart::Fresh);
  // The port now carries the cart's own traffic: its entries are no longer marked.
  void Unmark();
  void Transmitted(const std::uint8_t* data, int length);
  void Received(const std::uint8_t* data, int count);
  void Reply(const std::string& text);
  void Log(const std::string& text);

  // "HH:MM:SS.mmm " in local time.
  static std::string TimeStamp();

 private:
  void Append(std::string_view line, const char* mode = "ab");
  std::string path;
  std::string mark;  // "[port] " before each entry of a port opened beside the cart's
};

// The process's current folder, or "." when it cannot be read.
std::string CurrentFolder();

}  // namespace molvane
