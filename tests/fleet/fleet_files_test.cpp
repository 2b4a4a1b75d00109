// What the fleet store reads and decides without a database: holders from a PIN file, events
// from a log read, dates typed, where the store is, and a file that is no store.
#include <gtest/gtest.h>

#include "base/cart_time.h"
#include "fleet/archived_event.h"
#include "fleet/file_hash.h"
#include "fleet/fleet_location.h"
#include "fleet/fleet_record_text.h"
#include "fleet/fleet_store.h"
#include "fleet/holder_file.h"
#include "fleet/stored_text.h"
#include "support/local_zone.h"
#include "support/temp_dir.h"

namespace {

using molvane::Holder;

std::string Repeated(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(FleetFiles, HoldersComeFromTheColumnAfterThePin) {
  struct Case {
    std::string text;
    std::vector<std::pair<std::uint32_t, std::string>> holders;
  };
  const Case cases[] = {
      {"PIN\tName\r\n1234\tAnn Smith\r\n4321\t\"Smith, Bob\"\t3 West\r\n",
       {{1234, "Ann Smith"}, {4321, "Smith, Bob"}}},
      {"1234,Ann Smith,Pharmacy\n0042; Dr. Lee\n", {{1234, "Ann Smith"}, {42, "Dr. Lee"}}},
      // An exported PIN file: its second column is a year, no name.
      {"1234\t2024\t5\t14\t7\t6\t5\r\n", {}},
      // Too large for a PIN, no second column, an empty name: nobody.
      {"4294967296\tBig\n77\n88\t\n", {}},
      // A later line for the same PIN wins; a name in Latin-1 is kept as UTF-8.
      {"5\tOld\n5\tJos\xe9\n", {{5, "Jos\xc3\xa9"}}},
      // NULs are left out before a name is cut to length, and a long Latin-1 name is cut at a
      // character: 150 two-byte letters keep 100.
      {"6\t" + std::string(200, '\0') + "Ann\n7\t" + std::string(150, '\xe9') + "\n",
       {{6, "Ann"}, {7, Repeated("\xc3\xa9", 100)}}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::uint32_t, std::string>> got;
    for (const Holder& h : molvane::HoldersInText(c.text)) got.emplace_back(h.pin, h.name);
    EXPECT_EQ(got, c.holders) << c.text;
  }
}

// A record kept back in the outbox is read again as it was written; a damaged one, whose numbers
// are fractions or out of their range, is no record rather than another one.
TEST(FleetFiles, AnOutboxRecordIsReadBackOnlyWhole) {
  const std::string kept =
      R"({"at":5,"events":[[10,1,4294967295,0],[19,165,0,1]],"serial":"MV-2","type":"log"})";
  const auto record = molvane::RecordFromText(kept);
  ASSERT_TRUE(record);
  EXPECT_EQ(molvane::RecordText(*record), kept);
  for (const char* damaged : {
           R"({"type":"log","serial":"MV-2","at":5,"events":[[10,1,1.2e32,0]]})",
           R"({"type":"log","serial":"MV-2","at":5,"events":[[10,1,4294967296,0]]})",
           R"({"type":"log","serial":"MV-2","at":5,"events":[[10,2147483648,1,0]]})",
           R"({"type":"pins","serial":"MV-2","at":5.5,"times":[]})",
           R"({"type":"pins","serial":"MV-2","at":5,"times":[18446744073709551615]})",
           R"({"type":"holders","at":5,"holders":[[-1,"Ann"]]})",
       }) {
    EXPECT_FALSE(molvane::RecordFromText(damaged)) << damaged;
  }
}

TEST(FleetFiles, IdenticalEventsOfOneSecondAreNumberedInTheirRead) {
  testing_support::LocalZone zone("UTC0");
  molvane::EventLog log;
  const auto add = [&](std::int64_t time, const std::string& action) {
    log.entries[static_cast<std::size_t>(log.count++)] = {time, action};
  };
  add(1715678000, "accessed pin: 1234");
  add(1715678000, "accessed pin: 1234");
  add(1715678000, "accessed pin: 99");
  add(1715678000, "powerup");
  add(1715678001, "accessed pin: 1234");
  add(1715678001, "invalid event");
  const std::vector<molvane::ArchivedEvent> events = molvane::ArchivedEvents(log);
  const std::vector<molvane::ArchivedEvent> expected = {
      {1715678000, 1, 1234, 0}, {1715678000, 1, 1234, 1}, {1715678000, 1, 99, 0},
      {1715678000, 165, 0, 0},  {1715678001, 1, 1234, 0}, {1715678001, 0, 0, 0}};
  EXPECT_EQ(events, expected);
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(molvane::EventAction(events[i].kind, events[i].pin), log.entries[i].action);
  }
  // The same reading of the cart's clock, made by a PC five hours west, is the same event.
  testing_support::LocalZone west("EST5");
  log.entries[0].eventTime += 5 * 3600;
  EXPECT_EQ(molvane::ArchivedEvents(log)[0].cartTime, 1715678000);
  EXPECT_EQ(molvane::CartClockText(1715678000), "2024-05-14 09:13:20");
}

TEST(FleetFiles, DatesAreTheCartsClockWithWholeDaysAtTheEnd) {
  const std::int64_t may14 = 1715644800;
  EXPECT_EQ(molvane::ParseCartClock("2024-05-14", false), may14);
  EXPECT_EQ(molvane::ParseCartClock("2024-05-14", true), may14 + 86399);
  EXPECT_EQ(molvane::ParseCartClock("2024-05-14 22:30", true), may14 + 22 * 3600 + 30 * 60 + 59);
  EXPECT_EQ(molvane::ParseCartClock("2024-05-14T22:30:05", false), may14 + 22 * 3600 + 1805);
  for (const char* wrong : {"2024-04-31", "14/05/2024", "2024-05-14T25:00", "2024-05-14x", ""})
    EXPECT_FALSE(molvane::ParseCartClock(wrong, false)) << wrong;
}

TEST(FleetFiles, TheStoreIsTheFirstSettingGivenAndNeverShowsAPassword) {
  using Kind = molvane::FleetLocation::Kind;
#ifdef _WIN32
  const char* folder = "C:\\Users\\t\\AppData\\Roaming\\Molvane";
  const std::string embedded = "C:\\Users\\t\\AppData\\Roaming\\Molvane\\MolvaneFleet.db";
#else
  const char* folder = "/home/t/.config/molvane";
  const std::string embedded = "/home/t/.config/molvane/MolvaneFleet.db";
#endif
  const auto where = [&](const char* option, const char* environment, const char* config) {
    return molvane::ChooseFleetLocation(option, environment, config, folder);
  };
  EXPECT_EQ(where("", "", "").file, embedded);
  EXPECT_EQ(where("", "", "off").kind, Kind::Off);
  EXPECT_EQ(where("/tmp/x.db", "off", "").file, "/tmp/x.db");
  const molvane::FleetLocation server = where("", "postgresql://u:pw@db:5433/fleet", "off");
  EXPECT_EQ(server.kind, Kind::Server);
  EXPECT_EQ(server.file, embedded) << "the outbox";
  EXPECT_FALSE(where("", "", "postgresq://db/fleet").refusal.empty());
  EXPECT_EQ(molvane::ShownServer("postgresql://u:p@ss@db/f?password=x&host=/run"),
            "postgresql://u:***@db/f?password=***&host=/run");
  EXPECT_EQ(molvane::WithoutPassword("for u:s3cret", "postgres://u:s3cret@h/d"), "for u:***");
  EXPECT_EQ(molvane::WithoutPassword("refused (0x274D) for x, password=x", "postgres://u:x@h/d"),
            "refused (0x274D) for ***, password=***");
}

TEST(FleetFiles, TextsAndHashesAsTheStoreKeepsThem) {
  EXPECT_EQ(molvane::StoredText(std::string("Caf\xe9 \xc3\xa9\0x", 9)), "Caf\xc3\xa9 \xc3\xa9x");
  EXPECT_EQ(molvane::Sha256Hex("abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(molvane::Sha256Hex(std::string(64, 'a')).substr(0, 16), "ffe054fe7ae0cb6d");
}

TEST(FleetFiles, AFileThatIsNoDatabaseIsRefusedAndLeftAsItIs) {
  testing_support::TempDir dir;
  const std::string path = dir.File("MolvaneFleet.db");
  testing_support::WriteFile(path, "PIN\tName\n1234\tAnn\n");
  molvane::FleetLocation location;
  location.kind = molvane::FleetLocation::Kind::Embedded;
  location.file = path;
  molvane::FleetStore store(location);
  const molvane::RecordOutcome lost = store.Record(molvane::HoldersNamed{1, {{1, "A"}}});
  EXPECT_EQ(lost.fate, molvane::RecordOutcome::Fate::Lost);
  EXPECT_EQ(lost.warning, "The fleet store " + path +
                              " is not an SQLite database; it was left as it is. Nothing was "
                              "recorded.");
  EXPECT_EQ(testing_support::ReadFile(path), "PIN\tName\n1234\tAnn\n");
}

}  // namespace
