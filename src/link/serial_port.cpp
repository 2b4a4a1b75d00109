#include "link/serial_port.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <thread>

namespace molvane {
namespace {
using Status = PortIo::Status;
constexpr int kPollMs = 10;
constexpr int kDrainChunk = 4096;
}  // namespace

SerialPort::SerialPort() : trace(CurrentFolder()) {}

SerialPort::SerialPort(const std::string& traceFolder) : trace(traceFolder) {}

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Open(const std::string& portName, const LineSettings& lineSettings,
                      TraceStart traceStart) {
  OpenError error = OpenError::None;
  std::string errorText;
  unseenHolders.clear();
  const std::intptr_t opened = DeviceOpen(portName, error, errorText);
  lastOpenError = error;
  lastOpenErrorText = errorText;
  if (opened == kClosed) return false;
  handle = opened;
  portNumber = portName;
  settings = lineSettings;
  DeviceConfigure();
  trace.Opened(portNumber, settings.baudRate, traceStart);
  return true;
}

// Taken in one step, so that two closers cannot both close the device (the second would close
// whatever the system has handed the number to meanwhile).
void SerialPort::Close() {
  const std::intptr_t device = handle.exchange(kClosed);
  if (device != kClosed) DeviceClose(device);
}

PortIo SerialPort::Write(const void* data, int length, TraceWrite traceWrite) {
  if (!IsOpen()) return PortIo::Ended(Status::Failed);
  if (length <= 0) return PortIo::Moved(0);
  if (traceWrite == TraceWrite::Yes)
    trace.Transmitted(static_cast<const std::uint8_t*>(data), length);
  const int written = DeviceWrite(data, length);
  if (written != length) return PortIo::Ended(Status::Failed, written);
  return PortIo::Moved(written);
}

PortIo SerialPort::Read(void* buffer, int count) {
  if (!IsOpen()) return PortIo::Ended(Status::Failed);
  if (count <= 0) return PortIo::Moved(0);
  const int received = DeviceRead(buffer, count);
  if (received < 0) return PortIo::Ended(Status::Failed);
  trace.Received(static_cast<const std::uint8_t*>(buffer), received);
  return PortIo::Moved(received);
}

PortIo SerialPort::BytesWaiting() {
  if (!IsOpen()) return PortIo::Ended(Status::Failed);
  const int waiting = DeviceBytesWaiting();
  if (waiting < 0) return PortIo::Ended(Status::Failed);
  return PortIo::Moved(waiting);
}

// In slices, so that a raised interrupt flag ends a long wait soon; the device wakes each slice
// the moment a byte arrives.
PortIo SerialPort::WaitReadable(int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    if (!IsOpen()) return PortIo::Ended(Status::Failed);
    if (Interrupted()) return PortIo::Ended(Status::Interrupted);
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    const int slice = static_cast<int>(std::clamp<long long>(left, 0, kInterruptSliceMs));
    if (DeviceWaitReadable(slice)) return PortIo::Moved(0);
    if (left <= kInterruptSliceMs) return PortIo::Ended(Status::TimedOut);
  }
}

PortIo SerialPort::Drain(int limit, int pauseMs) {
  int dropped = 0;
  std::uint8_t byte = 0;
  while (dropped < limit) {
    if (Interrupted()) return PortIo::Ended(Status::Interrupted, dropped);
    const PortIo waiting = BytesWaiting();
    if (!waiting) return PortIo::Ended(waiting.status, dropped);
    if (waiting.bytes == 0) break;
    const PortIo got = Read(&byte, 1);
    if (!got) return PortIo::Ended(got.status, dropped);
    if (got.bytes != 1) break;
    ++dropped;
    if (pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
  return PortIo::Moved(dropped);
}

PortIo SerialPort::DrainLeftover(int quietMs, int boundMs) {
  using Clock = std::chrono::steady_clock;
  if (Interrupted()) return PortIo::Ended(Status::Interrupted);
  const PortIo first = BytesWaiting();
  if (!first) return first;
  if (first.bytes == 0) return PortIo::Moved(0);
  const auto end = Clock::now() + std::chrono::milliseconds(boundMs);
  int dropped = 0;
  std::uint8_t last = 0;
  std::uint8_t buffer[kDrainChunk];
  for (;;) {
    if (Interrupted()) return PortIo::Ended(Status::Interrupted, dropped);
    const PortIo waiting = BytesWaiting();
    if (!waiting) return PortIo::Ended(waiting.status, dropped);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return PortIo::Moved(dropped);
    if (waiting.bytes == 0) {
      if (last == '>') return PortIo::Moved(dropped);
      const PortIo woke = WaitReadable(static_cast<int>(std::min<long long>(quietMs, left)));
      if (woke.status == Status::TimedOut) return PortIo::Moved(dropped);
      if (!woke) return PortIo::Ended(woke.status, dropped);
      // A wake-up with nothing to read (a line error) is taken as quiet, so it cannot spin.
      const PortIo after = BytesWaiting();
      if (after.Ok() && after.bytes == 0) return PortIo::Moved(dropped);
      continue;
    }
    const PortIo got = Read(buffer, std::min(waiting.bytes, kDrainChunk));
    if (!got) return PortIo::Ended(got.status, dropped);
    if (got.bytes == 0) return PortIo::Moved(dropped);
    dropped += got.bytes;
    last = buffer[got.bytes - 1];
  }
}

PortIo SerialPort::ReadLine(int deadlineMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
  std::string text;
  int last = 0;
  int idle = 0;
  int consumed = 0;
  Status status = Status::Ok;
  bool spuriousWake = false;
  while (last != '\r' && last != '>') {
    if (Interrupted()) {
      status = Status::Interrupted;
      break;
    }
    if (Clock::now() >= deadline) {
      status = Status::TimedOut;
      break;
    }
    const PortIo waiting = BytesWaiting();
    if (!waiting) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
      status = Status::Failed;
      break;
    }
    if (waiting.bytes == 0) {
      // Wait on the device instead of sleeping blindly: a byte is taken the moment it arrives,
      // while a silent poll still costs its 10 ms, so the idle time-out stays about one second.
      // A wake-up with nothing to read (a line error) counts as a silent poll, so it cannot spin.
      if (!spuriousWake) {
        const PortIo woke = WaitReadable(kPollMs);
        if (woke.status == Status::Interrupted) {
          status = Status::Interrupted;
          break;
        }
        if (woke.Ok()) {
          spuriousWake = true;
          continue;
        }
      }
      if (spuriousWake) std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
      spuriousWake = false;
      if (++idle > idlePollLimit) {
        status = Status::TimedOut;
        break;
      }
      continue;
    }
    std::uint8_t byte = 0;
    if (Read(&byte, 1).bytes != 1) continue;
    idle = 0;
    spuriousWake = false;
    last = byte;
    if (++consumed > kMaxLineBytes) {
      status = Status::TimedOut;
      break;
    }
    if (byte != '\r' && byte != '\n' && text.size() < kMaxLineLength)
      text += static_cast<char>(byte);
  }
  PortIo line = PortIo::Ended(status, consumed);
  if (status == Status::Ok) {
    line.text = std::move(text);
    trace.Reply(line.text);
    return line;
  }
  line.unended = std::move(text);
  if (status == Status::Interrupted) {
    // No "RX:" line: a replay of the trace would take it for the cart's answer.
    trace.Log("Line read interrupted");
    return line;
  }
  line.text = "Timeout";
  trace.Reply(line.text);
  return line;
}

void SerialPort::TraceLog(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  trace.Log(text);
}

}  // namespace molvane
