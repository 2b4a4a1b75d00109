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

// What the process table tells of a device's holders. An ordinary user cannot look into the
// open files of other users' programs, and a modem prober or a braille daemon run by the system
// takes no lock: such a holder goes unseen, and shares the cart's answers with us.
struct PortHolderSearch {
  std::vector<PortHolder> holders;  // seen holding the device
  // Holders may go unseen: some programs' open files are hidden from us (we are not the
  // administrator, or are denied as one). Never for a pseudo-terminal, which no other user's
  // program opens (a simulated cart's).
  bool othersHidden = false;
  int hiddenCount = 0;  // programs whose open files could not be looked into
  // The known culprits (KnownCulprits) among them, which may well hold a new serial device.
  std::vector<PortHolder> hiddenCulprits;
};

// `procRoot` is where the process table is read ("/proc"; tests give a made-up tree). The far end
// of a pseudo-terminal (the process holding its master side, such as the simulated cart) is no
// holder. `ownDescriptor`, when given, is this process's own opening of the device, which is
// not counted either.
PortHolderSearch SearchPortHolders(const std::string& devicePath,
                                   const std::string& procRoot = "/proc", int ownDescriptor = -1);
// The holders seen.
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

// A port nobody was seen holding is used, not refused: as an ordinary user the administrator's
// programs are always hidden, and refusing would leave every port unusable. What we could not
// see is said instead, where the port is described (molvanectl ports, the support report): that
// a holder may be unseen, how to look (sudo fuser -v PORT), and which known culprits run out of
// sight. Empty when nothing is hidden.
std::string DescribeUnseenHolders(const std::string& devicePath, const PortHolderSearch& search);

}  // namespace molvane
