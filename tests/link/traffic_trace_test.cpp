#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "link/serial_port.h"
#include "support/raw_pty.h"
#include "support/temp_dir.h"

using testing_support::RawPty;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

TEST(TrafficTrace, RecordsOpenWriteReadReplyAndLogLinesExactly) {
  TempDir dir;
  RawPty pty;
  molvane::SerialPort port{dir.Path()};
  ASSERT_TRUE(port.Open(pty.DevicePath()));
  ASSERT_TRUE(port.Write("ab", 2));
  pty.Write("7\r");
  EXPECT_EQ(port.ReadLine().text, "7");
  port.TraceLog("Got a '%c';", 'U');

  const auto lines = Lines(ReadFile(port.TracePath()));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "OPEN: " + pty.DevicePath() + " @38400");
  EXPECT_EQ(lines[1], "TX: [len=2], ab:a [0x61] b [0x62] ");
  const std::regex stamp(R"(\d\d:\d\d:\d\d\.\d\d\d )");
  EXPECT_TRUE(
      std::regex_search(lines[2], std::regex(R"(^\d\d:\d\d:\d\d\.\d\d\d Read: 0x37 \[7\]$)")));
  EXPECT_TRUE(std::regex_search(lines[3], std::regex(R"(^\d\d:\d\d:\d\d\.\d\d\d Read: 0x0d \[)")));
  EXPECT_EQ(lines[4], "RX: 7");
  EXPECT_TRUE(std::regex_match(lines[5], std::regex(R"(\d\d:\d\d:\d\d\.\d\d\d Log: Got a 'U';)")));
}

TEST(TrafficTrace, CommandLineEndSplitsTheTxLineAndMuteKeepsBytesOut) {
  TempDir dir;
  RawPty pty;
  molvane::SerialPort port{dir.Path()};
  ASSERT_TRUE(port.Open(pty.DevicePath()));
  ASSERT_TRUE(port.Write("s\r\n", 3));
  ASSERT_TRUE(port.Write("secret", 6, molvane::TraceWrite::No));
  EXPECT_EQ(ReadFile(port.TracePath()), "OPEN: " + pty.DevicePath() + " @38400\n" +
                                            "TX: [len=3], s\r\n:s [0x73] \r [0x0d] \n [0x0a] \n");
}

// The trace a failure left is evidence: the next run keeps it as comlog.1.txt, and a reopen in
// the same run adds to the trace instead of wiping it.
TEST(TrafficTrace, ANewRunKeepsThePreviousTraceAndAReopenAdds) {
  TempDir dir;
  testing_support::WriteFile(dir.File("comlog.txt"), "RX: the last run's failure\n");
  RawPty first, second;
  molvane::SerialPort a{dir.Path()}, b{dir.Path()};
  ASSERT_TRUE(a.Open(first.DevicePath()));
  ASSERT_TRUE(a.Write("x", 1));
  a.Close();
  ASSERT_TRUE(b.Open(second.DevicePath()));
  EXPECT_EQ(ReadFile(dir.File("comlog.1.txt")), "RX: the last run's failure\n");
  EXPECT_EQ(ReadFile(a.TracePath()), "OPEN: " + first.DevicePath() + " @38400\n" +
                                         "TX: [len=1], x:x [0x78] \n" +
                                         "OPEN: " + second.DevicePath() + " @38400\n");
}

// A window left open does not fill the disk: past 10 MB the trace moves aside, whole.
TEST(TrafficTrace, ATraceThatReachesTenMegabytesMovesAsideAndANewOneBegins) {
  TempDir dir;
  RawPty pty;
  molvane::SerialPort port{dir.Path()};
  ASSERT_TRUE(port.Open(pty.DevicePath()));
  ASSERT_TRUE(port.Write("a", 1));
  std::filesystem::resize_file(port.TracePath(), 10 * 1024 * 1024 - 1);
  ASSERT_TRUE(port.Write("b", 1));  // the last line of the full trace
  ASSERT_TRUE(port.Write("c", 1));
  EXPECT_EQ(ReadFile(port.TracePath()), "TX: [len=1], c:c [0x63] \n");
  const std::string full = ReadFile(dir.File("comlog.1.txt"));
  EXPECT_EQ(full.size(), 10u * 1024 * 1024 - 1 + 25);
  EXPECT_EQ(full.substr(full.size() - 25), "TX: [len=1], b:b [0x62] \n");
}

// A FIFO in the trace's place would hold every port operation until someone read it.
TEST(TrafficTrace, AFifoInTheTracesPlaceIsSkipped) {
  TempDir dir;
  RawPty pty;
  const std::string fifo = dir.File("comlog.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  molvane::SerialPort port{dir.Path()};
  ASSERT_TRUE(port.Open(pty.DevicePath()));
  EXPECT_EQ(port.Write("ok\r\n", 4).bytes, 4);
  pty.Write("fine\r");
  EXPECT_EQ(port.ReadLine().text, "fine");
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_FALSE(std::filesystem::exists(dir.File("comlog.1.txt")));
}

// A port probed while the cart is connected must not wipe the cart's traffic: its entries are
// added, marked with its name, until it turns out to be the cart's.
TEST(TrafficTrace, APortOpenedBesideTheCartsAddsMarkedEntries) {
  TempDir dir;
  RawPty first, second;
  molvane::SerialPort cart{dir.Path()}, probed{dir.Path()};
  ASSERT_TRUE(cart.Open(first.DevicePath()));
  ASSERT_TRUE(cart.Write("x", 1));
  ASSERT_TRUE(probed.Open(second.DevicePath(), {}, molvane::TraceStart::Append));
  ASSERT_TRUE(probed.Write("s\r\n", 3));
  ASSERT_TRUE(cart.Write("y", 1));
  probed.UnmarkTrace();
  ASSERT_TRUE(probed.Write("z", 1));
  const std::string mark = "[" + second.DevicePath() + "] ";
  EXPECT_EQ(ReadFile(cart.TracePath()),
            "OPEN: " + first.DevicePath() + " @38400\n" + "TX: [len=1], x:x [0x78] \n" + mark +
                "OPEN: " + second.DevicePath() + " @38400\n" + mark +
                "TX: [len=3], s\r\n:s [0x73] \r [0x0d] \n [0x0a] \n" +
                "TX: [len=1], y:y [0x79] \n" + "TX: [len=1], z:z [0x7a] \n");
}

TEST(TrafficTrace, UnwritableTraceDoesNotStopThePort) {
  RawPty pty;
  molvane::SerialPort port{"/nonexistent-folder/for/trace"};
  ASSERT_TRUE(port.Open(pty.DevicePath()));
  EXPECT_EQ(port.Write("ok\r\n", 4).bytes, 4);
  pty.Write("fine\r");
  EXPECT_EQ(port.ReadLine().text, "fine");
}

TEST(TrafficTrace, OverlongLogLineIsCut) {
  TempDir dir;
  molvane::SerialPort port{dir.Path()};
  port.TraceLog("%s", std::string(2000, 'L').c_str());
  const std::string trace = ReadFile(port.TracePath());
  EXPECT_EQ(trace.size(), 512u);
  EXPECT_EQ(trace.back(), '\n');
}

}  // namespace
