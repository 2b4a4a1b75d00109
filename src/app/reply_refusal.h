#pragma once
#include <string>
#include <string_view>

namespace molvane {

// The operator's text for an answer that refuses its command: "Unknown Command." when it holds
// "unknown cmd", otherwise "Error: Unknown." when it holds "error" (case-sensitive, anywhere in
// the text); empty for any other answer. The first word decides when both are there.
std::string RefusalText(std::string_view reply);

}  // namespace molvane
