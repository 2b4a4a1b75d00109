#include "link/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <regex>
#include <thread>

#include "link/port_holder.h"
#include "link/port_open_error.h"
#include "support/raw_pty.h"
#include "support/temp_dir.h"

using namespace std::chrono;
using testing_support::RawPty;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

struct OpenPort : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ASSERT_EQ(port.Open(pty.DevicePath(), 38400, 0, 8, 0), 1);
  }
  double SecondsFor(const std::function<void()>& work) {
    const auto start = steady_clock::now();
    work();
    return duration<double>(steady_clock::now() - start).count();
  }
  TempDir dir;
  RawPty pty;
  molvane::SerialPort port{dir.Path()};
};

TEST_F(OpenPort, LineEndsAtCarriageReturnOrPromptAndDropsLineFeeds) {
  pty.Write("123\r");
  EXPECT_EQ(port.ReadLine(), "123");
  pty.Write("word\r\n");
  EXPECT_EQ(port.ReadLine(), "word");
  EXPECT_EQ(port.BytesWaiting(), 1) << "the LF after the CR stays for the next reader";
  std::uint8_t lf = 0;
  EXPECT_EQ(port.Read(&lf, 1), 1);
  EXPECT_EQ(lf, '\n');
  pty.Write("ready>");
  EXPECT_EQ(port.ReadLine(), "ready>");
  pty.Write("\nab\nc\r");
  EXPECT_EQ(port.ReadLine(), "abc");
}

TEST_F(OpenPort, SilenceGivesTimeoutAfterAboutOneSecond) {
  std::string line;
  const double seconds = SecondsFor([&] { line = port.ReadLine(); });
  EXPECT_EQ(line, "Timeout");
  EXPECT_GT(seconds, 0.9);
  EXPECT_LT(seconds, 5.0);
}

TEST_F(OpenPort, PartialLineFollowedBySilenceIsDiscarded) {
  pty.Write("abc");
  EXPECT_EQ(port.ReadLine(), "Timeout");
}

TEST_F(OpenPort, SlowBytesKeepTheLineAliveOnlyUntilTheDeadline) {
  std::thread cart([&] {
    for (const char* piece : {"a", "b", "c", "\r"}) {
      std::this_thread::sleep_for(milliseconds(900));
      pty.Write(piece);
    }
  });
  EXPECT_EQ(port.ReadLine(5000), "abc");
  cart.join();

  // A bootloader repeats 'U' without a line end: no silence ever ends that read.
  std::atomic<bool> announcing{true};
  std::thread bootloader([&] {
    while (announcing) {
      pty.Write("U");
      std::this_thread::sleep_for(milliseconds(150));
    }
  });
  molvane::SerialPort::Line line;
  const double seconds = SecondsFor([&] { line = port.ReadLineWithin(1500); });
  announcing = false;
  bootloader.join();
  EXPECT_EQ(line.text, "Timeout");
  EXPECT_GE(line.unended.size(), 5u);
  EXPECT_EQ(line.unended.find_first_not_of('U'), std::string::npos) << line.unended;
  EXPECT_GT(seconds, 1.4);
  EXPECT_LT(seconds, 3.0);
}

TEST_F(OpenPort, ArrivingByteIsTakenWithoutWaitingOutThePoll) {
  // Many short lines must not each cost a blind 10 ms sleep.
  std::string all;
  for (int i = 0; i < 200; ++i) all += "x\r";
  pty.Write(all);
  int lines = 0;
  const double seconds = SecondsFor([&] {
    for (int i = 0; i < 200; ++i) lines += port.ReadLine() == "x";
  });
  EXPECT_EQ(lines, 200);
  EXPECT_LT(seconds, 2.0);
}

TEST_F(OpenPort, BinaryNoiseAndNulBytesAreKeptAsText) {
  pty.Write(std::string("a\0b\x01\xff", 5) + "\r");
  EXPECT_EQ(port.ReadLine(), std::string("a\0b\x01\xff", 5));
}

