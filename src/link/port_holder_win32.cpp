// Windows does not tell an ordinary program which process has a COM port open.
#include "link/port_holder.h"

namespace molvane {

std::vector<PortHolder> FindPortHolders(const std::string&, const std::string&) { return {}; }

}  // namespace molvane
