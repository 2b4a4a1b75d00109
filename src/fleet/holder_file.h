#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "app/outcome.h"
#include "fleet/fleet_records.h"

namespace molvane {

// The holders named in a PIN file: a spreadsheet of PIN and name saved as text. A line that
// starts with a PIN (as the import reads it) and whose second column holds a name (anything with
// a letter: an exported PIN file's year is no name) gives one holder. Columns are split at tabs;
// a line without a tab is split at the first comma or semicolon after the PIN, as a CSV file
// saved by a spreadsheet is, and a name's surrounding quotes are taken off. A later line for the
// same PIN wins.
std::vector<Holder> HoldersInText(std::string_view content);

// The holders of a PIN file; a failure names the file when it cannot be read.
Result<std::vector<Holder>> ReadHolderFile(const std::string& path);

}  // namespace molvane
