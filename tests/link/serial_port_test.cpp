#include "link/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <regex>
#include <thread>

#include "link/port_holder.h"
#include "link/port_open_error.h"
#include "support/raw_pty.h"
#include "support/temp_dir.h"

using namespace std::chrono;
using Status = molvane::PortIo::Status;
using testing_support::RawPty;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

struct OpenPort : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ASSERT_TRUE(port.Open(pty.DevicePath()));
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
  EXPECT_EQ(port.ReadLine().text, "123");
  pty.Write("word\r\n");
  EXPECT_EQ(port.ReadLine().text, "word");
  EXPECT_EQ(port.BytesWaiting().bytes, 1) << "the LF after the CR stays for the next reader";
  std::uint8_t lf = 0;
  EXPECT_EQ(port.Read(&lf, 1).bytes, 1);
  EXPECT_EQ(lf, '\n');
  pty.Write("ready>");
  EXPECT_EQ(port.ReadLine().text, "ready>");
  pty.Write("\nab\nc\r");
  EXPECT_EQ(port.ReadLine().text, "abc");
}

TEST_F(OpenPort, SilenceGivesTimeoutAfterAboutOneSecond) {
  std::string line;
  const double seconds = SecondsFor([&] { line = port.ReadLine().text; });
  EXPECT_EQ(line, "Timeout");
  EXPECT_GT(seconds, 0.9);
  EXPECT_LT(seconds, 5.0);
}

TEST_F(OpenPort, PartialLineFollowedBySilenceIsDiscarded) {
  pty.Write("abc");
  EXPECT_EQ(port.ReadLine().text, "Timeout");
}

TEST_F(OpenPort, SlowBytesKeepTheLineAliveOnlyUntilTheDeadline) {
  std::thread cart([&] {
    for (const char* piece : {"a", "b", "c", "\r"}) {
      std::this_thread::sleep_for(milliseconds(900));
      pty.Write(piece);
    }
  });
  EXPECT_EQ(port.ReadLine(5000).text, "abc");
  cart.join();

  // A bootloader repeats 'U' without a line end: no silence ever ends that read.
  std::atomic<bool> announcing{true};
  std::thread bootloader([&] {
    while (announcing) {
      pty.Write("U");
      std::this_thread::sleep_for(milliseconds(150));
    }
  });
  molvane::PortIo line;
  const double seconds = SecondsFor([&] { line = port.ReadLine(1500); });
  announcing = false;
  bootloader.join();
  EXPECT_EQ(line.status, Status::TimedOut);
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
    for (int i = 0; i < 200; ++i) lines += port.ReadLine().text == "x";
  });
  EXPECT_EQ(lines, 200);
  EXPECT_LT(seconds, 2.0);
}

TEST_F(OpenPort, BinaryNoiseAndNulBytesAreKeptAsText) {
  pty.Write(std::string("a\0b\x01\xff", 5) + "\r");
  EXPECT_EQ(port.ReadLine().text, std::string("a\0b\x01\xff", 5));
}

TEST_F(OpenPort, OverlongLineIsCutAndEndlessStreamGivesUp) {
  // More than the terminal buffers: the cart writes while the host reads.
  std::thread cart([&] {
    pty.Write(std::string(5000, 'y') + "\r");
    pty.Write(std::string(molvane::SerialPort::kMaxLineBytes + 10, 'z'));
  });
  EXPECT_EQ(port.ReadLine().text, std::string(molvane::SerialPort::kMaxLineLength, 'y'));
  EXPECT_EQ(port.ReadLine().text, "Timeout");
  cart.join();
}

TEST_F(OpenPort, VanishedDeviceEndsReadsInsteadOfHanging) {
  pty.Write("par");
  std::this_thread::sleep_for(milliseconds(50));
  pty.HangUp();
  molvane::PortIo line;
  const double seconds = SecondsFor([&] { line = port.ReadLine(); });
  EXPECT_EQ(line.status, Status::Failed);
  EXPECT_EQ(line.text, "Timeout");
  EXPECT_LT(seconds, 2.0);
  // Whatever was still queued may be read, but the port must end up reporting the loss.
  for (int i = 0; i < 10 && port.BytesWaiting().bytes > 0; ++i) {
    std::uint8_t b;
    ASSERT_TRUE(port.Read(&b, 1));
  }
  EXPECT_EQ(port.BytesWaiting().status, Status::Failed);
}

