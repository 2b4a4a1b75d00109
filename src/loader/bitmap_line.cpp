#include "loader/bitmap_line.h"

#include "app/cart_controller.h"
#include "loader/port_wait.h"

namespace molvane {
namespace {

constexpr int kAfterLineMs = 200;
constexpr int kAfterReturnMs = 50;

bool Holds(const std::string& reply, char c) { return reply.find(c) != std::string::npos; }

class LineExchange {
 public:
  LineExchange(CartController& c, const std::string& line, const std::atomic<int>& cancel)
      : c(c), line(line), cancel(cancel) {}

  bool Run() {
    Send();
    std::string reply;
    if (!Read(reply)) return false;
    // '<' is looked for before '>': a display that asks again shows its prompt as well ("<>"),
    // and that line was not taken. The answer to a resent line is looked at like the first.
    for (;;) {
      if (Holds(reply, '<')) {
        if (!Resend(reply)) return false;
      } else if (Holds(reply, '>')) {
        return true;
      } else if (!Read(reply)) {
        return false;
      }
    }
  }

 private:
  void Send() {
    c.SendCommand(line);
    SleepMs(kAfterLineMs);
  }

  // A reply counts against the bound; a forgotten port means the display is gone. A cancel
  // request (or the program closing) ends the exchange before the next reply.
  bool Read(std::string& reply) {
    if (cancel.load() != 0 || ++replies > c.GetTiming().bitmapReplyTries) return false;
    reply = c.ReadReply();
    return c.CurrentPort() >= 0;
  }

  bool Resend(std::string& reply) {
    if (++resends > c.GetTiming().bitmapResendLimit) return false;
    while (Holds(reply, '<')) {
      c.SendCommand("\r");
      SleepMs(kAfterReturnMs);
      if (!Read(reply)) return false;
    }
    Send();
    return Read(reply);
  }

  CartController& c;
  const std::string& line;
  const std::atomic<int>& cancel;
  int replies = 0;
  int resends = 0;
};

}  // namespace

bool SendBitmapLine(CartController& controller, const std::string& line,
                    const std::atomic<int>& cancel) {
  return LineExchange(controller, line, cancel).Run();
}

}  // namespace molvane
