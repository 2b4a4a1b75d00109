#pragma once
#include <string>

#include "app/progress.h"

namespace molvanectl {

// Long work of the core (a backup, a restore, a support report) followed from the terminal.
// From construction on, the first Ctrl-C (or SIGTERM, or SIGHUP: see CatchStopSignals) asks the
// work to stop between two commands and a second one ends the program the ordinary way. On a
// terminal, stderr shows how far it got on one line drawn over; into a file or a pipe nothing is
// added to what the command prints.
class WorkProgress {
 public:
  explicit WorkProgress(std::string what);
  ~WorkProgress();  // ends the line and gives the stop signals back
  WorkProgress(const WorkProgress&) = delete;
  WorkProgress& operator=(const WorkProgress&) = delete;

  const molvane::Progress& Get() const { return progress; }

 private:
  void Show(int done, int total);

  std::string what;
  bool terminal;
  bool shown = false;
  molvane::Progress progress;
};

}  // namespace molvanectl
