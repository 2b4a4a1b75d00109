#pragma once
#include <string>
#include <string_view>

namespace molvane {

// PINs and the RFID facility code are access codes. They cross the link in the PIN list's
// commands and answers, in the access log's dump (each access names its PIN) and in the facility
// code's commands, so a copy of the traffic trace that leaves the site leaves those exchanges out.

// True for the command words whose exchanges carry access codes.
bool CarriesAccessCodes(std::string_view commandWord);

// The trace without those exchanges: each is left out from its command up to the next command
// that carries none, and one line in its place says what was left out. A trace that `startsMidway`
// (its beginning was cut off) also loses what comes before its first command, since the command
// those bytes answered is unknown. Since the trace does not tell one port's lines from another's,
// received lines are also judged by their shape, whatever command came before: a line that a
// dump reader would take a record from, or one that holds a command whose argument is an access
// code (a cart that echoes), is left out with the entries that carry its bytes.
std::string RedactTrace(std::string_view trace, bool startsMidway);

}  // namespace molvane
