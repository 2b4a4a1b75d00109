#pragma once
#include <string>
#include <vector>

namespace molvane {

// Where discovery looks: on Linux the sysfs tree and the MOLVANE_PORTS list, on Windows the
// FTDI driver's enumeration in the registry. Tests point it at made-up trees or keys.
struct DiscoverySource {
  std::string sysfsRoot = "/sys";
  std::string modulesRoot = "/lib/modules";  // where the kernel's loadable drivers lie
  std::string kernelRelease;                 // empty: the running kernel's
  bool useEnvironment = true;                // read MOLVANE_PORTS
  std::string extraPorts;                    // colon-separated, used as well (tests)
  std::string registryRoot = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";
};

struct DiscoveryResult {
  bool driverPresent = false;  // false: the FTDI serial driver is neither loaded nor installed
  std::vector<std::string> portNames;  // in discovery order, at most 255
  // The system's list keeps the ports of adapters not plugged in (Windows keeps them in the
  // registry): such a port found missing is no fault worth a word.
  bool listsAbsentPorts = false;
};

DiscoveryResult DiscoverFtdiPorts(const DiscoverySource& source);

}  // namespace molvane
