// One command line to the cart and the classification of its answer lines.
#include <algorithm>
#include <string>
#include <vector>

#include "app/cart_controller.h"
#include "app/port_probe.h"
#include "app/reply_refusal.h"

namespace molvane {
namespace {

// An abandoned answer is read off until its prompt, or until the cart has been silent as long
// as a reply may take; the bound is more than the longest dump needs at 38400 baud.
constexpr int kAbandonedQuietMs = 1000;
constexpr int kAbandonedBoundMs = 20000;

}  // namespace

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

Outcome CartController::SendCommand(const std::string& command) {
  if (RefusedDuringTransfer()) {
    transactionPort = -1;  // the replies to this command are not read either
    return Outcome::Failure(texts::kTransferRunning);
  }
  const int index = BeginTransaction();
  // Nothing is sent without a cart, and the message text stays as it was: only the operation
  // that wanted the cart learns why nothing happened.
  if (index < 0 || index >= kMaxPorts) return Outcome::Failure(texts::kNoCart);
  SerialPort& port = Port(index);
  // Whatever waits now (a late prompt, a stray byte, the rest of an answer given up as too long)
  // must never be taken for the answer. A drain cut short by the program's stop sends nothing
  // more, and nothing can be sent down a line that has closed.
  const PortIo drained = answerAbandoned.exchange(false)
                             ? port.DrainLeftover(kAbandonedQuietMs, kAbandonedBoundMs)
                             : port.DrainLeftover();
  if (drained.status == PortIo::Status::Interrupted) return Outcome::Failure(texts::kCancelled);
  if (drained.status == PortIo::Status::Failed) return LineLost(index);
  const std::string line = command + "\r\n";
  Outcome sent = Outcome::Success();
  if (!port.Write(line.data(), static_cast<int>(line.size()))) {
    // A device that has gone refuses the write too; the operator needs the cable, not the port.
    if (port.BytesWaiting().status == PortIo::Status::Failed) return LineLost(index).AnswerLost();
    sent = Fail(texts::kWriteError).AnswerLost();
  }
  if (echoesCommands) {
    Pause(timing.commandPauseMs);
    static_cast<void>(port.ReadLine(timing.replyLineMs));  // the echo; the reply is judged
  }
  Pause(timing.commandPauseMs);
  return sent;
}

// A time-out is what the line reader reports when it gave up, never the word "Timeout" in what
// the cart said: a cart may well be named "Timeout Ward".
Result<std::string> CartController::ReadReply() {
  if (RefusedDuringTransfer()) return {{}, Outcome::Failure(texts::kTransferRunning)};
  const int index = TransactionSlot().load();
  if (index < 0 || index >= kMaxPorts) return {{}, Outcome::Failure(texts::kNoCart)};
  SerialPort& port = Port(index);
  PortIo line = port.ReadLine(timing.replyLineMs);
  // Cut short by the program's stop: no answer, but no sign of a silent cart either.
  if (line.status == PortIo::Status::Interrupted)
    return {{}, Outcome::Failure(texts::kCancelled).AnswerLost()};
  Outcome outcome = Outcome::Success();
  if (const std::string refusal = RefusalText(line.text); !refusal.empty()) {
    outcome = Fail(refusal);
  } else if (line.status == PortIo::Status::Failed) {
    // Unplugged, or the port closed under the read: waiting longer would not help.
    return {std::move(line.text), LineLost(index).AnswerLost()};
  } else if (line.status == PortIo::Status::TimedOut) {
    outcome = Fail(IsBootloaderStream(line.unended) ? BootloaderWaitingText(port.PortName())
                                                    : std::string(texts::kErrorTimeout))
                  .AnswerLost();
    ForgetLostPort(index);
  }
  return {std::move(line.text), std::move(outcome)};
}

Outcome CartController::ConfirmHeard(int waitMs) {
  if (RefusedDuringTransfer()) return Outcome::Failure(texts::kTransferRunning);
  const int index = TransactionSlot().load();
  if (index < 0 || index >= kMaxPorts) return Outcome::Failure(texts::kNoCart);
  const PortIo waited = Port(index).WaitReadable(waitMs);
  if (waited.status == PortIo::Status::Interrupted)
    return Outcome::Failure(texts::kCancelled).AnswerLost();
  if (waited.status == PortIo::Status::Failed) return LineLost(index).AnswerLost();
  if (waited) return ReadReply().outcome;
  return GetStatus().outcome;
}

Result<std::vector<std::string>> CartController::Exchange(const std::string& command, int reads,
                                                          int pauseMs) {
  Result<std::vector<std::string>> reply;
  reply.outcome = SendCommand(command);
  // Nothing went out without a cart or with a transfer in the way. A write that failed may
  // still have been partly taken, so its answer is read as usual.
  if (TransactionSlot().load() < 0) {
    reply.value.resize(static_cast<std::size_t>(std::max(reads, 0)));
    return reply;
  }
  Pause(pauseMs);
  for (int i = 0; i < reads; ++i) {
    Result<std::string> line = ReadReply();
    const bool prompt = !line.value.empty() && line.value.back() == '>';
    reply.value.push_back(std::move(line.value));
    reply.outcome.Merge(line.outcome);
    if (TransactionSlot().load() < 0) break;  // the link is gone: nothing more can come
    // A refusal is a shorter answer than the command's own: once its prompt is in, reading on
    // would only wait for lines that never come, and take the silence for a cart that is gone.
    if (!reply.outcome && prompt) break;
  }
  reply.value.resize(static_cast<std::size_t>(std::max(reads, 0)));
  return reply;
}

// A silent cart is gone: its port is closed and the scanner reopens and re-probes it by itself.
// Only the port that was lost is forgotten; the scanner may have found a cart on another port
// meanwhile, and that one stays current.
void CartController::ForgetLostPort(int index) {
  {
    std::lock_guard lock(portCloseMutex);
    int expected = index;
    if (currentPort.compare_exchange_strong(expected, -1)) cartCount = 0;
    Port(index).Close();
  }
  TransactionSlot() = -1;
}

Result<std::string> CartController::GetStatus() {
  Result<std::vector<std::string>> reply = Exchange("status", 2);
  return {reply.value.empty() ? std::string() : std::move(reply.value.front()),
          std::move(reply.outcome)};
}

Outcome CartController::LineLost(int index) {
  Outcome lost = Fail(texts::kLineClosed);
  ForgetLostPort(index);
  return lost;
}

Outcome CartController::Fail(const std::string& message) {
  SetMessage(message);
  return Outcome::Failure(message);
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