TEST_F(OpenPort, OverlongLineIsCutAndEndlessStreamGivesUp) {
  // More than the terminal buffers: the cart writes while the host reads.
  std::thread cart([&] {
    pty.Write(std::string(5000, 'y') + "\r");
    pty.Write(std::string(molvane::SerialPort::kMaxLineBytes + 10, 'z'));
  });
  EXPECT_EQ(port.ReadLine(), std::string(molvane::SerialPort::kMaxLineLength, 'y'));
  EXPECT_EQ(port.ReadLine(), "Timeout");
  cart.join();
}

TEST_F(OpenPort, VanishedDeviceEndsReadsInsteadOfHanging) {
  pty.Write("par");
  std::this_thread::sleep_for(milliseconds(50));
  pty.HangUp();
  std::string line;
  const double seconds = SecondsFor([&] { line = port.ReadLine(); });
  EXPECT_EQ(line, "Timeout");
  EXPECT_LT(seconds, 2.0);
  // Whatever was still queued may be read, but the port must end up reporting the loss.
  for (int i = 0; i < 10 && port.BytesWaiting() > 0; ++i) {
    std::uint8_t b;
    port.Read(&b, 1);
  }
  EXPECT_EQ(port.BytesWaiting(), -1);
}

TEST_F(OpenPort, SecondOpenerIsRefusedAsBusyAndFirstIsUndisturbed) {
  molvane::SerialPort other{dir.Path()};
  EXPECT_EQ(other.Open(pty.DevicePath(), 38400, 0, 8, 0), 0);
  EXPECT_EQ(other.LastOpenError(), molvane::OpenError::Busy);
  EXPECT_FALSE(other.IsOpen());
  pty.Write("still here\r");
  EXPECT_EQ(port.ReadLine(), "still here");
}

// The far end here, as the simulated cart, keeps the line open between openers, so the line's
// exclusive mode would outlive the port and refuse every later opener that is not root.
TEST_F(OpenPort, ClosingGivesUpExclusiveUse) {
  port.Close();
  const int fd = ::open(pty.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  int exclusive = -1;
  const int queried = ::ioctl(fd, TIOCGEXCL, &exclusive);
  ::close(fd);
  ASSERT_EQ(queried, 0);
  EXPECT_EQ(exclusive, 0);
}

TEST_F(OpenPort, WritesReachTheFarEnd) {
  EXPECT_EQ(port.Write("status\r\n", 8), 8);
  EXPECT_EQ(pty.ReadAvailable(), "status\r\n");
  port.muteTxTrace = 1;
  EXPECT_EQ(port.Write("Q", 1), 1);
  EXPECT_EQ(pty.ReadAvailable(), "Q");
}

TEST(ClosedPort, ReportsClosedEverywhere) {
  TempDir dir;
  molvane::SerialPort port{dir.Path()};
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.BytesWaiting(), -1);
  EXPECT_EQ(port.Write("x", 1), 0);
  std::uint8_t b;
  EXPECT_EQ(port.Read(&b, 1), 0);
  const auto start = steady_clock::now();
  EXPECT_EQ(port.ReadLine(), "Timeout");
  EXPECT_LT(duration<double>(steady_clock::now() - start).count(), 0.5);
  EXPECT_EQ(ReadFile(port.TracePath()), "RX: Timeout\n")
      << "write and read on a closed port trace nothing";
}

TEST(OpenFailure, MissingDeviceIsReportedAsMissing) {
  TempDir dir;
  molvane::SerialPort port{dir.Path()};
  EXPECT_EQ(port.Open(dir.File("no-such-tty"), 38400, 0, 8, 0), 0);
  EXPECT_EQ(port.LastOpenError(), molvane::OpenError::Missing);
  EXPECT_EQ(port.LastOpenErrorText(), "No such file or directory");
  EXPECT_EQ(ReadFile(port.TracePath()), "") << "a failed open traces nothing";
}

