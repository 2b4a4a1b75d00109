#include <string>

#include "app/cart_controller.h"
#include "cart/command_steps.h"
#include "cart/rfid_format.h"

namespace molvane {
namespace {

constexpr std::size_t kNoLengthLimit = std::string::npos;

// A value read back counts only in its expected form; anything else (an error word, a time-out,
// a line ending in the prompt) becomes the empty text.
std::string Accepted(const std::string& reply, std::size_t maxLength,
                     bool (*allowed)(std::string_view)) {
  if (reply.size() > maxLength || !allowed(reply)) return {};
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
  return Accepted(SendAndRead(*this, "get_rfid_bits"), kMaxRfidBitsLength, IsDigitText);
}

std::string CartController::GetRfidMask() {
  return Accepted(SendAndRead(*this, "get_rfid_mask"), kNoLengthLimit, IsRfidMaskText);
}

std::string CartController::GetRfidFacility() {
  return Accepted(SendAndRead(*this, "get_rfid_facility"), kMaxFacilityLength, IsDigitText);
}

std::string CartController::GetMaxPinDigits() {
  return Accepted(SendAndRead(*this, "get_max_pin_digits"), kMaxPinDigitsLength, IsDigitText);
}

}  // namespace molvane
