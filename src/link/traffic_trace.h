#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace molvane {

// The plain-text trace of every byte that crosses the link (comlog.txt). Each line opens,
// appends and closes the file so that a crash loses nothing; an unwritable file is skipped.
class TrafficTrace {
 public:
  static constexpr const char* kFileName = "comlog.txt";

  explicit TrafficTrace(const std::string& folder);
  void SetFolder(const std::string& folder);
  const std::string& Path() const { return path; }

  void Opened(const std::string& portName, int baudRate);  // empties the file first
  void Transmitted(const std::uint8_t* data, int length);
  void Received(const std::uint8_t* data, int count);
  void Reply(const std::string& text);
  void Log(const std::string& text);

  // "HH:MM:SS.mmm " in local time.
  static std::string TimeStamp();

 private:
  void Append(std::string_view line, const char* mode = "ab");
  std::string path;
};

// The process's current folder, or "." when it cannot be read.
std::string CurrentFolder();

}  // namespace molvane
