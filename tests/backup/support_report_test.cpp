// The support report against the simulated cart: access codes only when asked for, and a report
// taken while the desktop program runs leaves its port and a running transfer alone.
#include "backup/support_report.h"

#include <gtest/gtest.h>

#include "app/cart_controller.h"
#include "support/controller_settings.h"
#include "support/sim_fixture.h"
#include "cart/pin_list.h"
#include "cart/event_log.h"
#include "cart/rfid_settings.h"

namespace {

using molvane::SupportReport;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct SupportReportOnSimulatedCart : ::testing::Test {
  std::string Compose(bool showAccessCodes) {
    return SupportReport(fixture.controller, showAccessCodes).Compose(fixture.controller);
  }
  testing_support::SimFixture fixture;
};

TEST_F(SupportReportOnSimulatedCart, AccessCodesAreMaskedAndTheirExchangesLeftOutUnlessAskedFor) {
  ASSERT_TRUE(fixture.Connect());
  molvane::SetRfidFacility(fixture.controller, "31337");
  molvane::DumpPinList(fixture.controller);
  molvane::DumpLog(fixture.controller);  // the log's accesses name their PINs
  const std::string before = fixture.Trace();

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

}  // namespace