TEST_F(OpenPort, SecondOpenerIsRefusedAsBusyAndFirstIsUndisturbed) {
  molvane::SerialPort other{dir.Path()};
  EXPECT_FALSE(other.Open(pty.DevicePath()));
  EXPECT_EQ(other.LastOpenError(), molvane::OpenError::Busy);
  EXPECT_FALSE(other.IsOpen());
  pty.Write("still here\r");
  EXPECT_EQ(port.ReadLine().text, "still here");
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
  const molvane::PortIo sent = port.Write("status\r\n", 8);
  EXPECT_TRUE(sent.Ok());
  EXPECT_EQ(sent.bytes, 8);
  EXPECT_EQ(pty.ReadAvailable(), "status\r\n");
  EXPECT_EQ(port.Write("Q", 1, molvane::TraceWrite::No).bytes, 1);
  EXPECT_EQ(pty.ReadAvailable(), "Q");
}

// Each wait is given far longer than the test runs and the cart stays silent: only the flag,
// raised by another thread, can end it as Interrupted. What came meanwhile is kept for the
// caller, and the trace has no reply line that a replay would take for the cart's answer.
TEST_F(OpenPort, AnInterruptRaisedMidWaitEndsTheWait) {
  struct Case {
    const char* name;
    std::string sent;  // by the cart before the wait
    std::function<molvane::PortIo(molvane::SerialPort&)> wait;
    int bytes;            // taken from the line before the flag came
    std::string unended;  // of them, what a line reader keeps
  };
  const Case cases[] = {
      {"ReadLine", "UUU", [](molvane::SerialPort& p) { return p.ReadLine(20000); }, 3, "UUU"},
      {"WaitReadable", "", [](molvane::SerialPort& p) { return p.WaitReadable(20000); }, 0, ""},
      {"DrainLeftover", "the rest of",
       [](molvane::SerialPort& p) { return p.DrainLeftover(20000, 30000); }, 11, ""},
  };
  // Long enough that no wait can have ended by itself before the flag.
  port.SetReadLineIdlePolls(2000);
  for (const Case& c : cases) {
    std::atomic<bool> stop{false};
    port.SetInterrupt(&stop);
    pty.Write(c.sent);
    // A drain finds what has arrived; nothing there yet would end it at once.
    for (int i = 0; i < 100 && port.BytesWaiting().bytes < static_cast<int>(c.sent.size()); ++i)
      std::this_thread::sleep_for(milliseconds(10));
    std::thread raiser([&] {
      std::this_thread::sleep_for(milliseconds(150));
      stop = true;
    });
    const molvane::PortIo io = c.wait(port);
    raiser.join();
    port.SetInterrupt(nullptr);
    EXPECT_EQ(io.status, Status::Interrupted) << c.name;
    EXPECT_EQ(io.bytes, c.bytes) << c.name;
    EXPECT_EQ(io.unended, c.unended) << c.name;
    EXPECT_EQ(io.text, "") << c.name << ": an interrupted line is no time-out";
  }
  const std::string trace = ReadFile(port.TracePath());
  EXPECT_EQ(trace.find("RX:"), std::string::npos) << trace;
  EXPECT_TRUE(std::regex_search(trace, std::regex(R"(\d\d\.\d\d\d Log: Line read interrupted\n)")))
      << trace;
}

// A raised flag ends every wait before it starts, and takes nothing from the line: once it is
// lowered, what the cart sent meanwhile is read as usual. Writes do not wait and still go.
TEST_F(OpenPort, WhileTheInterruptIsRaisedNoWaitStartsAndLoweringItRestoresTheLine) {
  std::atomic<bool> stop{true};
  port.SetInterrupt(&stop);
  pty.Write("ok\r");
  std::this_thread::sleep_for(milliseconds(50));
  EXPECT_EQ(port.ReadLine().status, Status::Interrupted);
  EXPECT_EQ(port.WaitReadable(20000).status, Status::Interrupted);
  EXPECT_EQ(port.Drain().status, Status::Interrupted);
  EXPECT_EQ(port.DrainLeftover().status, Status::Interrupted);
  EXPECT_TRUE(port.Write("x", 1));
  EXPECT_EQ(pty.ReadAvailable(), "x");
  stop = false;
  const molvane::PortIo line = port.ReadLine();
  EXPECT_EQ(line.status, Status::Ok);
  EXPECT_EQ(line.text, "ok");
  port.SetInterrupt(nullptr);
}

