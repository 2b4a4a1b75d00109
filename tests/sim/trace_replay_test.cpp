#include "sim/trace_replay.h"

#include <gtest/gtest.h>

#include <string>

#include "link/traffic_trace.h"
#include "support/crlf_text.h"
#include "support/temp_dir.h"

namespace {

using cartsim::TraceReplay;

// A trace written by the host's own trace writer: what was sent, and the cart's bytes after it.
std::string RecordedTrace(const testing_support::TempDir& dir) {
  molvane::TrafficTrace trace(dir.Path());
  const auto sent = [&](const std::string& line) {
    trace.Transmitted(reinterpret_cast<const std::uint8_t*>(line.data()),
                      static_cast<int>(line.size()));
  };
  const auto received = [&](const std::string& bytes) {
    trace.Received(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                   static_cast<int>(bytes.size()));
  };
  trace.Opened("/dev/ttyUSB0", 38400);
  sent("status\r\n");
  received("0\r\n");
  received(">");
  trace.Reply("0");
  sent("cart_name_get\r\n");
  received("\"Ward: 7 [A]\"\r\n>");  // colons, brackets and quotes inside the answer
  sent("status\r\n");
  received(std::string("\x80\r\n\0>", 5));  // a binary status and a NUL
  trace.Log("a note in between");
  sent(std::string("\x55\x00\x3a", 3));  // a write that is not a command line: no answer kept
  received("U");
  return testing_support::ReadFile(trace.Path());
}

TEST(TraceReplay, CommandsGetTheirRecordedAnswersInOrderThenTheLastAgain) {
  testing_support::TempDir dir;
  TraceReplay replay;
  replay.AddTrace(RecordedTrace(dir));
  EXPECT_EQ(replay.CommandWords(), 2u);
  EXPECT_EQ(replay.Answer("status"), "0\r\n>");
  EXPECT_EQ(replay.Answer("status"), std::string("\x80\r\n\0>", 5));
  EXPECT_EQ(replay.Answer("status"), std::string("\x80\r\n\0>", 5));
  EXPECT_EQ(replay.Answer("  cart_name_get"), "\"Ward: 7 [A]\"\r\n>");
  EXPECT_EQ(replay.Answer("pin_list_dump"), "unknown cmd\r\n>");
}

TEST(TraceReplay, ATraceWhoseLineEndsBecameCrLfPlaysTheSame) {
  testing_support::TempDir dir;
  const std::string original = RecordedTrace(dir);
  for (const bool keepCrLf : {false, true}) {
    TraceReplay replay;
    replay.AddTrace(testing_support::LineFeedsAsCrLf(original, keepCrLf));
    EXPECT_EQ(replay.CommandWords(), 2u);
    EXPECT_EQ(replay.Answer("status"), "0\r\n>");
    EXPECT_EQ(replay.Answer("status"), std::string("\x80\r\n\0>", 5));
    EXPECT_EQ(replay.Answer("cart_name_get"), "\"Ward: 7 [A]\"\r\n>");
  }
}

TEST(TraceReplay, DamagedTraceLinesArePassedOver) {
  TraceReplay replay;
  replay.AddTrace(
      "TX: [len=99999999999999], x\nTX: [len=3], ab:a [0x61] \n"
      "12:00:00.000 Read: 0xzz [x]\nOPEN: COM1 @38400\n");
  EXPECT_EQ(replay.CommandWords(), 0u);
}

}  // namespace
