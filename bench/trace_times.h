#pragma once
// Times read back from a traffic trace, to split a benchmark's elapsed time into phases.
// Header only: every .cpp in this folder is a program.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

// Milliseconds since local midnight, the clock the trace stamps its lines with.
inline double LocalDayMs(std::chrono::system_clock::time_point when) {
  using namespace std::chrono;
  const std::time_t seconds = system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&seconds, &local);
  const double millis =
      static_cast<double>(duration_cast<milliseconds>(when.time_since_epoch()).count() % 1000);
  return ((local.tm_hour * 60.0 + local.tm_min) * 60.0 + local.tm_sec) * 1000.0 + millis;
}

// The stamp of every "Log:" line of the trace whose text starts with prefix, in file order.
inline std::vector<double> LogLineTimes(const std::string& tracePath, const std::string& prefix) {
  std::vector<double> times;
  std::ifstream in(tracePath, std::ios::binary);
  const std::string marker = " Log: " + prefix;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 12 || line.compare(12, marker.size(), marker) != 0) continue;
    int h = 0, m = 0, s = 0, ms = 0;
    if (std::sscanf(line.c_str(), "%d:%d:%d.%d", &h, &m, &s, &ms) != 4) continue;
    times.push_back(((h * 60.0 + m) * 60.0 + s) * 1000.0 + ms);
  }
  return times;
}

}  // namespace bench
