#pragma once
#include <string_view>
#include <vector>

namespace molvane {

// The items of a one-line cart report: separated by one or more blanks or tabs, leading ones
// skipped. The views point into the text.
std::vector<std::string_view> BlankSeparatedItems(std::string_view text);

}  // namespace molvane
