#pragma once
#include <string>
#include <vector>

namespace molvane {

// Where discovery looks: on Linux the sysfs tree and the MOLVANE_PORTS list, on Windows the
// FTDI driver's enumeration in the registry. Tests point it at made-up trees or keys.
struct DiscoverySource {
  std::string sysfsRoot = "/sys";
  bool useEnvironment = true;        // read MOLVANE_PORTS
  std::string extraPorts;            // colon-separated, used as well (tests)
  std::string registryRoot = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";
};

struct DiscoveryResult {
  bool driverPresent = false;        // false: the FTDI serial driver is not there at all
  std::vector<std::string> portNames;  // in discovery order, at most 255
};

DiscoveryResult DiscoverFtdiPorts(const DiscoverySource& source);

}  // namespace molvane
