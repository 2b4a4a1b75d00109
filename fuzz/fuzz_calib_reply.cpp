// The cart's two calibration reports, decoded and shown as the factory page shows them.
#include <string_view>

#include "cart/calib_reply.h"
#include "cart/drawer_layouts.h"
#include "fuzz_support.h"

namespace {

bool Only(const std::string& text, std::string_view allowed) {
  return text.find_first_not_of(allowed) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);

  const molvane::CalibFastData fast = molvane::DecodeCalibFastReply(reply);
  fuzzing::Require(molvane::HexCodeText(fast.sensorBits).size() == 4, "sensor bits beyond a byte");

  const molvane::CalibSlowData slow = molvane::DecodeCalibSlowReply(reply);
  for (const float tenths :
       {slow.maxUpCurrentTenths, slow.maxDownCurrentTenths, slow.minVoltsTenths}) {
    const std::string text = molvane::TenthsText(tenths);
    fuzzing::Require(!text.empty() && text.size() <= 48 && Only(text, "-0123456789."),
                     "a limit shown as something other than a decimal number");
  }
  const std::string seconds = molvane::WholeSecondsText(slow.relockTimeout);
  fuzzing::Require(!seconds.empty() && seconds.size() <= 10 && Only(seconds, "0123456789"),
                   "a timeout shown as something other than whole seconds");
  const std::string code = molvane::HexCodeText(slow.drawerCode);
  fuzzing::Require(code.size() >= 4 && code.size() <= 10, "a drawer code of a strange length");
  const int layout = molvane::DrawerLayoutIndex(slow.drawerCode);
  fuzzing::Require(layout < 0 || molvane::kDrawerLayouts[static_cast<std::size_t>(layout)].code ==
                                     slow.drawerCode,
                   "a layout selected for another code");
  return 0;
}
