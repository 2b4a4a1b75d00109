// One command line to the cart and the classification of its answer lines.
#include <string>

#include "app/cart_controller.h"
#include "app/operation_scope.h"
#include "app/port_probe.h"
#include "app/reply_refusal.h"

namespace molvane {

// A transfer has the port to itself: a command from any other thread would land in a
// bootloader's byte stream or between a picture's lines.
bool CartController::RefusedDuringTransfer() { return IsBusy() && transferThreadOf != this; }

// The transfer worker's transactions keep their port apart from the other threads', so that a
// command refused during a transfer cannot disturb the worker's.
std::atomic<int>& CartController::TransactionSlot() {
  return transferThreadOf == this ? transferTransactionPort : transactionPort;
}

// The current port is taken once per transaction and published before it is used. The scanner
// closes a port whose device has gone only when no transaction holds it, and it may make another
// port current meanwhile; reading the current port again after publishing settles on a port
// that both sides agree on.
int CartController::BeginTransaction() {
  std::atomic<int>& slot = TransactionSlot();
  int index = currentPort.load();
  for (;;) {
    slot = index;
    const int now = currentPort.load();
    if (now == index) return index;
    index = now;
  }
}

void CartController::SendCommand(const std::string& command) {
  if (RefusedDuringTransfer()) {
    transactionPort = -1;  // the replies to this command are not read either
    OperationScope::Note(*this, texts::kTransferRunning);
    return;
  }
  const int index = BeginTransaction();
  if (index < 0 || index >= kMaxPorts) {
    // Nothing is sent without a cart, as before; only an operation waiting on it learns why.
    OperationScope::Note(*this, texts::kNoCart);
    return;
  }
  SerialPort& port = Port(index);
  // Whatever waits now (a late prompt, a stray byte, the rest of an answer given up as too long)
  // must never be taken for the answer. A port that fails here fails the write that follows.
  static_cast<void>(port.DrainLeftover());
  const std::string line = command + "\r\n";
  if (!port.Write(line.data(), static_cast<int>(line.size()))) Fail(texts::kWriteError);
  if (echoesCommands) {
    Pause(timing.commandPauseMs);
    static_cast<void>(port.ReadLine(timing.replyLineMs));  // the echo; the reply is judged
  }
  Pause(timing.commandPauseMs);
}

std::string CartController::ReadReply() { return ReadReplyLine().text; }

// A time-out is what the line reader reports when it gave up, never the word "Timeout" in what
// the cart said: a cart may well be named "Timeout Ward".
CartController::ReplyLine CartController::ReadReplyLine() {
  if (RefusedDuringTransfer()) return {};
  const int index = TransactionSlot().load();
  if (index < 0 || index >= kMaxPorts) return {};
  SerialPort& port = Port(index);
  PortIo line = port.ReadLine(timing.replyLineMs);
  const bool timedOut =
      line.status == PortIo::Status::TimedOut || line.status == PortIo::Status::Failed;
  const std::string refusal = RefusalText(line.text);
  if (!refusal.empty()) {
    Fail(refusal);
  } else if (timedOut) {
    Fail(IsBootloaderStream(line.unended) ? BootloaderWaitingText(port.PortName())
                                          : std::string(texts::kErrorTimeout));
    ForgetTimedOutPort(index);
  }
  return {std::move(line.text), timedOut};
}

CartController::ReplyLine CartController::ReadReplyIfAny(int waitMs) {
  if (RefusedDuringTransfer()) return {};
  const int index = TransactionSlot().load();
  if (index < 0 || index >= kMaxPorts || !Port(index).WaitReadable(waitMs)) return {};
  return ReadReplyLine();
}

// A silent cart is gone: its port is closed and the scanner reopens and re-probes it by itself.
// Only the port that timed out is forgotten; the scanner may have found a cart on another port
// meanwhile, and that one stays current.
void CartController::ForgetTimedOutPort(int index) {
  {
    std::lock_guard lock(portCloseMutex);
    int expected = index;
    if (currentPort.compare_exchange_strong(expected, -1)) cartCount = 0;
    Port(index).Close();
  }
  TransactionSlot() = -1;
}

std::string CartController::GetStatus() {
  SendCommand("status");
  std::string first = ReadReply();
  ReadReply();
  return first;
}

void CartController::Fail(const std::string& message) {
  SetMessage(message);
  OperationScope::Note(*this, message);
}

void CartController::SetMessage(const std::string& text) {
  std::lock_guard lock(textMutex);
  messageText = text;
}

std::string CartController::MessageText() const {
  std::lock_guard lock(textMutex);
  return messageText;
}

std::string CartController::GetMessage() const {
  const bool busy = IsBusy();
  std::lock_guard lock(textMutex);
  return busy ? statusText : messageText;
}

void CartController::SetStatusText(const std::string& text) {
  std::lock_guard lock(textMutex);
  statusText = text.size() > 255 ? text.substr(0, 255) : text;
}

std::string CartController::GetStatusText() const {
  std::lock_guard lock(textMutex);
  return statusText;
}

}  // namespace molvane
