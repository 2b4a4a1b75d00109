#pragma once
#include <string>

#include "app/cart_data.h"
#include "app/outcome.h"
#include "app/progress.h"

namespace molvane {

class CartController;

// "log_dump": the cart's whole access log. The controller's copy is replaced only by a log read
// to its end with every line a record; a read cut short, or a line that is no record, is a
// failure that leaves the copy as it was.
Outcome DumpLog(CartController& controller, const Progress& progress = {});

// "%d:%02d %d/%02d/%d  %s": the Log page's line for an entry; empty past the log.
std::string LogLine(const EventLog& log, int index);

// The log as a tab-separated file with a header line and CR LF line ends, written whole or not
// at all. The success says how many events went.
Outcome ExportLog(const EventLog& log, const std::string& path);

// "log_clear".
Outcome ClearLog(CartController& controller);

}  // namespace molvane
