// molvanectl backup and restore as processes: one cart's backup restored onto another, refused
// without a terminal to ask on unless --yes is given, and the record as one JSON document.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

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

int CommandsSeen(SimFixture& fixture) {
  return fixture.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// A cart that falls silent after the first PIN went in: the restore stops there, exits 1, lists
// what was applied and what was not, and the file it saved first puts the cart back.
TEST(BackupCommands, ARestoreThatStopsListsWhatWasAppliedAndCanBeUndone) {
  SimFixture target(EmptyCart());
  ASSERT_TRUE(target.started);
  target.Cart([](cartsim::CartModel& cart) {
    cart.Pins().Add(11, 0);
    cart.Pins().Add(22, 0);
    return 0;
  });
  const std::string path = target.dir.File("cart.txt");
  ASSERT_EQ(Ctl(target, {"backup", path}).exitCode, 0);
  std::string text = testing_support::ReadFile(path);
  text = Replaced(text, "name = \"Cart\"", "name = \"New\"");
  text.replace(text.find("[pins]"), text.find("[end]") - text.find("[pins]"),
               "[pins]\r\n33\r\n44\r\n\r\n");
  testing_support::WriteFile(path, text);

  // A dry run is the probe and one reading of the cart; a restore reads it twice.
  int seen = CommandsSeen(target);
  const CtlRun dry = Ctl(target, {"--json", "restore", "--dry-run", path});
  ASSERT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_EQ(nlohmann::json::parse(dry.out)["changes"],
            nlohmann::json({"Cart name: \"Cart\" -> \"New\"", "Remove PIN 11", "Remove PIN 22",
                            "Add PIN 33", "Add PIN 44"}));
  const int reading = CommandsSeen(target) - seen - 1;
  seen = CommandsSeen(target);
  target.sim.faults.silentAfter = seen + 1 + 2 * reading + 2;  // the name and PIN 33 go through

  const CtlRun stopped = Ctl(target, {"--json", "restore", "--yes", path});
  EXPECT_EQ(stopped.exitCode, 1);
  EXPECT_EQ(stopped.err, "Error: The restore stopped at pin_list_add: Error: Timeout\n");
  const nlohmann::json document = nlohmann::json::parse(stopped.out);
  EXPECT_EQ(document["error"], "Error: The restore stopped at pin_list_add: Error: Timeout");
  EXPECT_EQ(document["applied"], nlohmann::json({"Cart name: \"Cart\" -> \"New\"", "Add PIN 33"}));
  // The silent cart could not be asked whether it took PIN 44.
  EXPECT_EQ(document["not_confirmed"], nlohmann::json({"Add PIN 44"}));
  EXPECT_EQ(document["not_applied"], nlohmann::json({"Remove PIN 11", "Remove PIN 22"}));
  EXPECT_EQ(document["read_back"], false);
  EXPECT_EQ(PinsOf(target), (std::set<std::uint32_t>{11, 22, 33}));

  target.sim.faults.silentAfter = -1;
  const std::string undo = document["undo_file"];
  const CtlRun undone = Ctl(target, {"restore", "--yes", undo});
  EXPECT_EQ(undone.exitCode, 0) << undone.err;
  EXPECT_NE(undone.out.find("Restore complete"), std::string::npos) << undone.out;
  EXPECT_EQ(PinsOf(target), (std::set<std::uint32_t>{11, 22}));
  EXPECT_EQ(target.Cart([](cartsim::CartModel& cart) { return cart.Settings().name; }), "Cart");
}

// A cart whose lock times and badge format differ from its backup's, cut while they are sent.
// What it holds afterwards is told setting by setting: a command carried out whose answer was
// lost is found applied when the cart answers again and is read back; one that a silent cart
// never confirmed is said to be so.
TEST(BackupCommands, ASettingOfSeveralCommandsCutMidwayIsToldCommandByCommand) {
  struct Cut {
    const char* what;
    bool loseOneAnswer;  // otherwise the cart falls silent
    int at;              // the sending's command
    nlohmann::json applied, partly, notConfirmed, notApplied;
    bool readBack;
    int mainMs, sideMs;
  };
  const std::string main = "Main lock activation (ms): 250 -> 500";
  const std::string side = "Side lock activation (ms): 300 -> 600";
  const std::string mask = "RFID mask: PFFFFFFFFBBBBBBBBBBBBBBBBP -> PFFBBBBP";
  const std::string bits = "RFID bits: 26 -> 8";
  const std::string facility = "Facility code: 0 -> 123";
  const Cut cuts[] = {
      {"the main lock's answer lost",
       true,
       1,
       nlohmann::json::array(),
       {main + " (set_main_lock_active: applied)", side + " (set_side_lock_active: not applied)"},
       nlohmann::json::array(),
       {mask, bits, facility},
       true,
       500,
       300},
      {"silent from the bits on",
       false,
       4,
       {main, side},
       {mask + " (set_rfid_mask: applied)", bits + " (set_rfid_bits: sent but not confirmed)",
        facility + " (set_rfid_facility: not applied)"},
       nlohmann::json::array(),
       nlohmann::json::array(),
       false,
       500,
       600},
  };
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.what);
    SimFixture target(EmptyCart());
    ASSERT_TRUE(target.started);
    const std::string path = target.dir.File("cart.txt");
    ASSERT_EQ(Ctl(target, {"backup", path}).exitCode, 0);
    std::string text = testing_support::ReadFile(path);
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"main_activation_ms = 250", "main_activation_ms = 500"},
             {"side_activation_ms = 300", "side_activation_ms = 600"},
             {"rfid_mask = PFFFFFFFFBBBBBBBBBBBBBBBBP", "rfid_mask = PFFBBBBP"},
             {"rfid_bits = 26", "rfid_bits = 8"},
             {"facility_code = 0", "facility_code = 123"}}) {
      ASSERT_NE(text.find(from), std::string::npos) << from;
      text = Replaced(text, from, to);
    }
    testing_support::WriteFile(path, text);

    int seen = CommandsSeen(target);
    ASSERT_EQ(Ctl(target, {"restore", "--dry-run", path}).exitCode, 0);
    const int reading = CommandsSeen(target) - seen - 1;
    const int sending = CommandsSeen(target) + 1 + 2 * reading;
    if (cut.loseOneAnswer) {
      target.sim.faults.loseAnswerOf = sending + cut.at;
    } else {
      target.sim.faults.silentAfter = sending + cut.at - 1;
    }
    const CtlRun run = Ctl(target, {"--json", "restore", "--yes", path});
    EXPECT_EQ(run.exitCode, 1);
    const nlohmann::json document = nlohmann::json::parse(run.out);
    EXPECT_EQ(document["applied"], cut.applied);
    EXPECT_EQ(document["partly_applied"], cut.partly);
    EXPECT_EQ(document["not_confirmed"], cut.notConfirmed);
    EXPECT_EQ(document["not_applied"], cut.notApplied);
    EXPECT_EQ(document["read_back"], cut.readBack);
    const auto locks = [](cartsim::CartModel& cart) {
      return std::pair{cart.Settings().mainLockMs, cart.Settings().sideLockMs};
    };
    EXPECT_EQ(target.Cart(locks), std::pair(cut.mainMs, cut.sideMs));
  }
}

