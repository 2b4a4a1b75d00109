// molvanectl backup and restore as processes: one cart's backup restored onto another, refused
// without a terminal to ask on unless --yes is given, and the record as one JSON document.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <set>

#include "cli/ctl_process.h"
#include "support/sim_fixture.h"

namespace {

using testing_support::EmptyCart;

using cli_testing::CtlRun;
using testing_support::SimFixture;

// The programs run here inherit standard input: it must be no terminal, whatever ran the tests.
class StdinFromNull {
 public:
  StdinFromNull() : saved(::dup(STDIN_FILENO)) {
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);
    ::close(null);
  }
  ~StdinFromNull() {
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
  }
  StdinFromNull(const StdinFromNull&) = delete;
  StdinFromNull& operator=(const StdinFromNull&) = delete;

 private:
  int saved;
};

CtlRun Ctl(SimFixture& cart, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"--port", cart.link.DevicePath()});
  return cli_testing::RunCtl(arguments, cart.dir.Path());
}

std::set<std::uint32_t> PinsOf(SimFixture& fixture) {
  return fixture.Cart([](cartsim::CartModel& cart) {
    std::set<std::uint32_t> pins;
    for (int i = 0; i < cart.Pins().Count(); ++i) pins.insert(cart.Pins().At(i)->pin);
    return pins;
  });
}

TEST(BackupCommands, OneCartsBackupRestoredOntoAnother) {
  StdinFromNull noTerminal;
  SimFixture source;
  SimFixture target(EmptyCart());
  ASSERT_TRUE(source.started && target.started);
  const std::string path = source.dir.File("cart.txt");

  const CtlRun backup = Ctl(source, {"backup", path});
  ASSERT_EQ(backup.exitCode, 0) << backup.err;
  EXPECT_NE(backup.out.find("written to " + path), std::string::npos) << backup.out;

  const CtlRun unasked = Ctl(target, {"restore", path});
  EXPECT_EQ(unasked.exitCode, 1);
  EXPECT_NE(unasked.out.find("  Add PIN 1234\n"), std::string::npos) << unasked.out;
  EXPECT_NE(unasked.err.find("nothing was sent: give --yes"), std::string::npos) << unasked.err;
  EXPECT_TRUE(PinsOf(target).empty());

  const CtlRun restore = Ctl(target, {"restore", "--yes", path});
  EXPECT_EQ(restore.exitCode, 0) << restore.err;
  EXPECT_NE(restore.out.find("Restore complete"), std::string::npos) << restore.out;
  EXPECT_EQ(PinsOf(target), PinsOf(source));

  const CtlRun record = Ctl(target, {"--json", "backup", "--dry-run"});
  ASSERT_EQ(record.exitCode, 0) << record.err;
  const nlohmann::json document = nlohmann::json::parse(record.out);
  EXPECT_EQ(document["version"], 1);
  EXPECT_EQ(document["cart"]["name"],
            source.Cart([](cartsim::CartModel& cart) { return cart.Settings().name; }));
  EXPECT_EQ(document["lift"]["min_battery_volts"], 23.0);
  EXPECT_EQ(document["pins"].size(), PinsOf(source).size());
}

}  // namespace
