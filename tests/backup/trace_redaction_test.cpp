// What a support report keeps of the traffic trace: exchanges that carry access codes are left
// out whole, however the trace's entries spread over lines, and the rest stays byte for byte.
#include "backup/trace_redaction.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "link/trace_entries.h"
#include "link/traffic_trace.h"
#include "support/temp_dir.h"

namespace {

using testing_support::ReadFile;

// A trace written by the trace writer itself, cut into the pieces each step added.
struct RecordedTrace {
  testing_support::TempDir dir;
  molvane::TrafficTrace trace{dir.Path()};
  std::string text;

  // Adds one exchange and returns what it added to the file.
  std::string Exchange(const std::string& command, const std::string& answer,
                       const std::string& reply) {
    const std::string line = command + "\r\n";
    trace.Transmitted(reinterpret_cast<const std::uint8_t*>(line.data()),
                      static_cast<int>(line.size()));
    trace.Received(reinterpret_cast<const std::uint8_t*>(answer.data()),
                   static_cast<int>(answer.size()));
    trace.Reply(reply);
    const std::string now = ReadFile(trace.Path());
    const std::string added = now.substr(text.size());
    text = now;
    return added;
  }
};

TEST(TraceRedaction, AccessCodeExchangesGoWholeAndEverythingElseStaysExactly) {
  RecordedTrace recorded;
  recorded.trace.Opened("/dev/ttyUSB0", 38400);
  const std::string opening = ReadFile(recorded.trace.Path());
  recorded.text = opening;
  // Status bytes that start with a letter: a numeric answer reads as a record (see below).
  const std::string status = recorded.Exchange("status", "a0\r\n>", "a0");
  recorded.Exchange("pin_list_dump", "2718281828 1 2 3 4 5 24\r\n>", "2718281828 1 2 3 4 5 24");
  recorded.Exchange("pin_list_add 80417", ">", ">");
  const std::string version = recorded.Exchange("version", std::string("v1\0\n\r", 5), "v1");
  recorded.Exchange("get_rfid_facility", "31337\r\n>", "31337");
  recorded.Exchange("log_dump", "80417 1 0 0 12 2 1 24\r\n>", "80417 1 0 0 12 2 1 24");
  const std::string last = recorded.Exchange(" status", "c1\r\n>", "c1");

  // The entries give the trace back, and each sent entry its bytes, CR LF included.
  const auto entries = molvane::SplitTraceEntries(recorded.text);
  std::string joined;
  int sent = 0;
  for (const auto& entry : entries) {
    joined += entry.text;
    if (entry.kind == molvane::TraceEntry::Kind::Sent) ++sent;
  }
  EXPECT_EQ(joined, recorded.text);
  EXPECT_EQ(sent, 7);
  ASSERT_GT(entries.size(), 2u);
  EXPECT_EQ(entries[1].bytes, "status\r\n");

  EXPECT_EQ(molvane::RedactTrace(recorded.text, false),
            opening + status +
                "[6 trace entries left out here: exchanges that carry access codes "
                "(pin_list_dump, pin_list_add)]\n" +
                version +
                "[6 trace entries left out here: exchanges that carry access codes "
                "(get_rfid_facility, log_dump)]\n" +
                last);

  // A copy that begins inside a PIN command has lost that command's word: up to the next
  // command, nothing of it is kept.
  const std::size_t cut = recorded.text.find("pin_list_add 80417\r\n") + 20;
  const std::string midway = molvane::RedactTrace(recorded.text.substr(cut), true);
  const std::size_t kept = midway.find(version);
  ASSERT_NE(kept, std::string::npos) << midway;
  EXPECT_EQ(midway.substr(0, kept),
            "[4 trace entries left out here: the command they belong to was cut off from this "
            "copy]\n");
}

// Two ports tracing into one file, as the desktop program's cart thread and port scanner do.
struct SharedTrace {
  testing_support::TempDir dir;
  molvane::TrafficTrace cart{dir.Path()};
  molvane::TrafficTrace other{dir.Path()};

