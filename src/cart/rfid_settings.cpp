#include <string>

#include "app/cart_controller.h"
#include "cart/command_steps.h"

namespace molvane {
namespace {

constexpr std::size_t kNoLengthLimit = std::string::npos;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsMaskChar(char c) { return IsDigit(c) || c == 'P' || c == 'B' || c == 'F'; }

// A value read back counts only in its expected form; anything else (an error word, a time-out,
// a line ending in the prompt) becomes the empty text.
std::string Accepted(const std::string& reply, std::size_t maxLength, bool (*allowed)(char)) {
  if (reply.size() > maxLength) return {};
  for (const char c : reply)
    if (!allowed(c)) return {};
  return reply;
}

std::string WithText(const char* word, const std::string& text) {
  return std::string(word) + " " + SingleLine(text);
}

}  // namespace

void CartController::SetRfidBits(const std::string& text) {
  SendAndDrop(*this, WithText("set_rfid_bits", text));
}

void CartController::SetRfidMask(const std::string& text) {
  SendAndDrop(*this, WithText("set_rfid_mask", text));
}

void CartController::SetRfidFacility(const std::string& text) {
  SendAndDrop(*this, WithText("set_rfid_facility", text));
}

void CartController::SetMaxPinDigits(const std::string& text) {
  SendAndDrop(*this, WithText("set_max_pin_digits", text));
}

std::string CartController::GetRfidBits() {
  return Accepted(SendAndRead(*this, "get_rfid_bits"), 2, IsDigit);
}

std::string CartController::GetRfidMask() {
  return Accepted(SendAndRead(*this, "get_rfid_mask"), kNoLengthLimit, IsMaskChar);
}

std::string CartController::GetRfidFacility() {
  return Accepted(SendAndRead(*this, "get_rfid_facility"), 5, IsDigit);
}

std::string CartController::GetMaxPinDigits() {
  return Accepted(SendAndRead(*this, "get_max_pin_digits"), 3, IsDigit);
}

}  // namespace molvane
