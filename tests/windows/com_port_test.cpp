// The serial port through Wine's COM driver. The test script maps a COM port of the prefix to
// a pseudo-terminal whose far end (pty_responder) sends back whatever script the test writes,
// and names that port in MOLVANE_TEST_COM.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "link/serial_port.h"
#include "support/temp_dir.h"

using molvane::OpenError;
using molvane::SerialPort;
using Status = molvane::PortIo::Status;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class MappedComPort : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* name = std::getenv("MOLVANE_TEST_COM");
    if (name == nullptr || *name == '\0') GTEST_SKIP() << "MOLVANE_TEST_COM names no mapped port";
    portName = name;
    ASSERT_TRUE(port.Open(portName)) << "could not open " << portName;
    Drain();
  }

  // Bytes a previous test left behind must not reach this one.
  void Drain() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    char byte = 0;
    while (port.BytesWaiting().bytes > 0 && port.Read(&byte, 1).bytes > 0) {
    }
  }

  // The far end sends back what the script says: \r, \n, ~N (pause N ms), ? (line settings).
  void Script(const std::string& script,
              molvane::TraceWrite traceWrite = molvane::TraceWrite::Yes) {
    const std::string line = script + "\n";
    ASSERT_EQ(port.Write(line.data(), static_cast<int>(line.size()), traceWrite).bytes,
              static_cast<int>(line.size()));
  }

  TempDir dir;
  SerialPort port{dir.Path()};
  std::string portName;
};

TEST_F(MappedComPort, LinesEndAtCrOrPromptAndDropLineFeeds) {
  Script("12345\\r");
  EXPECT_EQ(port.ReadLine().text, "12345");

  Script("status\\r\\n");
  EXPECT_EQ(port.ReadLine().text, "status");
  ASSERT_TRUE(port.WaitReadable(1000).Ok());
  EXPECT_EQ(port.BytesWaiting().bytes, 1) << "the line feed waits for the next reader";
  Drain();

  Script("ready>");
  EXPECT_EQ(port.ReadLine().text, "ready>");

  Script("\\nab\\n\\rcd\\r");
  EXPECT_EQ(port.ReadLine().text, "ab");
  EXPECT_EQ(port.ReadLine().text, "cd");
}

TEST_F(MappedComPort, SilenceAndAnUnfinishedLineTimeOut) {
  auto start = Clock::now();
  EXPECT_EQ(port.ReadLine().text, "Timeout");
  double waited = SecondsSince(start);
  EXPECT_GE(waited, 0.9);
  EXPECT_LT(waited, 10.0);

  Script("abc");
  start = Clock::now();
  EXPECT_EQ(port.ReadLine().text, "Timeout") << "letters before the silence are not a reply";
  waited = SecondsSince(start);
  EXPECT_GE(waited, 0.9);
  EXPECT_LT(waited, 10.0);
}

TEST_F(MappedComPort, BytesSpacedUnderASecondKeepTheLineAlive) {
  Script("a~900b~900c~900d\\r");
  const auto start = Clock::now();
  EXPECT_EQ(port.ReadLine().text, "abcd");
  EXPECT_GE(SecondsSince(start), 2.5);
}

TEST_F(MappedComPort, TheLineTakesTheCartSettings) {
  Script("?");
  EXPECT_EQ(port.ReadLine().text, "38400 8N1");
}

TEST_F(MappedComPort, TheTraceStartsWithTheComName) {
  const std::string trace = ReadFile(port.TracePath());
  EXPECT_EQ(trace.rfind("OPEN: " + portName + " @38400\n", 0), 0u) << trace;
}

TEST_F(MappedComPort, AMutedWriteIsSentButNotTraced) {
  Script("quiet\\r", molvane::TraceWrite::No);
  EXPECT_EQ(port.ReadLine().text, "quiet");
  const std::string trace = ReadFile(port.TracePath());
  EXPECT_EQ(trace.find("TX:"), std::string::npos) << trace;
  EXPECT_NE(trace.find("RX: quiet\n"), std::string::npos) << trace;
}

// Windows gives a COM port to one opener only; Wine lets a second one in, so there the test
// cannot tell anything and is skipped.
bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST_F(MappedComPort, APortIsNotShared) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine does not keep COM ports exclusive";
  TempDir otherDir;
  SerialPort other(otherDir.Path());
  EXPECT_FALSE(other.Open(portName));
  EXPECT_EQ(other.LastOpenError(), OpenError::Busy);
  port.Close();
  EXPECT_TRUE(other.Open(portName)) << "free again once closed";
}

TEST_F(MappedComPort, AClosedPortReadsNothingAndTimesOutAtOnce) {
  port.Close();
  EXPECT_EQ(port.BytesWaiting().status, Status::Failed);
  char byte = 0;
  EXPECT_EQ(port.Read(&byte, 1).status, Status::Failed);
  EXPECT_EQ(port.Write("x", 1).status, Status::Failed);
  const auto start = Clock::now();
  EXPECT_EQ(port.ReadLine().text, "Timeout");
  EXPECT_LT(SecondsSince(start), 0.5);
  const std::string trace = ReadFile(port.TracePath());
  EXPECT_NE(trace.find("RX: Timeout\n"), std::string::npos);
}

TEST(ComPortNames, PortsThatDoNotExistAreMissing) {
  TempDir dir;
  SerialPort port(dir.Path());
  EXPECT_FALSE(port.Open("COM250"));
  EXPECT_EQ(port.LastOpenError(), OpenError::Missing);
  EXPECT_FALSE(port.Open("/dev/ttyUSB0"));
  EXPECT_EQ(port.LastOpenError(), OpenError::Missing);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(ReadFile(port.TracePath()), "") << "a failed open traces nothing";
}

}  // namespace
