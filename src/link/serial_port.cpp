#include "link/serial_port.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <thread>

namespace molvane {
namespace {
constexpr int kPollMs = 10;
constexpr int kDrainChunk = 4096;
}  // namespace

SerialPort::SerialPort() : trace(CurrentFolder()) {}

SerialPort::SerialPort(const std::string& traceFolder) : trace(traceFolder) {}

SerialPort::~SerialPort() { Close(); }

int SerialPort::Open(const std::string& portName, int baud, int parityCode, int dataBits,
                     int stopBitsCode, TraceStart traceStart) {
  OpenError error = OpenError::None;
  std::string errorText;
  const std::intptr_t opened = DeviceOpen(portName, error, errorText);
  lastOpenError = error;
  lastOpenErrorText = errorText;
  if (opened == kClosed) return 0;
  handle = opened;
  portNumber = portName;
  baudRate = baud;
  parity = parityCode;
  byteSize = dataBits;
  stopBits = stopBitsCode;
  dtrControl = 0;
  rtsControl = 0;
  DeviceConfigure();
  trace.Opened(portNumber, baudRate, traceStart);
  return 1;
}

// Taken in one step, so that two closers cannot both close the device (the second would close
// whatever the system has handed the number to meanwhile).
void SerialPort::Close() {
  const std::intptr_t device = handle.exchange(kClosed);
  if (device != kClosed) DeviceClose(device);
}

int SerialPort::Write(const void* data, int length) {
  if (!IsOpen() || length <= 0) return 0;
  if (muteTxTrace.load() == 0) trace.Transmitted(static_cast<const std::uint8_t*>(data), length);
  return DeviceWrite(data, length);
}

int SerialPort::Read(void* buffer, int count) {
  if (!IsOpen() || count <= 0) return 0;
  const int received = DeviceRead(buffer, count);
  if (received < 0) return 0;
  trace.Received(static_cast<const std::uint8_t*>(buffer), received);
  return received;
}

int SerialPort::BytesWaiting() {
  if (!IsOpen()) return -1;
  return DeviceBytesWaiting();
}

bool SerialPort::WaitReadable(int timeoutMs) {
  if (!IsOpen()) return false;
  return DeviceWaitReadable(timeoutMs);
}

int SerialPort::Drain(int limit, int pauseMs) {
  int dropped = 0;
  std::uint8_t byte = 0;
  while (dropped < limit && BytesWaiting() > 0 && Read(&byte, 1) == 1) {
    ++dropped;
    if (pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
  return dropped;
}

int SerialPort::DrainLeftover(int quietMs, int boundMs) {
  using Clock = std::chrono::steady_clock;
  if (BytesWaiting() <= 0) return 0;
  const auto end = Clock::now() + std::chrono::milliseconds(boundMs);
  int dropped = 0;
  std::uint8_t last = 0;
  std::uint8_t buffer[kDrainChunk];
  for (;;) {
    const int waiting = BytesWaiting();
    if (waiting < 0) return dropped;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return dropped;
    if (waiting == 0) {
      // A wake-up with nothing to read (a line error) is taken as quiet, so it cannot spin.
      if (last == '>' || !WaitReadable(static_cast<int>(std::min<long long>(quietMs, left))) ||
          BytesWaiting() == 0) {
        return dropped;
      }
      continue;
    }
    const int got = Read(buffer, std::min(waiting, kDrainChunk));
    if (got <= 0) return dropped;
    dropped += got;
    last = buffer[got - 1];
  }
}

SerialPort::Line SerialPort::ReadLineWithin(int deadlineMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
  std::string text;
  int last = 0;
  int idle = 0;
  int consumed = 0;
  bool timedOut = false;
  bool spuriousWake = false;
  while (last != '\r' && last != '>') {
    if (Clock::now() >= deadline) {
      timedOut = true;
      break;
    }
    const int waiting = BytesWaiting();
    if (waiting < 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
      timedOut = true;
      break;
    }
    if (waiting == 0) {
      // Wait on the device instead of sleeping blindly: a byte is taken the moment it arrives,
      // while a silent poll still costs its 10 ms, so the idle time-out stays about one second.
      // A wake-up with nothing to read (a line error) counts as a silent poll, so it cannot spin.
      if (!spuriousWake && WaitReadable(kPollMs)) {
        spuriousWake = true;
        continue;
      }
      if (spuriousWake) std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
      spuriousWake = false;
      if (++idle > idlePollLimit) {
        timedOut = true;
        break;
      }
      continue;
    }
    std::uint8_t byte = 0;
    if (Read(&byte, 1) != 1) continue;
    idle = 0;
    spuriousWake = false;
    last = byte;
    if (++consumed > kMaxLineBytes) {
      timedOut = true;
      break;
    }
    if (byte != '\r' && byte != '\n' && text.size() < kMaxLineLength)
      text += static_cast<char>(byte);
  }
  Line line;
  if (timedOut) {
    line.unended = std::move(text);
    line.timedOut = true;
    text = "Timeout";
  }
  trace.Reply(text);
  line.text = std::move(text);
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
