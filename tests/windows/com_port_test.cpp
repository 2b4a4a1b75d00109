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
    ASSERT_EQ(port.Open(portName, 38400, SerialPort::kParityNone, 8, SerialPort::kOneStopBit), 1)
        << "could not open " << portName;
    Drain();
  }

  // Bytes a previous test left behind must not reach this one.
  void Drain() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    char byte = 0;
    while (port.BytesWaiting() > 0) port.Read(&byte, 1);
  }

  // The far end sends back what the script says: \r, \n, ~N (pause N ms), ? (line settings).
  void Script(const std::string& script) {
    const std::string line = script + "\n";
    ASSERT_EQ(port.Write(line.data(), static_cast<int>(line.size())),
              static_cast<int>(line.size()));
  }

  TempDir dir;
  SerialPort port{dir.Path()};
  std::string portName;
};

TEST_F(MappedComPort, LinesEndAtCrOrPromptAndDropLineFeeds) {
  Script("12345\\r");
  EXPECT_EQ(port.ReadLine(), "12345");

  Script("status\\r\\n");
  EXPECT_EQ(port.ReadLine(), "status");
  ASSERT_TRUE(port.WaitReadable(1000));
  EXPECT_EQ(port.BytesWaiting(), 1) << "the line feed waits for the next reader";
  Drain();

  Script("ready>");
  EXPECT_EQ(port.ReadLine(), "ready>");

  Script("\\nab\\n\\rcd\\r");
  EXPECT_EQ(port.ReadLine(), "ab");
  EXPECT_EQ(port.ReadLine(), "cd");
}

TEST_F(MappedComPort, SilenceAndAnUnfinishedLineTimeOut) {
  auto start = Clock::now();
  EXPECT_EQ(port.ReadLine(), "Timeout");
  double waited = SecondsSince(start);
  EXPECT_GE(waited, 0.9);
  EXPECT_LT(waited, 10.0);

  Script("abc");
  start = Clock::now();
  EXPECT_EQ(port.ReadLine(), "Timeout") << "letters before the silence are not a reply";
  waited = SecondsSince(start);
  EXPECT_GE(waited, 0.9);
  EXPECT_LT(waited, 10.0);
}

TEST_F(MappedComPort, BytesSpacedUnderASecondKeepTheLineAlive) {
  Script("a~900b~900c~900d\\r");
  const auto start = Clock::now();
  EXPECT_EQ(port.ReadLine(), "abcd");
  EXPECT_GE(SecondsSince(start), 2.5);
}

TEST_F(MappedComPort, TheLineTakesTheCartSettings) {
  Script("?");
  EXPECT_EQ(port.ReadLine(), "38400 8N1");
}

TEST_F(MappedComPort, TheTraceStartsWithTheComName) {
  const std::string trace = ReadFile(port.TracePath());
  EXPECT_EQ(trace.rfind("OPEN: " + portName + " @38400\n", 0), 0u) << trace;
}

TEST_F(MappedComPort, AMutedWriteIsSentButNotTraced) {
  port.muteTxTrace = 1;
  Script("quiet\\r");
  port.muteTxTrace = 0;
  EXPECT_EQ(port.ReadLine(), "quiet");
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
  EXPECT_EQ(other.Open(portName, 38400, 0, 8, 0), 0);
  EXPECT_EQ(other.LastOpenError(), OpenError::Busy);
  port.Close();
  EXPECT_EQ(other.Open(portName, 38400, 0, 8, 0), 1) << "free again once closed";
}

TEST_F(MappedComPort, AClosedPortReadsNothingAndTimesOutAtOnce) {
  port.Close();
  EXPECT_EQ(port.BytesWaiting(), -1);
  char byte = 0;
  EXPECT_EQ(port.Read(&byte, 1), 0);
  EXPECT_EQ(port.Write("x", 1), 0);
  const auto start = Clock::now();
  EXPECT_EQ(port.ReadLine(), "Timeout");
  EXPECT_LT(SecondsSince(start), 0.5);
  const std::string trace = ReadFile(port.TracePath());
  EXPECT_NE(trace.find("RX: Timeout\n"), std::string::npos);
}

TEST(ComPortNames, PortsThatDoNotExistAreMissing) {
  TempDir dir;
  SerialPort port(dir.Path());
  EXPECT_EQ(port.Open("COM250", 38400, 0, 8, 0), 0);
  EXPECT_EQ(port.LastOpenError(), OpenError::Missing);
  EXPECT_EQ(port.Open("/dev/ttyUSB0", 38400, 0, 8, 0), 0);
  EXPECT_EQ(port.LastOpenError(), OpenError::Missing);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(ReadFile(port.TracePath()), "") << "a failed open traces nothing";
}

}  // namespace
