#include <unistd.h>

#include "fleet/pc_name.h"

namespace molvane {

std::string PcName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

}  // namespace molvane
