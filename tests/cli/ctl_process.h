#pragma once
#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace cli_testing {

struct CtlRun {
  int exitCode = -1;  // -1 when the program did not end by itself within the bound
  std::string out;
  std::string err;
};

// Runs molvanectl in `folder` (where its traffic trace goes) with MOLVANE_PORTS removed from the
// environment unless `environment` sets it, and the fleet store off unless it sets MOLVANE_FLEET.
// The bound only catches a hang.
CtlRun RunCtl(const std::vector<std::string>& arguments, const std::string& folder,
              const std::map<std::string, std::string>& environment = {});

// RunCtl with another copy of molvanectl (one in a folder of its own: its settings folder).
CtlRun RunCtlAt(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& folder,
                const std::map<std::string, std::string>& environment = {});

// RunCtl, sending `signal` once as soon as `when` holds; it is asked with the standard output
// so far whenever something arrives, and a few times a second meanwhile.
CtlRun RunCtlSignalled(const std::vector<std::string>& arguments, const std::string& folder,
                       int signal, const std::function<bool(const std::string& out)>& when);

// A cartsim process on its own pseudo-terminal, ended with SIGTERM when the object goes.
class CartsimProcess {
 public:
  CartsimProcess(const std::vector<std::string>& options, const std::string& folder);
  ~CartsimProcess();
  CartsimProcess(const CartsimProcess&) = delete;
  CartsimProcess& operator=(const CartsimProcess&) = delete;

  bool Started() const { return !devicePath.empty(); }
  const std::string& DevicePath() const { return devicePath; }
  // Ends the process and waits for it, so that a --state file is complete.
  void Stop();

 private:
  pid_t pid = -1;
  int outFd = -1;
  std::string devicePath;
};

// The non-empty lines of a text, without line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace cli_testing
