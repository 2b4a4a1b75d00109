// PINs and the access log through molvanectl against cartsim processes, and files in the
// formats the desktop program exchanges.
#include <gtest/gtest.h>

#include <set>

#include "cli/ctl_process.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CartsimProcess;
using cli_testing::CtlRun;
using cli_testing::Lines;
using cli_testing::RunCtl;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

struct CartRun {
  TempDir dir;
  CtlRun Ctl(const CartsimProcess& cart, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--port", cart.DevicePath()});
    return RunCtl(arguments, dir.Path());
  }
  // The PINs "pins list" prints, without their ages.
  std::set<std::string> Pins(const CartsimProcess& cart) {
    std::set<std::string> pins;
    const CtlRun run = Ctl(cart, {"pins", "list"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const std::string& line : Lines(run.out)) pins.insert(line.substr(0, line.find('\t')));
    return pins;
  }
};

bool EveryLineEndsWithCrLf(const std::string& text) {
  std::size_t lineEnds = 0, crLf = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') continue;
    ++lineEnds;
    if (i > 0 && text[i - 1] == '\r') ++crLf;
  }
  return lineEnds > 0 && lineEnds == crLf && text.back() == '\n';
}

TEST(CtlPinFiles, ExportFromOneCartImportsIntoAnother) {
  CartRun t;
  CartsimProcess source({}, t.dir.Path());  // the seeded cart, with a few PINs
  CartsimProcess target({"--empty"}, t.dir.Path());
  ASSERT_TRUE(source.Started() && target.Started());
  const std::set<std::string> sourcePins = t.Pins(source);
  ASSERT_GE(sourcePins.size(), 2u);

  const CtlRun exported = t.Ctl(source, {"pins", "export", t.dir.File("pins.xls")});
  ASSERT_EQ(exported.exitCode, 0) << exported.err;
  const std::string file = ReadFile(t.dir.File("pins.xls"));
  EXPECT_TRUE(EveryLineEndsWithCrLf(file));
  for (const std::string& line : Lines(file)) {
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 6) << line;
  }

  const CtlRun imported = t.Ctl(target, {"pins", "import", t.dir.File("pins.xls")});
  EXPECT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_NE(imported.out.find("holds " + std::to_string(sourcePins.size()) + " PIN"),
            std::string::npos)
      << imported.out;
  EXPECT_EQ(t.Pins(target), sourcePins);
}

TEST(CtlPinFiles, FileWithAnItemOutOfRangeAddsNothing) {
  CartRun t;
  CartsimProcess cart({"--empty"}, t.dir.Path());
  ASSERT_TRUE(cart.Started());
  WriteFile(t.dir.File("bad.txt"), "11\r\n22\r\n4294967296\r\n");
  const CtlRun run = t.Ctl(cart, {"pins", "import", t.dir.File("bad.txt")});
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
  EXPECT_NE(run.err.find("A value of 4294967296 is out of range in line 3"), std::string::npos)
      << run.err;
  EXPECT_TRUE(t.Pins(cart).empty());

  const CtlRun missing = t.Ctl(cart, {"pins", "import", t.dir.File("none.txt")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
}

TEST(CtlPinFiles, ExportToAFolderThatDoesNotExistFails) {
  CartRun t;
  CartsimProcess cart({}, t.dir.Path());
  ASSERT_TRUE(cart.Started());
  const CtlRun run = t.Ctl(cart, {"pins", "export", t.dir.File("no/such/folder/pins.txt")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("the pin list could not be written to"), std::string::npos) << run.err;
}

TEST(CtlPins, AddRemoveAndClearReportWhatTheCartHolds) {
  CartRun t;
  CartsimProcess cart({"--empty"}, t.dir.Path());
  ASSERT_TRUE(cart.Started());

  const CtlRun added = t.Ctl(cart, {"pins", "add", "0042", "4294967295", "42"});
  EXPECT_EQ(added.exitCode, 0) << added.err;
  EXPECT_NE(added.out.find("holds 2 PIN(s)"), std::string::npos) << added.out;
  const CtlRun listed = t.Ctl(cart, {"pins", "list"});
  EXPECT_EQ(Lines(listed.out), (std::vector<std::string>{"42\t0 days", "4294967295\t0 days"}));

  const CtlRun removed = t.Ctl(cart, {"pins", "remove", "42", "7"});
  EXPECT_EQ(removed.exitCode, 0) << removed.err;
  EXPECT_NE(removed.out.find("PIN 7 was not on the cart."), std::string::npos) << removed.out;
  EXPECT_NE(removed.out.find("PIN 42 removed."), std::string::npos) << removed.out;
  EXPECT_EQ(t.Pins(cart), (std::set<std::string>{"4294967295"}));

  t.Ctl(cart, {"pins", "add", "1", "2", "3"});
  const CtlRun cleared = t.Ctl(cart, {"pins", "clear"});
  EXPECT_EQ(cleared.exitCode, 0) << cleared.err;
  EXPECT_TRUE(t.Pins(cart).empty());
}

TEST(CtlLog, ExportHasTheHeaderAndCrLfLineEnds) {
  CartRun t;
  CartsimProcess cart({}, t.dir.Path());  // the seeded cart has a history
  ASSERT_TRUE(cart.Started());
  const CtlRun listed = t.Ctl(cart, {"log", "list"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const std::size_t events = Lines(listed.out).size();
  ASSERT_GT(events, 0u);

  const CtlRun exported = t.Ctl(cart, {"log", "export", t.dir.File("log.txt")});
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  const std::string file = ReadFile(t.dir.File("log.txt"));
  EXPECT_EQ(file.rfind("Time\tDate\tAction\r\n", 0), 0u);
  EXPECT_TRUE(EveryLineEndsWithCrLf(file));
  EXPECT_EQ(Lines(file).size(), events + 1);

  const CtlRun cleared = t.Ctl(cart, {"log", "clear"});
  EXPECT_EQ(cleared.exitCode, 0) << cleared.err;
  EXPECT_TRUE(Lines(t.Ctl(cart, {"log", "list"}).out).empty());
}

}  // namespace