// A terminal program or a modem prober may hold the port without a lock or exclusive mode and
// would read the cart's answers alongside us: here a shell that opened it and waits. The far end
// of a pseudo-terminal (here the test, as the simulated cart) holds no port.
TEST(OpenFailure, HeldWithoutALockIsRefusedNamingTheHolder) {
  TempDir dir;
  RawPty pty;
  ASSERT_TRUE(pty.Ok());
  EXPECT_TRUE(molvane::FindPortHolders(pty.DevicePath()).empty());
  std::FILE* holder = ::popen(("exec 3<>" + pty.DevicePath() + "; read end").c_str(), "w");
  ASSERT_NE(holder, nullptr);
  for (int i = 0; i < 500 && molvane::FindPortHolders(pty.DevicePath()).empty(); ++i)
    std::this_thread::sleep_for(milliseconds(10));
  molvane::SerialPort port{dir.Path()};
  EXPECT_EQ(port.Open(pty.DevicePath(), 38400, 0, 8, 0), 0);
  EXPECT_EQ(port.LastOpenError(), molvane::OpenError::Busy);
  const std::string text =
      molvane::DescribeOpenError(pty.DevicePath(), port.LastOpenError(), port.LastOpenErrorText());
  EXPECT_EQ(text.rfind(pty.DevicePath() + ": port is busy (another program has it open); held by "
                                          "sh (pid ",
                       0),
            0u)
      << text;
  ::pclose(holder);
  EXPECT_EQ(port.Open(pty.DevicePath(), 38400, 0, 8, 0), 1) << port.LastOpenErrorText();
}

// /dev/null and plain files open and lock like a port, and many programs hold /dev/null.
TEST(OpenFailure, APathThatIsNoTerminalIsNoSerialPort) {
  TempDir dir;
  const std::string plain = dir.File("ttyPLAIN");
  testing_support::WriteFile(plain, "");
  for (const std::string& path : {std::string("/dev/null"), plain}) {
    molvane::SerialPort port{dir.Path()};
    EXPECT_EQ(port.Open(path, 38400, 0, 8, 0), 0) << path;
    EXPECT_EQ(port.LastOpenError(), molvane::OpenError::NotSerialPort) << path;
    EXPECT_EQ(molvane::DescribeOpenError(path, port.LastOpenError(), port.LastOpenErrorText()),
              path +
                  ": not a serial port (no terminal device: name the cart's port, such as "
                  "/dev/ttyUSB0)");
  }
  EXPECT_EQ(ReadFile(dir.File("comlog.txt")), "") << "a refused open traces nothing";
}

// Root may open a device that another opener holds exclusively, so this runs only as an ordinary
// user; CI runs it so (scripts/test-unprivileged.sh).
TEST(Reopen, AnOrdinaryUserOpensAPortAgainAfterClosingIt) {
  if (::geteuid() == 0) GTEST_SKIP() << "root is not refused an exclusive device; run as a user";
  TempDir dir;
  RawPty pty;  // keeps its own end open, as the simulator and a plugged-in adapter do
  ASSERT_TRUE(pty.Ok());
  molvane::SerialPort port{dir.Path()};
  ASSERT_EQ(port.Open(pty.DevicePath(), 38400, 0, 8, 0), 1);
  port.Close();
  ASSERT_EQ(port.Open(pty.DevicePath(), 38400, 0, 8, 0), 1) << port.LastOpenErrorText();
  molvane::SerialPort other{dir.Path()};
  EXPECT_EQ(other.Open(pty.DevicePath(), 38400, 0, 8, 0), 0) << "still exclusive while open";
  port.Close();
  EXPECT_EQ(other.Open(pty.DevicePath(), 38400, 0, 8, 0), 1) << other.LastOpenErrorText();
}

}  // namespace
