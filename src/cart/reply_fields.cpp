#include "cart/reply_fields.h"

namespace molvane {

std::vector<std::string_view> BlankSeparatedItems(std::string_view text) {
  std::vector<std::string_view> items;
  std::size_t at = text.find_first_not_of(" \t");
  while (at != std::string_view::npos) {
    const std::size_t end = text.find_first_of(" \t", at);
    items.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
    at = text.find_first_not_of(" \t", end);
  }
  return items;
}

}  // namespace molvane
