// The serial device on Windows: a COM port opened without sharing, DCB line settings and read
// time-outs that make every read return at once.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cctype>
#include <chrono>
#include <string>

#include "link/serial_port.h"

namespace molvane {
namespace {

// A write that the driver cannot take within this bound ends as a failed write instead of
// hanging the caller (a cable pulled mid-command).
constexpr DWORD kWriteBoundMs = 1000;
// WaitReadable polls the driver's queue in steps this short, so a byte is taken soon after it
// arrives while the thread still sleeps between looks.
constexpr DWORD kWaitStepMs = 1;

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// "COM7" (any letter case) gives 7; anything else gives -1.
int PortNumberOf(const std::string& portName) {
  if (portName.size() < 4 || portName.size() > 6) return -1;
  for (int i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(portName[static_cast<std::size_t>(i)])) != "COM"[i])
      return -1;
  }
  int number = 0;
  for (std::size_t i = 3; i < portName.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(portName[i]))) return -1;
    number = number * 10 + (portName[i] - '0');
  }
  return number > 0 ? number : -1;
}

OpenError ErrorFor(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return OpenError::Missing;
    // A COM port that another program holds is refused with "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return OpenError::Busy;
    default:
      return OpenError::Other;
  }
}

// The system's own message for an error code, without its trailing line end.
std::string SystemText(DWORD code) {
  char text[256] = {};
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace

std::intptr_t SerialPort::DeviceOpen(const std::string& portName, OpenError& error,
                                     std::string& errorText) {
  const int number = PortNumberOf(portName);
  if (number < 0) {
    error = OpenError::Missing;
    errorText = "not a COM port name";
    return kClosed;
  }
  const std::string device = "\\\\.\\com" + std::to_string(number);
  HANDLE opened = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    error = ErrorFor(code);
    errorText = SystemText(code);
    return kClosed;
  }
  error = OpenError::None;
  return reinterpret_cast<std::intptr_t>(opened);
}

void SerialPort::DeviceConfigure() {
  const HANDLE port = Handle(handle);
  DCB line{};
  line.DCBlength = sizeof line;
  ::GetCommState(port, &line);
  line.BaudRate = static_cast<DWORD>(settings.baudRate);
  line.Parity = static_cast<BYTE>(settings.parity);
  line.ByteSize = static_cast<BYTE>(settings.byteSize);
  line.StopBits = static_cast<BYTE>(settings.stopBits);
  line.fDtrControl = settings.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  line.fRtsControl = settings.rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  ::SetCommState(port, &line);
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;  // with both totals 0: return at once
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 1;
  timeouts.WriteTotalTimeoutConstant = kWriteBoundMs;
  ::SetCommTimeouts(port, &timeouts);
}

void SerialPort::DeviceClose(std::intptr_t device) { ::CloseHandle(Handle(device)); }

int SerialPort::DeviceWrite(const void* data, int length) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  int written = 0;
  while (written < length) {
    DWORD count = 0;
    const BOOL ok = ::WriteFile(Handle(handle), bytes + written,
                                static_cast<DWORD>(length - written), &count, nullptr);
    if (!ok || count == 0) {
      ::GetLastError();  // fetched as the driver reports it; the caller shows its own message
      return 0;
    }
    written += static_cast<int>(count);
  }
  return written;
}

int SerialPort::DeviceRead(void* buffer, int count) {
  DWORD received = 0;
  if (!::ReadFile(Handle(handle), buffer, static_cast<DWORD>(count), &received, nullptr)) return -1;
  return static_cast<int>(received);
}

int SerialPort::DeviceBytesWaiting() {
  DWORD errors = 0;
  COMSTAT status{};
  // A port whose device has gone (adapter unplugged) fails here: that is not a quiet line.
  if (!::ClearCommError(Handle(handle), &errors, &status)) return -1;
  if (errors & CE_RXPARITY) return 0;
  return static_cast<int>(status.cbInQue);
}

bool SerialPort::DeviceWaitReadable(int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    const int waiting = DeviceBytesWaiting();
    if (waiting != 0) return waiting > 0;
    if (Clock::now() >= end) return false;
    ::Sleep(kWaitStepMs);
  }
}

}  // namespace molvane
