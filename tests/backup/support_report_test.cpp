// The support report against the simulated cart: access codes only when asked for, and a report
// taken while the desktop program runs leaves its port and a running transfer alone.
#include "backup/support_report.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/cart_controller.h"
#include "cart/event_log.h"
#include "cart/pin_list.h"
#include "cart/rfid_settings.h"
#include "sim/trace_replay.h"
#include "support/controller_settings.h"
#include "support/raw_pty.h"
#include "support/sim_fixture.h"
#include "support/temp_dir.h"

namespace {

using molvane::SupportReport;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct SupportReportOnSimulatedCart : ::testing::Test {
  std::string Compose(bool showAccessCodes) {
    const molvane::Result<molvane::SupportReportText> report =
        SupportReport(fixture.controller, showAccessCodes).Compose(fixture.controller);
    EXPECT_TRUE(report) << report.outcome.text;
    EXPECT_TRUE(report.value.cartRead) << report.value.cartRead.text;
    return report.value.text;
  }
  testing_support::SimFixture fixture;
};

TEST_F(SupportReportOnSimulatedCart, AccessCodesAreMaskedAndTheirExchangesLeftOutUnlessAskedFor) {
  ASSERT_TRUE(fixture.Connect());
  ASSERT_TRUE(molvane::SetRfidFacility(fixture.controller, "31337"));
  ASSERT_TRUE(molvane::DumpPinList(fixture.controller));
  ASSERT_TRUE(molvane::DumpLog(fixture.controller));  // the log's accesses name their PINs
  const std::string before = fixture.Trace();
  // The run before, as the next start of the program keeps it.
  const std::string kept =
      (std::filesystem::path(fixture.controller.TracePath()).parent_path() / "comlog.1.txt")
          .string();
  testing_support::WriteFile(kept, "RX: the last run's failure\n" + before);

  const std::string masked = Compose(false);
  for (const char* code : {"2718281828", "80417", "31337"})
    EXPECT_FALSE(Has(masked, code)) << code << " in:\n" << masked;
  EXPECT_TRUE(Has(masked, "RFID facility code: (masked)\n"));
  EXPECT_TRUE(Has(masked, "PIN list: 5 PIN(s)\n  (masked)\t45 days\n"));
  EXPECT_TRUE(Has(
      masked, "exchanges that carry access codes (set_rfid_facility, pin_list_dump, log_dump)"));
  EXPECT_TRUE(Has(masked, "Cart name: Ward 4 Cart\n"));
  // The open current port is told, not probed again: an opening would have restarted the trace.
  EXPECT_TRUE(Has(masked, fixture.link.DevicePath() + ": cart connected (the current port)\n"));
  EXPECT_EQ(fixture.Trace().substr(0, before.size()), before);
  EXPECT_TRUE(Has(masked, "== comlog.1.txt: " + kept + " ==\n")) << masked;
  EXPECT_TRUE(Has(masked, "RX: the last run's failure\n"));

  const std::string shown = Compose(true);
  EXPECT_TRUE(Has(shown, "RFID facility code: 31337\n"));
  EXPECT_TRUE(Has(shown, "  2718281828\t3 days\n"));
  EXPECT_TRUE(Has(shown, "TX: [len=25], set_rfid_facility 31337\r\n"));
  EXPECT_TRUE(Has(shown, "TX: [len=15], pin_list_dump\r\n"));
}

TEST_F(SupportReportOnSimulatedCart, NothingIsSentWhileATransferRuns) {
  ASSERT_TRUE(fixture.Connect());
  testing_support::HeldTransfer transfer(fixture.controller);
  const std::string before = fixture.Trace();
  const std::string report = Compose(false);
  EXPECT_EQ(fixture.Trace(), before);
  EXPECT_TRUE(Has(report, fixture.link.DevicePath() + ": not probed (a firmware update"));
  EXPECT_TRUE(Has(report, "Not read: a firmware update or bitmap upload is running.\n"));
  transfer.Release();
}

// The scanner probes the other ports while the cart is connected. Their openings add to the
// trace instead of emptying it, so a report still holds the cart's exchanges, and a replay of
// the trace answers as the cart did, not as the port that stayed silent.
TEST_F(SupportReportOnSimulatedCart, ProbingAnotherPortKeepsTheCartsTraffic) {
  testing_support::ScriptedCart silent([](const std::string&) { return std::string(); });
  molvane::CartController& controller = fixture.controller;
  using Source = molvane::DiscoverySource;
  testing_support::SetDiscovery(controller, &Source::sysfsRoot, "/nonexistent");
  testing_support::SetDiscovery(controller, &Source::useEnvironment, false);
  testing_support::SetDiscovery(controller, &Source::extraPorts,
                                fixture.link.DevicePath() + ":" + silent.DevicePath());
  ASSERT_TRUE(controller.ConnectFirstCart());
  ASSERT_TRUE(molvane::DumpPinList(controller));
  controller.ScanPorts();
  ASSERT_EQ(silent.Lines(), std::vector<std::string>{"status"}) << "the other port was probed";

  const std::string trace = fixture.Trace();
  const std::string mark = "[" + silent.DevicePath() + "] ";
  EXPECT_EQ(trace.rfind("OPEN: " + fixture.link.DevicePath() + " @38400\n", 0), 0u) << trace;
  EXPECT_TRUE(Has(trace, "TX: [len=15], pin_list_dump\r\n")) << trace;
  EXPECT_TRUE(Has(trace, mark + "OPEN: " + silent.DevicePath() + " @38400\n")) << trace;
  EXPECT_TRUE(Has(trace, mark + "RX: Timeout\n")) << trace;

  cartsim::TraceReplay replay;
  replay.AddTrace(trace);
  const std::string status = replay.Answer("status");
  EXPECT_TRUE(Has(status, ">")) << status;
  EXPECT_EQ(replay.Answer("status"), status) << "the silent probe is no answer of the cart's";
  EXPECT_TRUE(Has(Compose(true), "TX: [len=15], pin_list_dump\r\n"));
}

}  // namespace
