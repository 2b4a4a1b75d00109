#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "link/line_settings.h"
#include "link/port_io.h"
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

// Whether a write shows in the traffic trace.
enum class TraceWrite { Yes, No };

// One serial port to the cart with its line settings and the traffic trace. A port is named by
// text: "COM7" on Windows, "/dev/ttyUSB0" on Linux. Reads never block; ReadLine waits on the
// device in bounded steps. Every read, write and wait says how it went in a PortIo. Not locked:
// the controller's rules keep threads apart.
class SerialPort {
 public:
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
  // A raised interrupt flag is seen within this long by every wait of the port.
  static constexpr int kInterruptSliceMs = 10;

  // The trace lives in the folder that is current now (or the one given).
  SerialPort();
  explicit SerialPort(const std::string& traceFolder);
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // False when the port could not be had; LastOpenError says why.
  [[nodiscard]] bool Open(const std::string& portName, const LineSettings& settings = {},
                          TraceStart traceStart = TraceStart::Fresh);
  void Close();
  bool IsOpen() const { return handle.load() != kClosed; }
  // The line settings of the last successful open.
  const LineSettings& Settings() const { return settings; }

  // All of `length` bytes, or Failed. TraceWrite::No keeps the bytes out of the trace (the data
  // bytes of a flash page, which would otherwise fill it with one line per byte).
  PortIo Write(const void* data, int length, TraceWrite traceWrite = TraceWrite::Yes);
  // What has arrived, at most `count` bytes, without waiting; Ok with 0 bytes when nothing has.
  PortIo Read(void* buffer, int count);
  // The bytes received and not yet read; Failed when the device has gone.
  PortIo BytesWaiting();
  // One reply line: ends at CR or '>' (Ok), or gives up with the text "Timeout" after about a
  // second of silence, at the deadline, after kMaxLineBytes without a line end (TimedOut), or at
  // once on a port that is closed or has gone (Failed). The trace shows the line as "RX:".
  // Interrupted leaves `text` empty, and what came of the line in `unended`.
  PortIo ReadLine(int deadlineMs = kLineDeadlineMs);
  void TraceLog(const char* format, ...) MOLVANE_PRINTF_FORMAT(2, 3);

  // Waits up to timeoutMs for a received byte: Ok when one is there (or the device woke the wait,
  // as a line error does), TimedOut when none came. Lets callers that poll on the cart's
  // time-outs take a byte the moment it arrives.
  PortIo WaitReadable(int timeoutMs);

  // Reads and drops what waits, one byte at a time (each shows in the trace), pausing pauseMs
  // after each. Ends when nothing waits, when the port fails, or after `limit` bytes, so a cart
  // that streams without end cannot hold the caller. `bytes` counts the bytes dropped.
  PortIo Drain(int limit = kDrainLimit, int pauseMs = 0);

  // Reads and drops what an earlier answer left over, before a new command or probe. Nothing
  // waiting costs nothing, and a leftover that ends at the prompt is complete; any other leftover
  // is read until the line has been quiet for quietMs, or for boundMs in all, so that the rest of
  // an answer still on its way cannot pass for the next one. `bytes` counts the bytes dropped.
  PortIo DrainLeftover(int quietMs = kDrainQuietMs, int boundMs = kDrainBoundMs);

  // While *flag is set, ReadLine, WaitReadable and DrainLeftover end within kInterruptSliceMs as
  // Interrupted, and Drain before its next byte, so that a thread stopping at the window's close
  // is not held by a silent cart. Writes still go: they do not wait for the cart. The flag
  // belongs to the caller and must outlive the port's use of it; null clears it.
  void SetInterrupt(const std::atomic<bool>* flag) { interrupt.store(flag); }

  void SetTraceFolder(const std::string& folder) { trace.SetFolder(folder); }
  // A port opened beside the cart's turned out to be the cart's: its entries go unmarked.
  void UnmarkTrace() { trace.Unmark(); }
  const std::string& TracePath() const { return trace.Path(); }
  const std::string& PortName() const { return portNumber; }
  OpenError LastOpenError() const { return lastOpenError; }
  // The operating system's own words for the last failed open ("Input/output error").
  const std::string& LastOpenErrorText() const { return lastOpenErrorText; }
  // After a successful open: that another user's program may hold the port too, unseen, and
  // how to look (DescribeUnseenHolders); empty when every holder could be seen.
  const std::string& UnseenHolders() const { return unseenHolders; }
  void SetReadLineIdlePolls(int polls) { idlePollLimit = polls; }

 private:
  static constexpr std::intptr_t kClosed = -1;

  bool Interrupted() const {
    const std::atomic<bool>* flag = interrupt.load();
    return flag != nullptr && flag->load();
  }

  // Device layer, one file per platform.
  std::intptr_t DeviceOpen(const std::string& portName, OpenError& error, std::string& errorText);
  void DeviceConfigure();
  void DeviceClose(std::intptr_t device);
  // The bytes written: all of them, or 0 when the device refused them.
  int DeviceWrite(const void* data, int length);
  // The bytes read; -1 when the device failed.
  int DeviceRead(void* buffer, int count);
  // The bytes waiting; -1 when the device has gone.
  int DeviceBytesWaiting();
  bool DeviceWaitReadable(int timeoutMs);

  std::atomic<std::intptr_t> handle{kClosed};
  std::atomic<const std::atomic<bool>*> interrupt{nullptr};
  std::string portNumber;  // the name of the port last opened successfully
  LineSettings settings;   // of the last successful open
  OpenError lastOpenError = OpenError::None;
  std::string lastOpenErrorText;
  std::string unseenHolders;
  int idlePollLimit = 100;
  // The driver's low-latency flag was set by this open and is cleared again on close.
  bool lowLatencyToUndo = false;
  TrafficTrace trace;
};

}  // namespace molvane