// A restore told to stop by SIGTERM (a script's or a service manager's kill) or SIGHUP (its
// terminal closed) stops between two PINs as Ctrl-C stops it, and says what it did.
TEST(BackupCommands, SigtermAndSighupStopARestoreWithItsOutcome) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    SimFixture target(EmptyCart());
    ASSERT_TRUE(target.started);
    const std::string path = target.dir.File("cart.txt");
    ASSERT_EQ(Ctl(target, {"backup", path}).exitCode, 0);
    std::string pins;
    for (int pin = 1000; pin < 1100; ++pin) pins += std::to_string(pin) + "\r\n";
    std::string text = testing_support::ReadFile(path);
    text.insert(text.find("[end]"), pins);
    testing_support::WriteFile(path, text);

    const CtlRun run = cli_testing::RunCtlSignalled(
        {"--port", target.link.DevicePath(), "restore", "--yes", path}, target.dir.Path(), signal,
        [&target](const std::string&) { return PinsOf(target).size() >= 3; });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Error: The restore stopped: Cancelled.\n");
    const std::size_t added = PinsOf(target).size();
    EXPECT_LT(added, 100u);
    EXPECT_NE(run.out.find("  Add PIN " + std::to_string(1000 + added - 1) +
                           "\nNot applied:\n  Add PIN " + std::to_string(1000 + added) + "\n"),
              std::string::npos)
        << run.out;
  }
}

// One backup restored onto six carts at once, as a technician servicing a fleet does from six
// terminals: within one second all want the same undo file name. Each gets a file of its own,
// holding its own cart.
TEST(BackupCommands, RestoresOfOneFileAtOnceEachKeepTheirOwnCart) {
  StdinFromNull noTerminal;
  SimFixture source;
  ASSERT_TRUE(source.started);
  const std::string path = source.dir.File("cart.txt");
  ASSERT_EQ(Ctl(source, {"backup", path}).exitCode, 0);
  constexpr int kCarts = 6;
  std::vector<std::unique_ptr<SimFixture>> carts;
  for (std::uint32_t i = 0; i < kCarts; ++i) {
    carts.push_back(std::make_unique<SimFixture>(EmptyCart()));
    ASSERT_TRUE(carts.back()->started);
    carts.back()->Cart([i](cartsim::CartModel& cart) { return cart.Pins().Add(9000 + i, 0); });
  }
  std::vector<CtlRun> runs(kCarts);
  std::vector<std::thread> restores;
  for (int i = 0; i < kCarts; ++i) {
    restores.emplace_back([&, i] {
      runs[i] = Ctl(*carts[i], {"--json", "restore", "--yes", path});
    });
  }
  for (std::thread& restore : restores) restore.join();

  std::set<std::string> undoFiles;
  for (int i = 0; i < kCarts; ++i) {
    ASSERT_EQ(runs[i].exitCode, 0) << runs[i].err;
    const std::string undo = nlohmann::json::parse(runs[i].out)["undo_file"];
    undoFiles.insert(undo);
    const std::string kept = testing_support::ReadFile(undo);
    for (int other = 0; other < kCarts; ++other) {
      EXPECT_EQ(kept.find("\n" + std::to_string(9000 + other) + "\t") != std::string::npos,
                other == i)
          << "cart " << i << "'s undo file " << undo << ", PIN of cart " << other;
    }
  }
  EXPECT_EQ(undoFiles.size(), 6u);
  int filesBeside = 0;
  for (const auto& entry : std::filesystem::directory_iterator(source.dir.Path()))
    filesBeside += entry.path().filename().string().find(".before-restore-") != std::string::npos;
  EXPECT_EQ(filesBeside, 6);
}

}  // namespace
