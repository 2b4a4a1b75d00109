#pragma once
#include <atomic>
#include <string>

namespace molvane {

class CartController;

// How one display-memory line went: taken, refused ("error" or "unknown cmd" before the prompt,
// every time it was sent), no longer answered, its line closed (unplugged), or cancelled.
enum class LineResult { Taken, Refused, Silent, LineClosed, Canceled };

struct SentLine {
  LineResult result = LineResult::Taken;
  std::string refusal;  // the operator's text for the last refusal ("Error: Unknown.")
};

// Sends one display-memory line and reads replies until the display's prompt '>'. A reply holding
// '<' (the display lost part of the line) is answered with carriage returns until it clears, and
// the line is sent again; '<' counts even beside the prompt. A refusal before the prompt means
// the line was not taken either, and it is sent again within the same bound. Silent when the
// display stops answering (the port was given up after a reply time-out, or the bounds on replies
// and on '<' answers ran out).
SentLine SendBitmapLine(CartController& controller, const std::string& line,
                        const std::atomic<int>& cancel);

}  // namespace molvane
