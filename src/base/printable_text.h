#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace molvane {

// Text from outside (a cart's reply, a line of a file) as a message or a terminal may show it:
// control characters, NUL and bytes past ASCII as \xNN (a NUL as \0), so that nothing cuts the
// text short or drives the terminal; longer than `maxShown` characters, cut there with
// "... (N characters)" after it.
std::string PrintableText(std::string_view text, std::size_t maxShown = std::string_view::npos);

}  // namespace molvane
