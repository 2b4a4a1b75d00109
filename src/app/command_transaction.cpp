// One command line to the cart and the classification of its answer lines.
#include <string>

#include "app/cart_controller.h"
#include "app/operation_scope.h"

namespace molvane {

void CartController::SendCommand(const std::string& command) {
  SerialPort* port = Current();
  if (port == nullptr) {
    // Nothing is sent without a cart, as before; only an operation waiting on it learns why.
    OperationScope::Note(*this, texts::kNoCart);
    return;
  }
  // Whatever waits now (a late prompt, a stray byte) must never be taken for the answer.
  port->Drain();
  const std::string line = command + "\r\n";
  if (port->Write(line.data(), static_cast<int>(line.size())) == 0) Fail(texts::kWriteError);
  if (echoesCommands) {
    PauseMs(timing.commandPauseMs);
    port->ReadLine();
  }
  PauseMs(timing.commandPauseMs);
}

std::string CartController::ReadReply() {
  SerialPort* port = Current();
  if (port == nullptr) return {};
  std::string reply = port->ReadLine();
  if (reply.find("unknown cmd") != std::string::npos) {
    Fail(texts::kUnknownCommand);
  } else if (reply.find("error") != std::string::npos) {
    Fail(texts::kErrorUnknown);
  } else if (reply.find(texts::kTimeout) != std::string::npos) {
    Fail(texts::kErrorTimeout);
    // A silent cart is gone: the scanner reopens and re-probes the port by itself.
    port->Close();
    currentPort = -1;
    cartCount = 0;
  }
  return reply;
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
