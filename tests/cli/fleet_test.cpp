// molvanectl's fleet record as processes: what a visit leaves in the store, the log kept beyond
// a clear, a clear refused when the log could not be archived, and a site's PostgreSQL server
// shared by two programs at once and stopped in the middle of an archive.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/ctl_process.h"
#include "support/eventually.h"
#include "support/postgres_server.h"
#include "support/sim_fixture.h"

namespace {

using cli_testing::CtlRun;
using nlohmann::json;
using testing_support::SimFixture;

constexpr const char* kSerial = "MV-20417";  // the simulated cart's

// molvanectl copied into a folder of its own, which is then its settings folder: where the
// embedded store, its outbox and Molvane.cfg go, away from the build's folder.
struct PortableCtl {
  explicit PortableCtl(const std::string& folder) : path(folder + "/molvanectl") {
    std::filesystem::copy_file(MOLVANE_CTL_PATH, path);
  }
  CtlRun Run(SimFixture& cart, std::vector<std::string> arguments,
             std::map<std::string, std::string> environment = {{"MOLVANE_FLEET", ""}}) const {
    arguments.insert(arguments.begin(), {"--port", cart.link.DevicePath()});
    return cli_testing::RunCtlAt(path, arguments, cart.dir.Path(), environment);
  }
  // A command without a cart.
  CtlRun Run(const std::string& folder, const std::vector<std::string>& arguments,
             std::map<std::string, std::string> environment = {{"MOLVANE_FLEET", ""}}) const {
    return cli_testing::RunCtlAt(path, arguments, folder, environment);
  }
  std::string path;
};

int CartEvents(SimFixture& cart) {
  return cart.Cart([](cartsim::CartModel& c) { return c.Events().Count(); });
}

json Document(const CtlRun& run) {
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return json::parse(run.out, nullptr, false);
}

TEST(CtlFleet, AVisitIsRecordedAndTheLogOutlivesItsClear) {
  SimFixture cart;
  ASSERT_TRUE(cart.started);
  const PortableCtl ctl(cart.dir.Path());
  const std::string names = cart.dir.File("staff.txt");
  testing_support::WriteFile(names, "PIN\tName\r\n555\tAnn Smith\r\n1234\tBob Jones\r\n");

  const CtlRun import = ctl.Run(cart, {"pins", "import", names});
  ASSERT_EQ(import.exitCode, 0) << import.err;
  EXPECT_NE(import.out.find("2 holder name(s) kept in the fleet store."), std::string::npos)
      << import.out;
  const int before = CartEvents(cart);
  ASSERT_EQ(ctl.Run(cart, {"log", "list"}).exitCode, 0);
  ASSERT_TRUE(cart.Cart([](cartsim::CartModel& c) { return c.EnterPinOnKeypad(555); }));
  const CtlRun cleared = ctl.Run(cart, {"log", "clear"});
  ASSERT_EQ(cleared.exitCode, 0) << cleared.err;
  EXPECT_EQ(cleared.err, "");
  EXPECT_EQ(CartEvents(cart), 0);
  const std::string backup = cart.dir.File("cart.txt");
  ASSERT_EQ(ctl.Run(cart, {"backup", backup}).exitCode, 0);

  const json log =
      Document(ctl.Run(cart.dir.Path(), {"--json", "fleet", "log", kSerial, "--limit", "0"}));
  ASSERT_EQ(log["events"].size(), static_cast<std::size_t>(before + 1)) << log.dump(1);
  EXPECT_EQ(log["events"].back()["action"], "accessed pin: 555");
  EXPECT_EQ(log["events"].back()["holder"], "Ann Smith");
  const json ann = Document(
      ctl.Run(cart.dir.Path(), {"--json", "fleet", "log", kSerial, "--holder", "ann smith"}));
  EXPECT_EQ(ann["events"].size(), 1u);

  const json list = Document(ctl.Run(cart.dir.Path(), {"--json", "fleet", "list"}));
  ASSERT_EQ(list["carts"].size(), 1u);
  const json& record = list["carts"][0];
  EXPECT_EQ(record["serial_number"], kSerial);
  EXPECT_EQ(record["name"], cart.Cart([](cartsim::CartModel& c) { return c.Settings().name; }));
  EXPECT_EQ(record["pin_count"], cart.Cart([](cartsim::CartModel& c) { return c.Pins().Count(); }));
  EXPECT_EQ(record["archived_events"], before + 1);
  EXPECT_EQ(record["last_backup"]["file"], backup);
  EXPECT_TRUE(std::filesystem::exists(cart.dir.File("MolvaneFleet.db")));
  EXPECT_EQ(std::filesystem::status(cart.dir.File("MolvaneFleet.db")).permissions() &
                std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(CtlFleet, AClearIsRefusedWhenTheLogCannotBeArchived) {
  SimFixture cart;
  ASSERT_TRUE(cart.started);
  const PortableCtl ctl(cart.dir.Path());
  const std::string notAStore = cart.dir.File("MolvaneFleet.db");
  testing_support::WriteFile(notAStore, "not a database\n");
  const int before = CartEvents(cart);

  const CtlRun refused = ctl.Run(cart, {"log", "clear"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("Error: the log was not cleared: its events could not be archived in "
                             "the fleet store (The fleet store " +
                             notAStore + " is not an SQLite database; it was left as it is."),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(CartEvents(cart), before);
  EXPECT_EQ(testing_support::ReadFile(notAStore), "not a database\n");

  // Without a store, or told to, it clears as it always did.
  EXPECT_EQ(ctl.Run(cart, {"log", "clear", "--without-archive"}).exitCode, 0);
  EXPECT_EQ(CartEvents(cart), 0);
}

// The same cart's log, read into one server by two programs at once (two simulated carts with
// one serial number and one log stand for it), is stored once; the server is named in
// Molvane.cfg.
TEST(CtlFleet, TwoProgramsArchivingOneCartIntoOneServerStoreEachEventOnce) {
  testing_support::PostgresServer server;
  ASSERT_TRUE(server.Running()) << server.Failure();
  SimFixture first, second;
  ASSERT_TRUE(first.started && second.started);
  const auto sameLog = [](cartsim::CartModel& c) {
    c.Events().Clear();
    // Three identical accesses in each second.
    for (int i = 0; i < 600; ++i)
      c.Events().Add({static_cast<std::uint32_t>(1000 + i / 3 % 2), 1, 1715644800 + i / 3});
  };
  first.Cart(sameLog);
  second.Cart(sameLog);
  const PortableCtl one(first.dir.Path()), two(second.dir.Path());
  for (const std::string& folder : {first.dir.Path(), second.dir.Path()}) {
    testing_support::WriteFile(folder + "/Molvane.cfg",
                               "<FLEET>\n\t[STORE] \"" + server.Uri() + "\"\n</FLEET>\n");
  }

  CtlRun runs[2];
  std::thread other([&] { runs[1] = two.Run(second, {"log", "list"}); });
  runs[0] = one.Run(first, {"log", "list"});
  other.join();
  for (const CtlRun& run : runs) {
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(server.Psql("SELECT COUNT(*) FROM cart_events"), "600\n");
  EXPECT_EQ(server.Psql("SELECT serial_number, archived_events FROM carts"),
            std::string(kSerial) + "|600\n");
}

TEST(CtlFleet, AServerStoppedInTheMiddleOfAnArchiveGetsItOnceWhenBack) {
  testing_support::PostgresServer server;
  ASSERT_TRUE(server.Running()) << server.Failure();
  SimFixture cart;
  ASSERT_TRUE(cart.started);
  const PortableCtl ctl(cart.dir.Path());
  const std::map<std::string, std::string> atServer = {{"MOLVANE_FLEET", server.Uri()}};
  ASSERT_EQ(ctl.Run(cart, {"log", "list"}, atServer).exitCode, 0);
  ASSERT_TRUE(cart.Cart([](cartsim::CartModel& c) { return c.EnterPinOnKeypad(1234); }));

  // Another writer holds the events table, so the archive waits in its transaction; the server
  // is stopped while it waits.
  std::thread holder([&] {
    server.Psql("BEGIN; LOCK TABLE cart_events IN EXCLUSIVE MODE; SELECT pg_sleep(30); COMMIT");
  });
  CtlRun run;
  std::thread archive([&] { run = ctl.Run(cart, {"log", "list"}, atServer); });
  const bool waiting = testing_support::Eventually(
      [&] {
        return server.Psql(
                   "SELECT COUNT(*) FROM pg_stat_activity WHERE application_name ="
                   " 'molvane' AND wait_event_type = 'Lock'") == "1\n";
      },
      10000, 50);
  EXPECT_TRUE(waiting);
  EXPECT_TRUE(server.Stop());
  archive.join();
  holder.join();
  ASSERT_TRUE(waiting);

  EXPECT_EQ(run.exitCode, 0) << "the cart work ends as it would: " << run.err;
  EXPECT_NE(run.out.find("accessed pin: 1234"), std::string::npos);
  EXPECT_EQ(cli_testing::Lines(run.err).size(), 1u) << run.err;
  EXPECT_NE(run.err.find("The record was kept back in " + cart.dir.File("MolvaneFleet.db")),
            std::string::npos)
      << run.err;

  ASSERT_TRUE(server.Start());
  const json sent = Document(ctl.Run(cart.dir.Path(), {"--json", "fleet", "send"}, atServer));
  EXPECT_EQ(sent, json::parse(R"({"sent": 1, "waiting": 0})"));
  const json again = Document(ctl.Run(cart.dir.Path(), {"--json", "fleet", "send"}, atServer));
  EXPECT_EQ(again["sent"], 0);
  const json log = Document(
      ctl.Run(cart.dir.Path(), {"--json", "fleet", "log", kSerial, "--limit", "0"}, atServer));
  EXPECT_EQ(log["events"].size(), static_cast<std::size_t>(CartEvents(cart)));
}

}  // namespace
