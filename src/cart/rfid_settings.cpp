#include "cart/rfid_settings.h"

#include <string>

#include "app/cart_controller.h"
#include "base/printable_text.h"
#include "cart/command_steps.h"
#include "cart/rfid_format.h"

namespace molvane {
namespace {

constexpr std::size_t kNoLengthLimit = std::string::npos;

constexpr std::size_t kShownReply = 32;

Result<std::string> Accepted(Result<std::string> reply, const char* command, std::size_t maxLength,
                             bool (*allowed)(std::string_view)) {
  if (!reply) return {{}, reply.outcome};
  if (reply.value.size() <= maxLength && allowed(reply.value)) return reply;
  return {{},
          Outcome::Failure("The cart answered " + std::string(command) + " with '" +
                           PrintableText(reply.value, kShownReply) + "', which is no setting.")};
}

std::string WithText(const char* word, const std::string& text) {
  return std::string(word) + " " + SingleLine(text);
}

}  // namespace

Outcome SetRfidBits(CartController& c, const std::string& text) {
  return SendAndDrop(c, WithText("set_rfid_bits", text));
}

Outcome SetRfidMask(CartController& c, const std::string& text) {
  return SendAndDrop(c, WithText("set_rfid_mask", text));
}

Outcome SetRfidFacility(CartController& c, const std::string& text) {
  return SendAndDrop(c, WithText("set_rfid_facility", text));
}

Outcome SetMaxPinDigits(CartController& c, const std::string& text) {
  return SendAndDrop(c, WithText("set_max_pin_digits", text));
}

Result<std::string> GetRfidBits(CartController& c) {
  return Accepted(SendAndRead(c, "get_rfid_bits"), "get_rfid_bits", kMaxRfidBitsLength,
                  IsDigitText);
}

Result<std::string> GetRfidMask(CartController& c) {
  return Accepted(SendAndRead(c, "get_rfid_mask"), "get_rfid_mask", kNoLengthLimit, IsRfidMaskText);
}

Result<std::string> GetRfidFacility(CartController& c) {
  return Accepted(SendAndRead(c, "get_rfid_facility"), "get_rfid_facility", kMaxFacilityLength,
                  IsDigitText);
}

Result<std::string> GetMaxPinDigits(CartController& c) {
  return Accepted(SendAndRead(c, "get_max_pin_digits"), "get_max_pin_digits", kMaxPinDigitsLength,
                  IsDigitText);
}

}  // namespace molvane
