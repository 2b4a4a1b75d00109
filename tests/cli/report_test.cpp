// molvanectl report as a process against cartsim: the file it writes, with access codes only
// when asked for.
#include <gtest/gtest.h>

#include "cli/ctl_process.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::RunCtl;
using testing_support::ReadFile;
using testing_support::TempDir;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CtlReport, WritesTheReportWithAccessCodesOnlyWhenAskedFor) {
  TempDir dir;
  cli_testing::CartsimProcess cart({}, dir.Path());
  ASSERT_TRUE(cart.Started());
  const std::string port = cart.DevicePath();
  ASSERT_EQ(RunCtl({"--port", port, "pins", "list"}, dir.Path()).exitCode, 0);

  const auto masked = RunCtl({"--port", port, "report", "masked.txt"}, dir.Path());
  EXPECT_EQ(masked.exitCode, 0) << masked.err;
  EXPECT_EQ(masked.out, "The support report was saved to masked.txt.\n");
  const std::string report = ReadFile(dir.File("masked.txt"));
  EXPECT_FALSE(Has(report, "2718281828")) << report;
  EXPECT_TRUE(Has(report, port + ": cart connected (the current port)\n"));
  EXPECT_TRUE(Has(report, "PIN list: 5 PIN(s)\n"));
  // The trace copy is the one the earlier run left: its PIN list exchange is named, not shown.
  EXPECT_TRUE(Has(report, "exchanges that carry access codes (pin_list_dump)]"));

  const auto shown = RunCtl({"--port", port, "report", "--include-pins", "shown.txt"}, dir.Path());
  EXPECT_EQ(shown.exitCode, 0) << shown.err;
  const std::string full = ReadFile(dir.File("shown.txt"));
  EXPECT_TRUE(Has(full, "  2718281828\t3 days\n"));
  EXPECT_TRUE(Has(full, "RX: 2718281828 "));  // the last run's own PIN list dump, in the trace

  const auto unwritable = RunCtl({"--port", port, "report", dir.File("none/r.txt")}, dir.Path());
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_EQ(unwritable.err,
            "Error: The support report could not be written to " + dir.File("none/r.txt") + "\n");
}

// A cart that falls silent while it is read: the report is still written, but its first lines,
// the exit code and the screen say that the cart could not be read, and every value it did not
// give is marked, never shown as the zero an empty answer decodes to.
TEST(CtlReport, ACartThatCouldNotBeReadIsSaidFirstAndItsValuesMarked) {
  TempDir dir;
  // The probe, the versions and the name are answered; the serial number is not.
  cli_testing::CartsimProcess cart({"--silent-after", "3"}, dir.Path());
  ASSERT_TRUE(cart.Started());
  const auto run = RunCtl({"--port", cart.DevicePath(), "report", "r.txt"}, dir.Path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "Error: The cart could not be read (Error: Timeout). The support report was saved to "
            "r.txt; it marks what was not read.\n");
  const std::string report = ReadFile(dir.File("r.txt"));
  const auto lines = cli_testing::Lines(report);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1],
            "The cart could not be read (Error: Timeout). What it did not give is marked (not "
            "read).");
  EXPECT_FALSE(Has(report, "Cart name: (not read)\n")) << report;
  EXPECT_FALSE(Has(report, "Firmware version 1: (not read)\n")) << report;
  for (const char* unread :
       {"Serial number", "Power supply", "Main lock activation", "RFID facility code",
        "Lift maximum up current", "Lift minimum battery voltage", "Drawer configuration",
        "Lock cycle count", "PIN list"})
    EXPECT_TRUE(Has(report, std::string(unread) + ": (not read)\n")) << unread << "\n" << report;
  EXPECT_FALSE(Has(report, " 0.0 A\n")) << report;
  EXPECT_FALSE(Has(report, "0x00")) << report;
}

}  // namespace
