#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace molvane {

// How an opening meets the trace. Fresh: the port carries the trace's own traffic. A port
// opened while a cart is connected elsewhere (the scanner probing the other ports) is Append:
// each of its entries is marked with the port's name, so that readers tell it from the cart's.
enum class TraceStart { Fresh, Append };

// The plain-text trace of every byte that crosses the link (comlog.txt). Each line opens,
// appends and closes the file so that a crash loses nothing; an unwritable file, or a FIFO or a
// device in its place, is skipped. The first port this run opens begins a new trace, and the
// one before is kept as comlog.1.txt; later openings (a reconnect, the scanner's probes, a
// firmware update's reopen) add to it, so that the exchange that explains a failure is still
// there afterwards. A trace that reaches kMaxBytes becomes comlog.1.txt in turn and a new one
// begins, so that a window left open does not fill the disk.
class TrafficTrace {
 public:
  static constexpr const char* kFileName = "comlog.txt";
  static constexpr std::uintmax_t kMaxBytes = 10 * 1024 * 1024;

  explicit TrafficTrace(const std::string& folder);
  void SetFolder(const std::string& folder);
  const std::string& Path() const { return path; }
  // Where the trace before the one at `path` is kept: comlog.txt -> comlog.1.txt, beside it.
  static std::string KeptPath(const std::string& path);

  // Append marks this port's entries from now on.
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
  void Append(std::string_view line);
  std::string path;
  std::string mark;  // "[port] " before each entry of a port opened beside the cart's
};

// The process's current folder, or "." when it cannot be read.
std::string CurrentFolder();

}  // namespace molvane
