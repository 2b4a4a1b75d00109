#pragma once
#include <nlohmann/json.hpp>

namespace molvanectl {

// Prints one JSON document on stdout, indented, with a line end. Texts from the cart that are
// not valid UTF-8 are printed with the replacement character instead of failing.
void PrintJson(const nlohmann::json& document);

}  // namespace molvanectl
