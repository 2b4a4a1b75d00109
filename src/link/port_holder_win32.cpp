// Windows does not tell an ordinary program which process has a COM port open.
#include "link/port_holder.h"

namespace molvane {

// Nor is that needed: a COM port is opened without sharing, so a port someone holds is refused
// as busy, never shared unseen.
PortHolderSearch SearchPortHolders(const std::string&, const std::string&, int) { return {}; }

// Nothing on Windows is known to seize new serial ports by itself.
const std::vector<KnownCulprit>& KnownCulprits() {
  static const std::vector<KnownCulprit> none;
  return none;
}

}  // namespace molvane
