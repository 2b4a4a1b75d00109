#pragma once
#include <functional>
#include <string>

#include "app/outcome.h"
#include "app/progress.h"

namespace molvane {

class CartController;

// How much a dump may hold: the records the cart can keep, and how long one record's line is at
// most, which with the line's speed bounds how long the whole dump may take.
struct DumpBounds {
  int maxRecords;
  int bytesPerRecord;
};

// Reads the record lines of a multi-line dump that has just been requested, up to the cart's
// prompt (also one glued to a record, which is then not a record). Success only at the prompt
// with every line read as a record: `onRecord` says whether it could read one, and a line it
// could not makes the list incomplete, a failure naming that line once the dump has ended. A
// silent link, an empty line, more lines than the cart can hold (with some slack), an overall
// deadline for that many lines at 38400 baud (twice the wire time and three seconds more) or a
// cancel end it early as a failure that says how many records came. Progress hears the count of
// record lines against the most there can be.
Outcome ReadDumpRecords(CartController& controller, const DumpBounds& bounds,
                        const Progress& progress,
                        const std::function<bool(const std::string&)>& onRecord);

}  // namespace molvane
