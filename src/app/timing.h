#pragma once

namespace molvane {

// The fixed pauses and time-outs of the link, the bootloader and the display.
// Tests may shorten the long ones; the defaults are what a real cart needs.
struct Timing {
  int commandPauseMs = 30;   // after every command line, and before the echo read
  int replyIdlePolls = 100;  // ReadLine gives up after this many empty 10 ms polls
  int replyPollMs = 10;
  int probeLineMs = 2000;          // bound on one line of the port probe, however bytes come
  int probeRestMs = 300;           // bound on the rest of the answer to the probe, up to ">"
  int replyLineMs = 3000;          // bound on one reply line of a command
  int versionPauseMs = 100;        // "version" and "get_ps_type" answer slowly
  int scanIntervalMs = 1000;       // port scanner pause between passes
  int bootloaderWaitMs = 5000;     // budget for the bootloader's 'U'
  int purgeBudgetMs = 1000;        // bound on the purge of 'U's after ours (none on the wire)
  int headerAckTimeoutMs = 10000;  // bound on the header's '!' (none on the wire protocol)
  int headerAttempts = 20;         // bound on restarted header exchanges
  int pageAckTimeoutMs = 5000;     // bound on one page's acknowledgement
  int bitmapSettleMs = 10000;      // the display stores the bitmap after "er 256"
  int bitmapReplyTries = 50;       // bound on replies read for one bitmap line
  int bitmapResendLimit = 20;      // bound on '<' answers for one bitmap line
  int gasGaugeWaitSeconds = 15;
  int titleSaveWaitMs = 2000;  // after the title's upload has started
};

}  // namespace molvane
