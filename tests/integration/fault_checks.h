#pragma once
// What every fault case asks of the controller once the fault is over.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "loader/bitmap_command_file.h"
#include "support/eventually.h"
#include "support/intel_hex.h"
#include "support/sim_fixture.h"

namespace fault_checks {

using Clock = std::chrono::steady_clock;

using testing_support::Eventually;

inline double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A thread left spinning after a fault burns a whole core while everything should be idle; the
// simulator's own polling uses a small fraction of one.
inline bool NothingSpins(int ms = 400) {
  const double before = CpuSeconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  return CpuSeconds() - before < 0.6 * ms / 1000.0;
}

// Cable back in, port opened again: the next command on the healthy cart must succeed.
inline void ExpectUsableAgain(testing_support::SimFixture& fx) {
  EXPECT_FALSE(fx.controller.IsBusy());
  EXPECT_TRUE(NothingSpins());
  ASSERT_TRUE(fx.link.Replug());
  ASSERT_TRUE(fx.Connect()) << "the cart is not found again";
  EXPECT_EQ(fx.controller.GetStatus().value, "00");
}

inline int PatternByte(int address) { return (address * 7 + address / 256) & 0xFF; }

// An Intel HEX text of `size` bytes from address 0, 16 bytes per record, in a pattern that
// tells every byte's place.
inline std::string HexText(int size) {
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  for (int at = 0; at < size; ++at) {
    data[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(PatternByte(at));
  }
  return testing_support::HexFile(data);
}

inline std::uint8_t TitleByte(int index) { return static_cast<std::uint8_t>(index * 3 + 1); }

// The first `lines` lines of a display command file from address 256 with a recognisable title
// (each line takes a third of a second on the wire, so short files keep the cases quick).
inline std::string CommandFile(const testing_support::TempDir& dir, int lines) {
  molvane::TitleBitmap title;
  for (int i = 0; i < molvane::TitleBitmap::kSize; ++i) title.bytes[i] = TitleByte(i);
  const std::string text = molvane::FormatCommandFile(title, 256, 0);
  std::size_t end = 0;
  for (int i = 0; i < lines; ++i) end = text.find('\n', end) + 1;
  const std::string path = dir.File("title" + std::to_string(lines) + ".txt");
  testing_support::WriteFile(path, text.substr(0, end));
  return path;
}

}  // namespace fault_checks
