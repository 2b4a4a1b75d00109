#pragma once
#include <string>

#include "link/serial_port.h"

namespace molvane {

// Why a named port could not be used, with the fix where there is one; `systemText` is the
// operating system's own word for a cause we have no better one for. A busy port names the
// process that holds it when the system lets us see it, or the programs that usually do.
std::string DescribeOpenError(const std::string& port, OpenError error,
                              const std::string& systemText);

}  // namespace molvane
