// The RFID and PIN-digit settings read back from a cart that answers anything at all.
#include <memory>
#include <string_view>

#include "app/cart_controller.h"
#include "cart/rfid_settings.h"
#include "fuzz_pty.h"
#include "fuzz_support.h"

namespace {

struct Bench {
  fuzzing::ReplyingCart cart;
  molvane::CartController controller{fuzzing::NoTraceFolder(), fuzzing::ScratchFolder()};
  Bench() {
    molvane::Timing timing = controller.GetTiming();
    timing.commandPauseMs = 1;
    timing.replyIdlePolls = 2;
    controller.SetTiming(timing);
  }
  // A reply that timed out made the controller give the port up; take it again.
  void Connect() {
    if (controller.CurrentPort() == 0) return;
    if (!controller.AttachPort(cart.DevicePath(), false))
      fuzzing::Fail("the host could not open the pseudo-terminal");
  }
};

bool Only(const std::string& text, std::string_view allowed) {
  return text.find_first_not_of(allowed) == std::string::npos;
}

}  // namespace

// The first byte picks the setting; the rest is the cart's answer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static auto bench = std::make_unique<Bench>();
  bench->Connect();
  bench->cart.SetReply(std::string_view(reinterpret_cast<const char*>(data + 1),
                                        std::min<std::size_t>(size - 1, 2048)));
  molvane::CartController& c = bench->controller;
  constexpr std::string_view kDigits = "0123456789";
  std::string value;
  switch (data[0] % 4) {
    case 0:
      value = molvane::GetRfidBits(c).value;
      fuzzing::Require(value.size() <= 2 && Only(value, kDigits), "bits accepted in a wrong form");
      break;
    case 1:
      value = molvane::GetRfidMask(c).value;
      fuzzing::Require(Only(value, "0123456789PBF"), "mask accepted in a wrong form");
      break;
    case 2:
      value = molvane::GetRfidFacility(c).value;
      fuzzing::Require(value.size() <= 5 && Only(value, kDigits),
                       "facility accepted in a wrong form");
      break;
    default:
      value = molvane::GetMaxPinDigits(c).value;
      fuzzing::Require(value.size() <= 3 && Only(value, kDigits),
                       "digits accepted in a wrong form");
  }
  return 0;
}