  static void Send(molvane::TrafficTrace& port, const std::string& line) {
    port.Transmitted(reinterpret_cast<const std::uint8_t*>(line.data()),
                     static_cast<int>(line.size()));
  }
  // The host reads a reply line one byte at a time: one trace entry per byte.
  static void Receive(molvane::TrafficTrace& port, const std::string& bytes) {
    for (const char byte : bytes) port.Received(reinterpret_cast<const std::uint8_t*>(&byte), 1);
  }
  static void Drain(molvane::TrafficTrace& port, const std::string& bytes) {
    port.Received(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                  static_cast<int>(bytes.size()));
  }
};

// The non-empty lines of text, ended as the host's reader ends them.
std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char c : text + "\r") {
    if (c != '\r' && c != '\n' && c != '>') {
      line += c;
    } else if (!line.empty()) {
      lines.push_back(line);
      line.clear();
    }
  }
  return lines;
}

TEST(TraceRedaction, LinesShapedLikeRecordsGoWhateverCommandAnotherPortSentBefore) {
  SharedTrace t;
  using P = SharedTrace;
  t.cart.Opened("/dev/ttyUSB0", 38400);
  P::Send(t.cart, "pin_list_dump\r\n");
  // The scanner opens a second port meanwhile: the file starts afresh with its probe.
  t.other.Opened("/dev/ttyUSB1", 38400);
  P::Send(t.other, "status\r\n");
  P::Receive(t.cart, "2718281828 1 2 3 4 5 24\r");
  t.cart.Reply("2718281828 1 2 3 4 5 24");
  P::Receive(t.other, "ERR");  // runs into the cart's next record
  P::Receive(t.cart, "4321 2 3 4 5 6 25\r");
  t.cart.Reply("4321 2 3 4 5 6 25");
  P::Receive(t.other, "\r");
  t.other.Reply("ERR");
  P::Receive(t.cart, "\n>");
  t.cart.Reply(">");
  // A cart that echoes sends a PIN's argument back after the probe.
  P::Send(t.cart, "pin_list_add 80417\r\n");
  P::Send(t.other, "status\r\n");
  P::Receive(t.cart, "pin_list_add 80417\r");
  t.cart.Reply("pin_list_add 80417");
  P::Receive(t.other, "ERR\r");
  t.other.Reply("ERR");
  // The facility code is a single number, which a log reader takes for a short record.
  P::Send(t.cart, "get_rfid_facility\r\n");
  P::Send(t.other, "status\r\n");
  P::Receive(t.cart, "31337\r");
  t.cart.Reply("31337");
  // A late record, drained in one read before the next command, with no reply line of its own.
  P::Receive(t.other, "NAK");
  P::Drain(t.cart, "1234 1 2 3 4 5 24\r\n");
  // A status byte that starts with a digit cannot be told from a record either.
  P::Send(t.cart, "status\r\n");
  P::Receive(t.cart, "05\r\nbat 26.4V 87%\r");
  t.cart.Reply("05");
  t.cart.Reply("bat 26.4V 87%");

  const std::string redacted = molvane::RedactTrace(ReadFile(t.cart.Path()), false);
  std::string received, replies;
  std::vector<std::string> sent;
  for (const auto& entry : molvane::SplitTraceEntries(redacted)) {
    if (entry.kind == molvane::TraceEntry::Kind::Received) received += entry.bytes;
    if (entry.kind == molvane::TraceEntry::Kind::Sent) sent.push_back(entry.bytes);
    if (entry.text.starts_with("RX: ")) replies += std::string(entry.text.substr(4));
  }
  EXPECT_EQ(LinesOf(received), (std::vector<std::string>{"ERR", "ERR", "bat 26.4V 87%"}));
  EXPECT_EQ(LinesOf(replies), (std::vector<std::string>{"ERR", "ERR", "bat 26.4V 87%"}));
  EXPECT_EQ(sent, std::vector<std::string>(4, "status\r\n"));
  EXPECT_NE(redacted.find("\n[23 trace entries left out here: lines that read as PIN or log "
                          "records or hold a PIN or facility code command]\n"),
            std::string::npos)
      << redacted;
  EXPECT_NE(redacted.find("\n[1 trace entry left out here: exchanges that carry access codes "
                          "(get_rfid_facility)]\n"),
            std::string::npos);
}

}  // namespace
