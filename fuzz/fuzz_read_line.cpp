// Reply lines cut from whatever bytes arrive on a real pseudo-terminal.
#include <memory>
#include <string_view>

#include "app/cart_controller.h"
#include "fuzz_pty.h"
#include "fuzz_support.h"
#include "link/serial_port.h"

namespace {

struct Link {
  fuzzing::FarEnd cart;
  molvane::SerialPort port{fuzzing::NoTraceFolder()};
  Link() {
    if (!port.Open(cart.DevicePath(),
                   molvane::LineSettings{.baudRate = molvane::CartController::kBaudRate}))
      fuzzing::Fail("the host could not open the pseudo-terminal");
    // One silent poll ends a line: the input is all there before the first read.
    port.SetReadLineIdlePolls(0);
  }
  // Bytes of an earlier input that came late are not this input's.
  void Drain() {
    char buffer[256];
    while (port.BytesWaiting().bytes > 0 && port.Read(buffer, sizeof buffer).bytes > 0) {
    }
  }
};

}  // namespace

// A pseudo-terminal holds a few KiB; longer inputs are cut rather than deadlock the writer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto link = std::make_unique<Link>();
  link->Drain();
  const std::string_view bytes(reinterpret_cast<const char*>(data),
                               std::min<std::size_t>(size, 2048));
  link->cart.Write(bytes);
  // Every line but a time-out takes at least one byte, so the input runs out.
  for (std::size_t lines = 0;; ++lines) {
    fuzzing::Require(lines <= bytes.size(), "more lines than bytes");
    const molvane::PortIo read = link->port.ReadLine();
    if (read.status == molvane::PortIo::Status::TimedOut) break;
    fuzzing::Require(read.Ok(), "the line read failed");
    const std::string& line = read.text;
    fuzzing::Require(line.size() <= molvane::SerialPort::kMaxLineLength, "an overlong line");
    fuzzing::Require(line.find_first_of("\r\n") == std::string::npos, "a line end inside a line");
  }
  fuzzing::Require(link->port.IsOpen(), "the port closed itself");
  return 0;
}
