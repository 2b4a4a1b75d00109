#include <windows.h>

#include "fleet/pc_name.h"

namespace molvane {

std::string PcName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  if (!::GetComputerNameA(name, &size)) return {};
  return std::string(name, size);
}

}  // namespace molvane
