#pragma once
#include <string>
#include <vector>

namespace molvane {

// A process that has a serial device open, as far as the system lets us see: on Linux the
// owner of an open file under /proc (only our own processes unless we are root); elsewhere
// nothing is known.
struct PortHolder {
  int pid = 0;
  std::string name;     // the program's name
  std::string command;  // its command line, arguments separated by blanks
};

// `procRoot` is where the process table is read ("/proc"; tests give a made-up tree). The far end
// of a pseudo-terminal (the process holding its master side, such as the simulated cart) is no
// holder. `ownDescriptor`, when given, is this process's own opening of the device, which is
// not counted either.
std::vector<PortHolder> FindPortHolders(const std::string& devicePath,
                                        const std::string& procRoot = "/proc",
                                        int ownDescriptor = -1);

// Programs that are known to open new serial devices by themselves, and how to stop them (none
// on Windows).
struct KnownCulprit {
  const char* name;
  const char* what;
  const char* stop;
};
const std::vector<KnownCulprit>& KnownCulprits();

// One line for a technician: who holds the port, or which programs usually do and how to stop
// them when the holder cannot be seen.
std::string DescribePortHolders(const std::vector<PortHolder>& holders);

}  // namespace molvane
