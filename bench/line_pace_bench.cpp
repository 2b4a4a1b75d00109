// Calibrates the rig: reads the simulated cart's 1024-event log dump with a bare reader that does
// nothing but take bytes, so that the time the simulator's own pacing needs on this machine can
// be told apart from the time the controller adds. Also counts the gaps between arriving bytes
// that are much longer than one byte time: those are the simulator's thread waking late.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "bench_report.h"
#include "bench_rig.h"

namespace {

constexpr int kEvents = 1024;
constexpr double kTarget = 1.05;
constexpr double kLateGapMs = 1.0;
constexpr int kIdleLimitMs = 2000;
constexpr const char kCommand[] = "log_dump\r\n";

struct RawRead {
  long bytes = 0;
  double elapsedMs = 0.0;
  int lateGaps = 0;
  double lateMs = 0.0;  // time lost in late gaps beyond one byte time
  bool sawPrompt = false;
};

int OpenRaw(const std::string& device) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  termios settings{};
  if (::tcgetattr(fd, &settings) == 0) {
    ::cfmakeraw(&settings);
    ::tcsetattr(fd, TCSANOW, &settings);
  }
  return fd;
}

void NoteGap(RawRead& r, bench::Clock::time_point& last, bench::Clock::time_point now, int count) {
  const double gap = std::chrono::duration<double, std::milli>(now - last).count();
  const double expected = bench::WireMs(count);
  if (gap - expected > kLateGapMs) {
    ++r.lateGaps;
    r.lateMs += gap - expected;
  }
  last = now;
}

RawRead ReadDump(int fd) {
  RawRead r;
  const bench::Clock::time_point start = bench::Clock::now();
  bench::Clock::time_point last = start;
  if (::write(fd, kCommand, sizeof kCommand - 1) != static_cast<ssize_t>(sizeof kCommand - 1)) {
    return r;
  }
  char buffer[256];
  while (!r.sawPrompt) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, kIdleLimitMs) <= 0) break;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    NoteGap(r, last, bench::Clock::now(), static_cast<int>(n));
    r.bytes += n;
    r.sawPrompt = std::string(buffer, static_cast<std::size_t>(n)).find('>') != std::string::npos;
  }
  r.elapsedMs = std::chrono::duration<double, std::milli>(bench::Clock::now() - start).count();
  return r;
}

void FillLog(cartsim::CartModel& cart) {
  const cartsim::CartSeconds now = cart.Clock().Now();
  for (int i = 0; i < kEvents; ++i) {
    cart.Events().Add({1000u + static_cast<std::uint32_t>(i) * 104729u, 1, now - (kEvents - i) * 3671});
  }
}

}  // namespace

int main() {
  const std::string name = "raw log dump (pacing)";
  cartsim::SimCart::Options options;
  options.cart.startEmpty = true;
  bench::BenchRig rig(options);
  if (!rig.started) return bench::ReportError(name, "no pseudo-terminal"), 0;
  const long answerBytes =
      rig.Sim([](cartsim::SimCart& s) { FillLog(s.Cart()); return static_cast<long>(s.Cart().Events().DumpLines().size()); });
  const int fd = OpenRaw(rig.link.DevicePath());
  if (fd < 0) return bench::ReportError(name, "cannot open " + rig.link.DevicePath()), 0;
  const RawRead r = ReadDump(fd);
  ::close(fd);
  if (!r.sawPrompt) bench::ReportError(name, "the dump did not end with the prompt");
  const long expected = answerBytes + 1;
  if (r.bytes != expected) {
    bench::ReportError(name, "read " + std::to_string(r.bytes) + " bytes, expected " +
                                 std::to_string(expected));
  }
  bench::Report({name, r.elapsedMs, bench::WireMs(static_cast<long>(sizeof kCommand - 1) + expected),
                 kTarget});
  std::printf("%-22s %d gaps over %.0f ms late, %.1f ms lost in them\n", name.c_str(),
              r.lateGaps, kLateGapMs, r.lateMs);
  return 0;
}
