#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/cart_data.h"
#include "app/outcome.h"
#include "app/progress.h"

namespace molvane {

class CartController;

// No PIN list comes near this size (128 PINs, or a spreadsheet of them with its dates); a larger
// file is something else and is refused before it is read.
inline constexpr std::size_t kMaxPinFileBytes = 1024 * 1024;

// One line of a PIN list file as the import sees it.
struct PinFileLine {
  int lineNumber = 0;   // as the operator counts it, see SplitPinFile
  std::string item;     // first run of characters that are not blanks, tabs or line ends
  bool hasPin = false;  // the line starts (after blanks and tabs) with a decimal number
  std::uint32_t pin = 0;
};

// Lines end with LF or CR LF. Line numbers count in pieces of at most 254 characters (a line end
// counting as one), the way the file has always been read, so that a message names the same line
// number as before; the item and the PIN come from the start of the whole line.
std::vector<PinFileLine> SplitPinFile(std::string_view content);

// False when the item cannot be a PIN of 32 bits: longer than ten characters, or ten characters
// worth 4294967296 or more.
bool PinItemInRange(std::string_view item);

// The item as a message may quote it: at most a few characters, anything but printable ASCII
// shown as '?', so that a binary file cannot fill the message or drive the terminal.
std::string QuotedItem(std::string_view item);

// "%u\t%u\t%u\t%u\t%u\t%u\t%u" and CR LF: PIN, year, month, day, hour, minute, second.
std::string PinFileRecord(const PinEntry& entry);

inline constexpr const char* kPinListSaved = "Pin List Saved Successfully.";

// The list as a PIN list file, written whole or not at all; the success says how many went.
Outcome ExportPinList(const PinList& list, const std::string& path);

// Checks the whole file before the first PIN is sent, so a bad file changes nothing. Then adds
// the PIN at the start of each line; PINs the cart already holds are passed over. The first
// PIN not added (a full cart, a refusal, the link lost) or a cancel stops the import: nothing
// more is sent, and the failure says how many were added, how many not, and why. `done` counts
// the PINs added, `total` the file's PINs.
Outcome ImportPinList(CartController& controller, const std::string& path,
                      const Progress& progress = {});

}  // namespace molvane
