// Calibrates the rig: reads the simulated cart's 1024-event log dump with a bare reader that does
// nothing but take bytes, so that the time the simulator's own pacing needs on this machine can
// be told apart from the time the controller adds. Also shows how far the bytes fell behind the
// line's schedule: time the simulator's thread lost waiting for the processor.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "bench_report.h"
#include "bench_rig.h"
#include "cart_fill.h"

namespace {

constexpr double kTarget = 1.05;
constexpr int kIdleLimitMs = 2000;
constexpr const char kCommand[] = "log_dump\r\n";

struct RawRead {
  long bytes = 0;
  double elapsedMs = 0.0;
  double mostBehindMs = 0.0;  // arrival behind the schedule of a line that never idles
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

void NoteArrival(RawRead& r, bench::Clock::time_point start) {
  const double sinceStart =
      std::chrono::duration<double, std::milli>(bench::Clock::now() - start).count();
  const double behind =
      sinceStart - bench::WireMs(static_cast<long>(sizeof kCommand - 1) + r.bytes);
  if (behind > r.mostBehindMs) r.mostBehindMs = behind;
}

RawRead ReadDump(int fd) {
  RawRead r;
  const bench::Clock::time_point start = bench::Clock::now();
  if (::write(fd, kCommand, sizeof kCommand - 1) != static_cast<ssize_t>(sizeof kCommand - 1)) {
    return r;
  }
  char buffer[256];
  while (!r.sawPrompt) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, kIdleLimitMs) <= 0) break;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    r.bytes += n;
    NoteArrival(r, start);
    r.sawPrompt = std::string(buffer, static_cast<std::size_t>(n)).find('>') != std::string::npos;
  }
  r.elapsedMs = std::chrono::duration<double, std::milli>(bench::Clock::now() - start).count();
  return r;
}

}  // namespace

int main() {
  const std::string name = "raw log dump (pacing)";
  cartsim::SimCart::Options options;
  options.cart.startEmpty = true;
  bench::BenchRig rig(options);
  if (!rig.started) {
    bench::ReportError(name, "no pseudo-terminal");
    return 0;
  }
  const long answerBytes = rig.Sim([](cartsim::SimCart& s) {
    bench::FillLog(s.Cart());
    return static_cast<long>(s.Cart().Events().DumpLines().size());
  });
  const int fd = OpenRaw(rig.link.DevicePath());
  if (fd < 0) {
    bench::ReportError(name, "cannot open " + rig.link.DevicePath());
    return 0;
  }
  const RawRead r = ReadDump(fd);
  ::close(fd);
  if (!r.sawPrompt) bench::ReportError(name, "the dump did not end with the prompt");
  const long expected = answerBytes + 1;
  if (r.bytes != expected) {
    bench::ReportError(
        name, "read " + std::to_string(r.bytes) + " bytes, expected " + std::to_string(expected));
  }
  bench::Report({name, r.elapsedMs,
                 bench::WireMs(static_cast<long>(sizeof kCommand - 1) + expected), kTarget});
  std::printf("%-22s at most %.1f ms behind the line's schedule\n", name.c_str(), r.mostBehindMs);
  return 0;
}
