// The fleet store's behaviour, the same cases on SQLite and on a PostgreSQL server of the test's
// own: one code path over both engines.
#include <gtest/gtest.h>

#include "fleet/fleet_database.h"
#include "fleet/fleet_store.h"
#include "fleet_store_on.h"

namespace {

using fleet_testing::Engine;
using fleet_testing::StoreOn;
using molvane::ArchivedEvent;
using molvane::RecordOutcome;

constexpr std::int64_t kMay14 = 1715644800;  // 2024-05-14 00:00:00 on the cart's clock

molvane::LogArchived LogRead(std::vector<ArchivedEvent> events, std::int64_t at = 1000) {
  return {"MV-1", at, std::move(events)};
}

ArchivedEvent Access(std::int64_t cartTime, std::uint32_t pin, int occurrence = 0) {
  return {cartTime, 1, pin, occurrence};
}

class FleetEngines : public testing::TestWithParam<Engine> {
 protected:
  void SetUp() override { ASSERT_TRUE(store.Ready()) << store.Failure(); }
  StoreOn store{GetParam()};
};

TEST_P(FleetEngines, ArchiveKeepsEachEventOnceAndPagesItByClockAndHolder) {
  auto fleet = store.Open();
  // Two identical accesses in one second stay two; the read again adds nothing; a third one of
  // that second, read later, is added.
  const std::vector<ArchivedEvent> first = {Access(kMay14 + 10, 1234, 0),
                                            Access(kMay14 + 10, 1234, 1),
                                            {kMay14 + 20, 165, 0, 0},
                                            Access(kMay14 + 86400, 4321)};
  RecordOutcome kept = fleet->Record(LogRead(first));
  ASSERT_EQ(kept.fate, RecordOutcome::Fate::Stored) << kept.warning;
  EXPECT_EQ(kept.newEvents, 4);
  EXPECT_EQ(fleet->Record(LogRead(first)).newEvents, 0);
  std::vector<ArchivedEvent> later = first;
  later.push_back(Access(kMay14 + 10, 1234, 2));
  EXPECT_EQ(fleet->Record(LogRead(later)).newEvents, 1);
  ASSERT_TRUE(
      fleet->Record(molvane::HoldersNamed{5, {{1234, "Ann Smith"}, {99, "Nobody"}}}).Safe());

  auto all = fleet->Events({"MV-1", {}, {}, {}, 0});
  ASSERT_TRUE(all.outcome) << all.outcome.text;
  ASSERT_EQ(all.value.events.size(), 5u);
  EXPECT_EQ(all.value.events.front().holder, "Ann Smith");
  EXPECT_EQ(all.value.events[3].kind, 165);
  EXPECT_EQ(all.value.events[3].holder, "") << "a power-up has no holder, whatever its PIN field";
  EXPECT_EQ(all.value.events.back().pin, 4321u);

  // The day of May 14 only, one holder, in any case of the name.
  auto day = fleet->Events({"MV-1", kMay14, kMay14 + 86399, "ann SMITH", 0});
  ASSERT_TRUE(day.outcome) << day.outcome.text;
  EXPECT_EQ(day.value.events.size(), 3u);
  // A page holds the newest events, oldest first, and says that more matched.
  auto page = fleet->Events({"MV-1", {}, {}, {}, 2});
  ASSERT_EQ(page.value.events.size(), 2u);
  EXPECT_TRUE(page.value.more);
  EXPECT_EQ(page.value.events[0].kind, 165);
  EXPECT_EQ(page.value.events[1].pin, 4321u);

  EXPECT_FALSE(fleet->Events({"MV-1", {}, {}, "Zed", 0}).outcome);
  EXPECT_FALSE(fleet->Events({"MV-404", {}, {}, {}, 0}).outcome);

  const std::string path = store.dir.File("events.txt");
  const molvane::Outcome exported = fleet->ExportEvents({"", kMay14 + 86400, {}, {}, 0}, path);
  ASSERT_TRUE(exported) << exported.text;
  EXPECT_EQ(testing_support::ReadFile(path),
            "Serial\tCart\tTime\tDate\tAction\tHolder\r\n"
            "MV-1\t\t0:00:00\t5/15/2024\taccessed pin: 4321\t\r\n");
}

TEST_P(FleetEngines, ARecordSentLateNeverUndoesANewerOne) {
  auto fleet = store.Open();
  molvane::CartIdentity now{"MV-1", "4 West", {"Main 3.1", "", "", ""}, {"D", "B"}, "AC Out"};
  molvane::CartIdentity before = now;
  before.name = "Spare";
  before.firmware[0] = "Main 3.0";
  ASSERT_TRUE(fleet->Record(molvane::CartSeen{now, "pc-2", 2000}).Safe());
  ASSERT_TRUE(fleet->Record(molvane::CartSeen{before, "pc-1", 1000}).Safe());
  ASSERT_TRUE(fleet->Record(molvane::PinListSeen{"MV-1", 2000, {100, 200}}).Safe());
  ASSERT_TRUE(fleet->Record(molvane::PinListSeen{"MV-1", 1500, {50}}).Safe());
  using Kind = molvane::CartWork::Kind;
  ASSERT_TRUE(fleet
                  ->Record(molvane::CartWork{"MV-1", 1800, Kind::Backup, "", "b2.txt", "", true,
                                             "Backup written.", "pc-2"})
                  .Safe());
  ASSERT_TRUE(fleet
                  ->Record(molvane::CartWork{"MV-1", 1700, Kind::Backup, "", "b1.txt", "", true,
                                             "Backup written.", "pc-1"})
                  .Safe());
  ASSERT_TRUE(fleet
                  ->Record(molvane::CartWork{"MV-1", 1900, Kind::Firmware, "main", "m.hex", "ab12",
                                             false, "Error: Timeout", "pc-2"})
                  .Safe());

  auto carts = fleet->Carts();
  ASSERT_TRUE(carts.outcome) << carts.outcome.text;
  ASSERT_EQ(carts.value.size(), 1u);
  const molvane::CartSummary& cart = carts.value[0];
  EXPECT_EQ(cart.identity.name, "4 West");
  EXPECT_EQ(cart.identity.firmware[0], "Main 3.1");
  EXPECT_EQ(cart.pcName, "pc-2");
  EXPECT_EQ(cart.firstSeen, 1000);
  EXPECT_EQ(cart.lastSeen, 2000);
  EXPECT_EQ(cart.pinActivationTimes, (std::vector<std::int64_t>{100, 200}));
  ASSERT_TRUE(cart.lastBackup && cart.lastUpdate);
  EXPECT_EQ(cart.lastBackup->file, "b2.txt");
  EXPECT_FALSE(cart.lastRestore);
  EXPECT_EQ(cart.lastUpdate->board, "main");
  EXPECT_EQ(cart.lastUpdate->sha256, "ab12");
  EXPECT_FALSE(cart.lastUpdate->ok);
}

// What the outbox relies on: a record applied again under its id (a reply lost after the commit)
// changes nothing; and a store of a later schema is refused without being touched.
TEST_P(FleetEngines, ARecordIdIsTakenOnceAndALaterSchemaIsRefused) {
  {
    auto opened = GetParam() == Engine::Sqlite
                      ? molvane::FleetDatabase::OpenFile(store.Location().file)
                      : molvane::FleetDatabase::OpenServer(store.Location().serverUri);
    ASSERT_TRUE(opened.outcome) << opened.outcome.text;
    molvane::FleetDatabase& database = *opened.value;
    const molvane::FleetRecord work = molvane::CartWork{
        "MV-1", 10, molvane::CartWork::Kind::Restore, "", "r.txt", "", true, "Restore complete.",
        "pc"};
    ASSERT_TRUE(database.Apply(work, "record-1"));
    ASSERT_TRUE(database.Apply(work, "record-1"));
    ASSERT_TRUE(database.Apply(LogRead({Access(5, 7)}), "record-2"));
    const molvane::Outcome again =
        database.Apply(LogRead({Access(5, 7), Access(6, 7)}), "record-2");
    ASSERT_TRUE(again);
    EXPECT_EQ(again.done, 0) << "the second read of record-2 is not applied at all";
    auto carts = database.Carts();
    ASSERT_EQ(carts.value.size(), 1u);
    EXPECT_EQ(carts.value[0].archivedEvents, 1);
    ASSERT_TRUE(carts.value[0].lastRestore);
    EXPECT_EQ(carts.value[0].lastRestore->at, 10);
  }
  // A later program's schema: refused with where it is, and left as it is.
  store.Sql("UPDATE fleet_schema SET version = 9");
  auto fleet = store.Open();
  const RecordOutcome refused = fleet->Record(molvane::HoldersNamed{2, {{1, "A"}}});
  EXPECT_FALSE(refused.fate == RecordOutcome::Fate::Stored);
  EXPECT_NE(refused.warning.find(" has schema version 9, newer than this program's 1; it was "
                                 "left as it is."),
            std::string::npos)
      << refused.warning;
  EXPECT_NE(refused.warning.find(GetParam() == Engine::Sqlite ? store.Location().file
                                                              : "/postgres?host="),
            std::string::npos)
      << refused.warning;
  EXPECT_EQ(store.Sql("SELECT version FROM fleet_schema"), "9\n");
  EXPECT_EQ(store.Sql("SELECT COUNT(*) FROM holders"), "0\n");
}

#if MOLVANE_TEST_SERVER
INSTANTIATE_TEST_SUITE_P(BothEngines, FleetEngines,
                         testing::Values(Engine::Sqlite, Engine::Postgres),
                         fleet_testing::EngineName);
#else
INSTANTIATE_TEST_SUITE_P(FileOnly, FleetEngines, testing::Values(Engine::Sqlite),
                         fleet_testing::EngineName);
#endif

}  // namespace
