#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/cart_data.h"
#include "app/outcome.h"
#include "app/progress.h"

namespace molvane {

class CartController;

inline constexpr const char* kMaxPinsExceeded = "Max number of pins exceeded.";

// "pin_list_dump": the cart's whole list. The controller's copy is replaced only by a list read
// to its end with every line a record; a read cut short, or a line that is no record, is a
// failure that leaves the copy as it was.
Outcome DumpPinList(CartController& controller, const Progress& progress = {});

// The copy's entries: the PIN as "%u" (empty past the list), its age in whole days (-1 past the
// list), the age at an index limited into the list (-1 for index -1 or an empty list).
std::string PinText(const PinList& list, int index);
int PinAgeDays(const PinList& list, int index);
int PinAgeDaysClamped(const PinList& list, int index);
bool ContainsPin(const PinList& list, std::uint32_t pin);

// "pin_list_add": a PIN the copy already holds is not sent (a success with nothing done); a
// full list, or a text that is no PIN, is refused before anything is sent. Success, with
// `done` 1, only when the cart confirmed it; the copy then holds it.
Outcome AddPin(CartController& controller, const std::string& pinText, std::int64_t activationTime);

// Adds each PIN in turn (pasted lines, a file's PINs); PINs the copy already holds are passed
// over. The first that is not added (a full cart, a refusal, a text that is no PIN, the link
// lost) or a cancel stops it: nothing more is sent, and the failure says how many were added,
// how many not, and why. `done` counts the PINs added, `total` those given.
Outcome AddPins(CartController& controller, const std::vector<std::string>& pins,
                const Progress& progress = {});

// "pin_list_remove" with the text's first ten characters (a list line's zero-padded PIN). The
// cart's confirmation takes the PIN out of the copy (`done` 1). The cart answers "error" both
// for a PIN it does not hold and for a removal it refuses, so its list is read again to tell:
// a PIN it does not hold is a success with nothing done; one it still holds, or a list that
// cannot be read, is a failure. Every failure names the PIN.
Outcome RemovePin(CartController& controller, const std::string& pinText);

// Removes the PINs one by one, as the cart has no command to empty its list. A removal that
// fails or changes nothing (a refusal, no answer, the link lost) or a cancel ends it as a
// failure that says how many of how many were removed before it; `done` counts the removed.
Outcome RemoveAllPins(CartController& controller, const Progress& progress = {});

}  // namespace molvane
