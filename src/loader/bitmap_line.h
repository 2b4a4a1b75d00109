#pragma once
#include <atomic>
#include <string>

namespace molvane {

class CartController;

// Sends one display-memory line and reads replies until the display's prompt '>'. A reply holding
// '<' (the display lost part of the line) is answered with carriage returns until it clears, and
// the line is sent again; '<' counts even beside the prompt. False when the display stops
// answering (the port was given up after a reply time-out, or the bounds on replies and resends
// ran out) or `cancel` is raised.
bool SendBitmapLine(CartController& controller, const std::string& line,
                    const std::atomic<int>& cancel);

}  // namespace molvane
