#include "link/traffic_trace.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>

#include "base/local_time.h"
#include "base/regular_file.h"

namespace molvane {
namespace {
// Lines from the window, the scanner and a transfer worker must not interleave inside a line.
std::mutex traceMutex;
// The traces this run has begun (all ports name one file); guarded by traceMutex.
std::set<std::string>& BegunTraces() {
  static std::set<std::string> begun;
  return begun;
}

// The trace there so far becomes the kept one, replacing the one kept before. Only a regular
// file moves, and through this user's links only (base/regular_file.h).
void KeepTrace(const std::string& path) {
  std::string file;
  if (!FollowOwnLinks(path, file)) return;
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file, error))) return;
  std::filesystem::rename(file, TrafficTrace::KeptPath(file), error);
}
}  // namespace

std::string TrafficTrace::KeptPath(const std::string& path) {
  std::filesystem::path kept(path);
  const std::string extension = kept.extension().string();
  kept.replace_filename(kept.stem().string() + ".1" + extension);
  return kept.string();
}

std::string CurrentFolder() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  return error ? std::string(".") : folder.string();
}

TrafficTrace::TrafficTrace(const std::string& folder) { SetFolder(folder); }

void TrafficTrace::SetFolder(const std::string& folder) {
  path = folder.empty() ? std::string(kFileName) : folder + "/" + kFileName;
}

std::string TrafficTrace::TimeStamp() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  LocalTime(seconds, local);
  char text[32];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%s.%03u ", text, static_cast<unsigned>(millis));
  return stamp;
}

void TrafficTrace::Append(std::string_view line) {
  std::lock_guard lock(traceMutex);
  FileFault fault = FileFault::None;
  std::uintmax_t size = 0;
  FileHandle file = OpenAppendFile(path, fault, size);
  if (file && size >= kMaxBytes) {
    file.reset();
    KeepTrace(path);
    file = OpenAppendFile(path, fault, size);
  }
  // An unwritable trace, or a FIFO or a device in its place, never stops the port operation.
  if (!file) return;
  std::fwrite(mark.data(), 1, mark.size(), file.get());
  std::fwrite(line.data(), 1, line.size(), file.get());
}

void TrafficTrace::Opened(const std::string& portName, int baudRate, TraceStart start) {
  {
    std::lock_guard lock(traceMutex);
    mark = start == TraceStart::Append ? "[" + portName + "] " : std::string();
    if (BegunTraces().insert(path).second) KeepTrace(path);
  }
  Append("OPEN: " + portName + " @" + std::to_string(baudRate) + "\n");
}

void TrafficTrace::Unmark() {
  std::lock_guard lock(traceMutex);
  mark.clear();
}

void TrafficTrace::Transmitted(const std::uint8_t* data, int length) {
  std::string line = "TX: [len=" + std::to_string(length) + "], ";
  for (int i = 0; i < length && data[i] != 0; ++i) line += static_cast<char>(data[i]);
  line += ":";
  char entry[16];
  for (int i = 0; i < length; ++i) {
    std::snprintf(entry, sizeof entry, "%c [0x%02x] ", data[i], data[i]);
    line.append(entry, 1);  // the raw byte, NUL included
    line += entry + 1;
  }
  line += "\n";
  Append(line);
}

void TrafficTrace::Received(const std::uint8_t* data, int count) {
  std::string line = TimeStamp() + "Read: ";
  char entry[16];
  for (int i = 0; i < count; ++i) {
    std::snprintf(entry, sizeof entry, "0x%02x [", data[i]);
    line += entry;
    line += static_cast<char>(data[i]);
    line += "]";
  }
  line += "\n";
  Append(line);
}

void TrafficTrace::Reply(const std::string& text) { Append("RX: " + text + "\n"); }

void TrafficTrace::Log(const std::string& text) {
  // Callers keep their texts short; the line is cut to the size the trace always had.
  std::string line = TimeStamp() + "Log: " + text;
  if (line.size() > 511) line.resize(511);
  Append(line + "\n");
}

}  // namespace molvane
