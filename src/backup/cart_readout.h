#pragma once
#include <string>

#include "app/progress.h"

namespace molvane {

class CartController;

// Shown in place of an access code that is kept out of a report.
inline constexpr const char* kMaskedText = "(masked)";

// The connected cart's versions and settings, read anew, one "name: value" line each, for a
// support report; its PINs with their ages. PINs and the RFID facility code are access codes
// and read as kMaskedText unless `showAccessCodes`. When a command failed, a last line names the
// first failure, so a value that reads empty is not taken for the cart's. `progress` hears how
// many of its kCartReportParts parts were read and may cancel between them; the text then ends
// with the parts read so far.
inline constexpr int kCartReportParts = 5;
std::string ReadCartForReport(CartController& controller, bool showAccessCodes,
                              const Progress& progress = {});

}  // namespace molvane
