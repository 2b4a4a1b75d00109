#include "cart/pin_text.h"

#include "cart/pin_list_file.h"
#include "cart/rfid_format.h"

namespace molvane {

bool IsAcceptablePinText(std::string_view text) {
  return IsDigitText(text) && PinItemInRange(text);
}

CharacterFilter PinTextFilter() { return CharacterFilter::Allowing(kPinDigits, kMaxPinTextLength); }

}  // namespace molvane