// Closed before use, or closed after an open: every call says the port failed, and only the
// line reader's give-up shows in the trace.
TEST(ClosedPort, ReportsFailedEverywhere) {
  TempDir dir;
  RawPty pty;
  ASSERT_TRUE(pty.Ok());
  molvane::SerialPort never{dir.Path()};
  molvane::SerialPort closed{dir.Path()};
  ASSERT_TRUE(closed.Open(pty.DevicePath()));
  closed.Close();
  testing_support::WriteFile(dir.File("comlog.txt"), "");
  for (molvane::SerialPort* port : {&never, &closed}) {
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(port->BytesWaiting().status, Status::Failed);
    const molvane::PortIo sent = port->Write("x", 1);
    EXPECT_EQ(sent.status, Status::Failed);
    EXPECT_EQ(sent.bytes, 0);
    std::uint8_t b;
    EXPECT_EQ(port->Read(&b, 1).status, Status::Failed);
    EXPECT_EQ(port->WaitReadable(5000).status, Status::Failed);
    EXPECT_EQ(port->Drain().status, Status::Failed);
    EXPECT_EQ(port->DrainLeftover().status, Status::Failed);
    const auto start = steady_clock::now();
    const molvane::PortIo line = port->ReadLine();
    EXPECT_EQ(line.status, Status::Failed);
    EXPECT_EQ(line.text, "Timeout");
    EXPECT_LT(duration<double>(steady_clock::now() - start).count(), 0.5);
  }
  EXPECT_EQ(ReadFile(dir.File("comlog.txt")), "RX: Timeout\nRX: Timeout\n")
      << "write and read on a closed port trace nothing";
}

// The settings of the last successful open are the port's; a failed open leaves them alone.
// The device takes them too: a pseudo-terminal's far end sees its line's speed and stop bits (it
// keeps 8 bits without parity whatever it is told).
TEST(LineSettings, OpenSetsTheLineAndKeepsItsSettings) {
  TempDir dir;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string device = ::ptsname(master);
  molvane::SerialPort port{dir.Path()};
  EXPECT_EQ(port.Settings(), molvane::LineSettings{}) << "before any open";

  molvane::LineSettings slow;
  slow.baudRate = 9600;
  slow.parity = molvane::LineSettings::kParityEven;
  slow.byteSize = 7;
  slow.stopBits = molvane::LineSettings::kTwoStopBits;
  ASSERT_TRUE(port.Open(device, slow));
  EXPECT_EQ(port.Settings(), slow);
  termios line{};
  ASSERT_EQ(::tcgetattr(master, &line), 0);
  EXPECT_EQ(::cfgetospeed(&line), B9600);
  EXPECT_EQ(line.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
  EXPECT_EQ(ReadFile(port.TracePath()), "OPEN: " + device + " @9600\n");
  port.Close();

  EXPECT_FALSE(port.Open(dir.File("no-such-tty"), molvane::LineSettings{}));
  EXPECT_EQ(port.Settings(), slow) << "a failed open changes nothing";

  ASSERT_TRUE(port.Open(device));
  EXPECT_EQ(port.Settings().baudRate, 38400);
  ASSERT_EQ(::tcgetattr(master, &line), 0);
  EXPECT_EQ(::cfgetospeed(&line), B38400);
  EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
  port.Close();
  ::close(master);
}

TEST(OpenFailure, MissingDeviceIsReportedAsMissing) {
  TempDir dir;
  molvane::SerialPort port{dir.Path()};
  EXPECT_FALSE(port.Open(dir.File("no-such-tty")));
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
  EXPECT_FALSE(port.Open(pty.DevicePath()));
  EXPECT_EQ(port.LastOpenError(), molvane::OpenError::Busy);
  const std::string text =
      molvane::DescribeOpenError(pty.DevicePath(), port.LastOpenError(), port.LastOpenErrorText());
  EXPECT_EQ(text.rfind(pty.DevicePath() + ": port is busy (another program has it open); held by "
                                          "sh (pid ",
                       0),
            0u)
      << text;
  ::pclose(holder);
  EXPECT_TRUE(port.Open(pty.DevicePath())) << port.LastOpenErrorText();
}

// /dev/null and plain files open and lock like a port, and many programs hold /dev/null.
TEST(OpenFailure, APathThatIsNoTerminalIsNoSerialPort) {
  TempDir dir;
  const std::string plain = dir.File("ttyPLAIN");
  testing_support::WriteFile(plain, "");
  for (const std::string& path : {std::string("/dev/null"), plain}) {
    molvane::SerialPort port{dir.Path()};
    EXPECT_FALSE(port.Open(path)) << path;
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
  ASSERT_TRUE(port.Open(pty.DevicePath()));
  port.Close();
  ASSERT_TRUE(port.Open(pty.DevicePath())) << port.LastOpenErrorText();
  molvane::SerialPort other{dir.Path()};
  EXPECT_FALSE(other.Open(pty.DevicePath())) << "still exclusive while open";
  port.Close();
  EXPECT_TRUE(other.Open(pty.DevicePath())) << other.LastOpenErrorText();
}

}  // namespace
