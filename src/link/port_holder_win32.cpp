// Windows does not tell an ordinary program which process has a COM port open.
#include "link/port_holder.h"

namespace molvane {

std::vector<PortHolder> FindPortHolders(const std::string&, const std::string&, int) { return {}; }

// Nothing on Windows is known to seize new serial ports by itself.
const std::vector<KnownCulprit>& KnownCulprits() {
  static const std::vector<KnownCulprit> none;
  return none;
}

}  // namespace molvane
