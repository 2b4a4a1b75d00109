#pragma once
#include <functional>
#include <string_view>

namespace cartsim {

// How a part of the simulated cart sends bytes back to the host.
using Send = std::function<void(std::string_view bytes)>;

}  // namespace cartsim
