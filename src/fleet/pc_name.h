#pragma once
#include <string>

namespace molvane {

// This PC's name on the network, as the fleet record says where a cart was serviced; empty when
// the system names none.
std::string PcName();

}  // namespace molvane
