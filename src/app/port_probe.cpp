#include "app/port_probe.h"

#include <algorithm>
#include <chrono>

#include "app/cart_controller.h"
#include "base/number_text.h"

namespace molvane {

bool LooksLikeCartStatus(const std::string& firstLine) {
  if (firstLine.size() < 2) return false;
  if (firstLine.find('U') != std::string::npos) return false;
  const int value = TextToInt(firstLine);
  return value >= 0 && value <= 255;
}

bool IsBootloaderStream(const std::string& unended) {
  return !unended.empty() && unended.find_first_not_of('U') == std::string::npos;
}

std::string BootloaderWaitingText(const std::string& port) {
  return "a board on " + port +
         " is waiting in its bootloader (a firmware update did not finish); run the update again";
}

namespace {

bool NothingWaits(SerialPort& port) {
  const PortIo waiting = port.BytesWaiting();
  return waiting.Ok() && waiting.bytes == 0;
}

// A cart ends its answer to "status" with its prompt after a line or two (the battery line);
// a line of those is all a cart sends.
constexpr int kMostLinesBeforePrompt = 4;

// The cart answers "status" with more than the line the probe judges (the battery line, then the
// prompt). Taken here, the rest cannot arrive after the next command's drain and pass for that
// command's answer, which at 38400 baud it would when a command follows the connect at once.
// The answer ends at the prompt, or where the line falls quiet. A device that keeps sending
// lines (any first line whose leading number is a byte value would pass) does neither in time:
// false, and it is no cart.
bool ReadRestOfAnswer(SerialPort& port, int boundMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
  for (int lines = 0; lines <= kMostLinesBeforePrompt; ++lines) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return NothingWaits(port);
    const PortIo line = port.ReadLine(static_cast<int>(left.count()));
    if (!line)
      return line.status == PortIo::Status::TimedOut && line.unended.empty() && NothingWaits(port);
    if (line.text.find('>') != std::string::npos) return true;
  }
  return false;
}

}  // namespace

CartController::ProbeResult CartController::ProbePort(int i) {
  if (i < 0 || i >= kMaxPorts) return ProbeResult::NotOpened;
  SerialPort& port = ports[static_cast<std::size_t>(i)];
  // The connected cart's traffic, which a support report and a replay rely on, outlives the
  // probing of the other ports: their openings add to the trace, marked as theirs.
  const int cart = currentPort.load();
  if (!OpenCartPort(i, cart >= 0 && cart != i ? TraceStart::Append : TraceStart::Fresh)) {
    port.Close();
    return ProbeResult::NotOpened;
  }
  // The rest of an answer that an earlier program gave up on may still be coming. A port that
  // fails here, or will not take the probe, has no cart on it; nor has one whose probe was
  // interrupted, as far as anyone still waiting knows.
  static constexpr char kProbe[] = "status\r\n";
  if (!port.DrainLeftover() || !port.Write(kProbe, 8)) {
    port.Close();
    return ProbeResult::NoCart;
  }
  const PortIo first = port.ReadLine(timing.probeLineMs);
  // A line the reader gave up on is no answer, whatever its text: a status line may well hold
  // the word "Timeout".
  const bool echoed = first.Ok() && first.text.rfind("status", 0) == 0;
  if (echoed) {
    // The status line behind the echo is not judged: the rest of the answer, read next, is.
    static_cast<void>(port.ReadLine(timing.probeLineMs));
  } else if (!first || !LooksLikeCartStatus(first.text)) {
    port.Close();
    if (first.status == PortIo::Status::Interrupted || !IsBootloaderStream(first.unended))
      return ProbeResult::NoCart;
    SetMessage(BootloaderWaitingText(port.PortName()));
    return ProbeResult::Bootloader;
  }
  if (!ReadRestOfAnswer(port, timing.probeRestMs)) {
    port.Close();
    return ProbeResult::NoCart;
  }
  echoesCommands = echoed;
  port.UnmarkTrace();  // from now on it carries the cart's own traffic
  currentPort = i;
  // What could not be seen of the port's other holders stays said: the window shows the message
  // as the status field's tip.
  SetMessage(port.UnseenHolders());
  return ProbeResult::Cart;
}

CartController::ProbeResult CartController::ConnectPort(const std::string& portName) {
  for (SerialPort& port : ports) port.Close();
  currentPort = -1;
  transactionPort = -1;
  {
    std::lock_guard lock(portNamesMutex);
    portNumbers[0] = portName;
  }
  portCount = 1;
  const ProbeResult result = ProbePort(0);
  portsFound = result == ProbeResult::NotOpened ? 0 : 1;
  cartCount = result == ProbeResult::Cart ? 1 : 0;
  return result;
}

bool CartController::ConnectFirstCart(std::string* waitingBoardPort) {
  FindFtdiPorts();
  const int count = std::min(portCount.load(), kMaxPorts);
  int found = 0;
  for (int i = 0; i < count; ++i) {
    const ProbeResult result = ProbePort(i);
    if (result != ProbeResult::NotOpened) ++found;
    if (result == ProbeResult::Bootloader && waitingBoardPort != nullptr &&
        waitingBoardPort->empty()) {
      *waitingBoardPort = PortName(i);
    }
    if (result == ProbeResult::Cart) {
      portsFound = found;
      cartCount = 1;
      return true;
    }
  }
  portsFound = found;
  return false;
}

}  // namespace molvane
