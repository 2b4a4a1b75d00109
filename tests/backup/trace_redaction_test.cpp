// What a support report keeps of the traffic trace: exchanges that carry access codes are left
// out whole, however the trace's entries spread over lines, and the rest stays byte for byte.
#include "backup/trace_redaction.h"

#include <gtest/gtest.h>

#include <cstdint>

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
  const std::string status = recorded.Exchange("status", "00\r\n>", "00");
  recorded.Exchange("pin_list_dump", "2718281828 1 2 3 4 5 24\r\n>", "2718281828 1 2 3 4 5 24");
  recorded.Exchange("pin_list_add 80417", ">", ">");
  const std::string version = recorded.Exchange("version", std::string("v1\0\n\r", 5), "v1");
  recorded.Exchange("get_rfid_facility", "31337\r\n>", "31337");
  recorded.Exchange("log_dump", "80417 1 0 0 12 2 1 24\r\n>", "80417 1 0 0 12 2 1 24");
  const std::string last = recorded.Exchange(" status", "01\r\n>", "01");

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

}  // namespace
