#pragma once
// How a benchmark measures and reports: elapsed wall time against the least time the wire and
// the protocol's fixed pauses allow. Header only: every .cpp in this folder is a program.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/pty_transport.h"

namespace bench {

using Clock = std::chrono::steady_clock;

// One byte on a 38400-baud 8N1 line (start bit, eight data bits, stop bit).
inline double WireMs(long bytes) {
  const double byteMs =
      std::chrono::duration<double, std::milli>(cartsim::PtyTransport::kByteTime).count();
  return static_cast<double>(bytes) * byteMs;
}

template <class F>
double TimeMs(F&& f) {
  const Clock::time_point start = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

struct Measurement {
  std::string name;
  double elapsedMs = 0.0;
  double floorMs = 0.0;
  double target = 1.0;  // highest acceptable elapsed / floor
};

inline void Report(const Measurement& m) {
  const double ratio = m.floorMs > 0.0 ? m.elapsedMs / m.floorMs : 0.0;
  std::printf("%-22s elapsed %9.1f ms  floor %9.1f ms  ratio %5.3f  target %4.2f  %s\n",
              m.name.c_str(), m.elapsedMs, m.floorMs, ratio, m.target,
              ratio > 0.0 && ratio <= m.target ? "PASS" : "OVER");
  std::fflush(stdout);
}

inline void ReportError(const std::string& name, const std::string& what) {
  std::printf("%-22s error: %s\n", name.c_str(), what.c_str());
  std::fflush(stdout);
}

}  // namespace bench
