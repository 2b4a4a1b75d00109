#pragma once
#include <string>

#include "app/outcome.h"
#include "app/progress.h"

namespace molvane {

class CartController;

// Shown in place of an access code that is kept out of a report.
inline constexpr const char* kMaskedText = "(masked)";
// Shown in place of a value the cart did not give.
inline constexpr const char* kNotReadText = "(not read)";

// The connected cart's versions and settings, read anew, one "name: value" line each, for a
// support report; its PINs with their ages. PINs and the RFID facility code are access codes
// and read as kMaskedText unless `showAccessCodes`. A value whose command did not go through
// reads kNotReadText, never as the zero an empty answer would decode to, and `read` is the first
// such failure. `progress` hears how many of its kCartReportParts parts were read and may cancel
// between them; the text then ends with the parts read so far.
struct CartReadout {
  std::string text;
  Outcome read;
};
inline constexpr int kCartReportParts = 5;
CartReadout ReadCartForReport(CartController& controller, bool showAccessCodes,
                              const Progress& progress = {});

}  // namespace molvane
