#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "link/traffic_trace.h"

#if defined(__GNUC__)
#define MOLVANE_PRINTF_FORMAT(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define MOLVANE_PRINTF_FORMAT(fmt, first)
#endif

namespace molvane {

// Why the last Open failed, so that a technician is told what to fix. NotSerialPort: the path
// names something that is no terminal device (/dev/null, a plain file).
enum class OpenError { None, Missing, Busy, PermissionDenied, NotSerialPort, Other };

// One serial port to the cart with fixed line settings and the traffic trace. A port is named by
// text: "COM7" on Windows, "/dev/ttyUSB0" on Linux. Reads never block; ReadLine waits on the
// device in bounded steps. Not locked: the controller's rules keep threads apart.
class SerialPort {
 public:
  static constexpr int kParityNone = 0;
  static constexpr int kOneStopBit = 0;
  // A reply line keeps at most this many characters; the rest of an overlong line is dropped.
  static constexpr std::size_t kMaxLineLength = 1024;
  // A line that has not ended after this many bytes is given up as "Timeout": a cart that
  // streams without a line end is not answering.
  static constexpr int kMaxLineBytes = 16384;
  // Far more than a cart, a bootloader or the display leaves over from one answer; a device that
  // streams for ever stops a drain here.
  static constexpr int kDrainLimit = 65536;
  // A leftover that does not end at the prompt is waited out until the line has been quiet this
  // long: the rest of a long answer is still coming. Far longer than the gaps inside one answer.
  static constexpr int kDrainQuietMs = 50;
  // However the bytes come, waiting out a leftover ends after this long.
  static constexpr int kDrainBoundMs = 2000;
  // However the bytes come, one line read ends after this long: a device that keeps sending
  // without a line end (a bootloader repeating 'U') would otherwise hold the reader for ever.
  static constexpr int kLineDeadlineMs = 3000;

  // One line as ReadLine returns it and, when it did not end, what came meanwhile (CR and LF
  // left out, at most kMaxLineLength bytes): the caller can tell what kept talking.
  struct Line {
    std::string text;
    std::string unended;
    bool timedOut = false;  // the reader gave up; `text` then reads "Timeout"
  };

  // The trace lives in the folder that is current now (or the one given).
  SerialPort();
  explicit SerialPort(const std::string& traceFolder);
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  int Open(const std::string& portName, int baudRate, int parity, int byteSize, int stopBits,
           TraceStart traceStart = TraceStart::Fresh);
  void Close();
  bool IsOpen() const { return handle.load() != kClosed; }
  int Write(const void* data, int length);
  int Read(void* buffer, int count);
  // Ends at CR or '>', or as "Timeout" after about a second of silence or at the deadline.
  Line ReadLineWithin(int deadlineMs);
  std::string ReadLine(int deadlineMs = kLineDeadlineMs) { return ReadLineWithin(deadlineMs).text; }
  int BytesWaiting();
  void TraceLog(const char* format, ...) MOLVANE_PRINTF_FORMAT(2, 3);

  // Waits up to timeoutMs for a received byte; true when one is there. Lets callers that poll
  // on the cart's time-outs take a byte the moment it arrives.
  bool WaitReadable(int timeoutMs);

  // Reads and drops what waits, one byte at a time (each shows in the trace), pausing pauseMs
  // after each. Ends when nothing waits, when the port fails, or after `limit` bytes, so a cart
  // that streams without end cannot hold the caller. Returns the bytes dropped.
  int Drain(int limit = kDrainLimit, int pauseMs = 0);

  // Reads and drops what an earlier answer left over, before a new command or probe. Nothing
  // waiting costs nothing, and a leftover that ends at the prompt is complete; any other leftover
  // is read until the line has been quiet for quietMs, or for boundMs in all, so that the rest of
  // an answer still on its way cannot pass for the next one. Returns the bytes dropped.
  int DrainLeftover(int quietMs = kDrainQuietMs, int boundMs = kDrainBoundMs);

  void SetTraceFolder(const std::string& folder) { trace.SetFolder(folder); }
  // A port opened beside the cart's turned out to be the cart's: its entries go unmarked.
  void UnmarkTrace() { trace.Unmark(); }
  const std::string& TracePath() const { return trace.Path(); }
  const std::string& PortName() const { return portNumber; }
  OpenError LastOpenError() const { return lastOpenError; }
  // The operating system's own words for the last failed open ("Input/output error").
  const std::string& LastOpenErrorText() const { return lastOpenErrorText; }
  void SetReadLineIdlePolls(int polls) { idlePollLimit = polls; }

  std::atomic<int> muteTxTrace{0};

  // Line settings of the last successful open.
  int dtrControl = 0;
  int rtsControl = 0;
  int baudRate = 0;
  int parity = 0;
  int byteSize = 0;
  int stopBits = 0;

 private:
  static constexpr std::intptr_t kClosed = -1;

  // Device layer, one file per platform.
  std::intptr_t DeviceOpen(const std::string& portName, OpenError& error, std::string& errorText);
  void DeviceConfigure();
  void DeviceClose(std::intptr_t device);
  int DeviceWrite(const void* data, int length);
  int DeviceRead(void* buffer, int count);
  int DeviceBytesWaiting();
  bool DeviceWaitReadable(int timeoutMs);

  std::atomic<std::intptr_t> handle{kClosed};
  std::string portNumber;  // the name of the port last opened successfully
  OpenError lastOpenError = OpenError::None;
  std::string lastOpenErrorText;
  int idlePollLimit = 100;
  // The driver's low-latency flag was set by this open and is cleared again on close.
  bool lowLatencyToUndo = false;
  TrafficTrace trace;
};

}  // namespace molvane
