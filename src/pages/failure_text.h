#pragma once
#include <string>

namespace molvane {

// What the technician reads when something failed: what was refused or failed, the failure's own
// words, and, where there is something to do about it, what to do next. `action` names what was
// asked for ("Lift Up", "Reading the PIN list"); without one the sentence speaks of the cart.
//
//   FailureText("Set RTC", "Error: Timeout") == "Set RTC failed: the cart did not answer
//   (Error: Timeout). Check the cable; if the cart stays silent, unplug it and plug it in again."
//
// A failure that already says it all in words of its own is only prefixed with the action.
std::string FailureText(const std::string& action, const std::string& failure);

// A file that could not be written: the failure, and where to look.
std::string FileWriteFailureText(const std::string& action, const std::string& failure);

// The cart took the command but answered with its refusal ("error").
bool IsRefusal(const std::string& failure);

}  // namespace molvane
