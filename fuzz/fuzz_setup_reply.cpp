// The cart's one-line answer with all Setup page settings.
#include <string_view>

#include "cart/setup_reply.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  const molvane::SetupSettings settings = molvane::DecodeSetupReply(reply);
  fuzzing::Require(settings.powerSupply.size() <= size,
                   "a power supply word longer than the reply");
  fuzzing::Require(settings.powerSupply.find_first_of(" \t") == std::string::npos,
                   "a power supply word holding a blank");
  fuzzing::Require(settings.powerSupplyKind >= 0 && settings.powerSupplyKind <= 2,
                   "an unknown supply kind");
  return 0;
}
