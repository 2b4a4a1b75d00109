// The host's reader of its own traffic trace, on a trace whose line ends were converted.
#include "link/trace_entries.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "link/traffic_trace.h"
#include "support/crlf_text.h"
#include "support/temp_dir.h"

namespace {

using Kind = molvane::TraceEntry::Kind;

TEST(TraceEntries, ATraceWhoseLineEndsBecameCrLfReadsAsTheSameBytes) {
  testing_support::TempDir dir;
  molvane::TrafficTrace trace(dir.Path());
  const auto sent = [&](const std::string& bytes) {
    trace.Transmitted(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                      static_cast<int>(bytes.size()));
  };
  const auto received = [&](const std::string& bytes) {
    trace.Received(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                   static_cast<int>(bytes.size()));
  };
  trace.Opened("/dev/ttyUSB0", 38400);
  sent("status\r\n");
  received("0a\r\n>");
  trace.Reply("0a");
  sent(std::string("a:\n\r\0b\n", 7));  // a colon, both line ends and a NUL inside one write
  received("\n");
  trace.Log("a note");
  const std::string original = testing_support::ReadFile(trace.Path());

  const std::vector<std::pair<Kind, std::string>> expected = {
      {Kind::Other, ""},
      {Kind::Sent, "status\r\n"},
      {Kind::Received, "0a\r\n>"},
      {Kind::Other, ""},
      {Kind::Sent, std::string("a:\n\r\0b\n", 7)},
      {Kind::Received, "\n"},
      {Kind::Other, ""}};
  for (const bool keepCrLf : {false, true}) {
    const std::string converted = testing_support::LineFeedsAsCrLf(original, keepCrLf);
    ASSERT_NE(converted, original);
    for (const std::string& text : {original, converted}) {
      const auto entries = molvane::SplitTraceEntries(text);
      std::vector<std::pair<Kind, std::string>> read;
      std::string joined;
      for (const auto& entry : entries) {
        read.emplace_back(entry.kind, entry.bytes);
        joined += entry.text;
      }
      EXPECT_EQ(read, expected) << "keepCrLf " << keepCrLf;
      EXPECT_EQ(joined, text);
    }
  }
}

}  // namespace
