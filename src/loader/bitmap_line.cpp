#include "loader/bitmap_line.h"

#include "app/cart_controller.h"
#include "app/link_texts.h"
#include "app/reply_refusal.h"
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

  SentLine Run() {
    std::string reply;
    if (!Send() || !Read(reply)) return Ended();
    // '<' is looked for before '>': a display that asks again shows its prompt as well ("<>"),
    // and that line was not taken. Nor was one refused before its prompt ("error", then ">").
    // The answer to a resent line is looked at like the first.
    for (;;) {
      if (const std::string text = RefusalText(reply); !text.empty()) {
        refused = true;
        refusal = text;
      }
      if (Holds(reply, '<')) {
        if (!Resend(reply)) return Ended();
      } else if (Holds(reply, '>')) {
        if (!refused) return {};
        if (!SendAgain(reply)) return Ended();
      } else if (!Read(reply)) {
        return Ended();
      }
    }
  }

 private:
  // A line that could not be written is one the display never had: the upload ends as for a
  // display that stopped answering, and the message text says why.
  bool Send() {
    refused = false;
    const Outcome sent = c.SendCommand(line);
    NoteLink(sent);
    SleepMs(kAfterLineMs);
    return static_cast<bool>(sent);
  }

  // A reply counts against the bound; a forgotten port means the display is gone. A cancel
  // request (or the program closing) ends the exchange before the next reply.
  bool Read(std::string& reply) {
    if (cancel.load() != 0 || ++replies > c.GetTiming().bitmapReplyTries) return false;
    // A refusal is looked at by the caller; only a lost link ends the exchange here.
    Result<std::string> read = c.ReadReply();
    NoteLink(read.outcome);
    reply = std::move(read.value);
    return c.CurrentPort() >= 0;
  }

  // An unplugged cable is told apart from a display that stopped answering: the operator's
  // remedy differs.
  void NoteLink(const Outcome& step) {
    if (!step && step.text == texts::kLineClosed) lineClosed = true;
  }

  bool MayResend() {
    exhausted = ++resends > c.GetTiming().bitmapResendLimit;
    return !exhausted;
  }

  bool Resend(std::string& reply) {
    if (!MayResend()) return false;
    while (Holds(reply, '<')) {
      if (!c.SendCommand("\r")) return false;
      SleepMs(kAfterReturnMs);
      if (!Read(reply)) return false;
    }
    return SendAgain(reply, false);
  }

  bool SendAgain(std::string& reply, bool counted = true) {
    if (counted && !MayResend()) return false;
    return Send() && Read(reply);
  }

  SentLine Ended() const {
    if (cancel.load() != 0) return {LineResult::Canceled, {}};
    if (exhausted && refused) return {LineResult::Refused, refusal};
    if (lineClosed) return {LineResult::LineClosed, {}};
    return {LineResult::Silent, {}};
  }

  CartController& c;
  const std::string& line;
  const std::atomic<int>& cancel;
  int replies = 0;
  int resends = 0;
  bool refused = false;    // a refusal came since the line was last sent
  bool exhausted = false;  // the bound on sending it again ran out
  bool lineClosed = false;
  std::string refusal;
};

}  // namespace

SentLine SendBitmapLine(CartController& controller, const std::string& line,
                        const std::atomic<int>& cancel) {
  return LineExchange(controller, line, cancel).Run();
}

}  // namespace molvane
