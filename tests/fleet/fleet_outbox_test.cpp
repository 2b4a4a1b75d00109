// A site's server that cannot take a record: the record waits in the embedded file and is sent
// once the server is back, exactly once; a wrong password is said without the password.
#include <gtest/gtest.h>

#include "fleet/fleet_store.h"
#include "fleet_store_on.h"

namespace {

using fleet_testing::Engine;
using fleet_testing::StoreOn;
using molvane::RecordOutcome;

TEST(FleetOutbox, RecordsWaitForTheServerAndAreSentOnce) {
  StoreOn store(Engine::Postgres);
  ASSERT_TRUE(store.Ready()) << store.Failure();
  const molvane::LogArchived read{"MV-1", 100, {{10, 1, 1234, 0}, {11, 165, 0, 0}}};
  const molvane::CartWork backup{
      "MV-1", 100, molvane::CartWork::Kind::Backup, "", "b.txt", "", true, "Backup written.", "pc"};

  ASSERT_TRUE(store.server->Stop());
  {
    auto fleet = store.Open();
    const RecordOutcome kept = fleet->Record(read);
    EXPECT_EQ(kept.fate, RecordOutcome::Fate::KeptBack);
    EXPECT_NE(kept.warning.find("could not be reached"), std::string::npos) << kept.warning;
    EXPECT_NE(kept.warning.find("kept back in " + store.Location().file), std::string::npos);
    EXPECT_EQ(fleet->Record(backup).fate, RecordOutcome::Fate::KeptBack);
    EXPECT_EQ(fleet->KeptBackCount(), 2);
    EXPECT_FALSE(fleet->Carts().outcome) << "a server that is away is not read";
  }

  ASSERT_TRUE(store.server->Start());
  {
    auto fleet = store.Open();
    // The next record sends what waited first.
    ASSERT_EQ(fleet->Record(read).fate, RecordOutcome::Fate::Stored);
    EXPECT_EQ(fleet->KeptBackCount(), 0);
    auto carts = fleet->Carts();
    ASSERT_TRUE(carts.outcome) << carts.outcome.text;
    ASSERT_EQ(carts.value.size(), 1u);
    EXPECT_EQ(carts.value[0].archivedEvents, 2);
    ASSERT_TRUE(carts.value[0].lastBackup);
  }
  // The same record kept back twice (a server that took it but whose answer was lost) is
  // still applied once.
  EXPECT_EQ(store.Sql("SELECT COUNT(*) FROM cart_events"), "2\n");
  EXPECT_EQ(store.Sql("SELECT COUNT(*) FROM cart_works"), "1\n");

  // A wrong password: refused, said without it, and the record waits like any other.
  molvane::FleetLocation guarded = store.Location();
  guarded.serverUri = store.server->Uri("guarded:wrong-secret");
  molvane::FleetStore fleet(guarded);
  const RecordOutcome refused = fleet.Record(backup);
  EXPECT_EQ(refused.fate, RecordOutcome::Fate::KeptBack);
  EXPECT_NE(refused.warning.find("password authentication failed"), std::string::npos)
      << refused.warning;
  EXPECT_EQ(refused.warning.find("wrong-secret"), std::string::npos) << refused.warning;
  EXPECT_NE(refused.warning.find("postgresql://guarded:***@"), std::string::npos)
      << refused.warning;
  store.Sql(
      "GRANT ALL ON ALL TABLES IN SCHEMA public TO guarded;"
      " GRANT ALL ON ALL SEQUENCES IN SCHEMA public TO guarded");
  guarded.serverUri = store.server->Uri("guarded:right-password");
  molvane::FleetStore right(guarded);
  const molvane::Outcome sent = right.SendKeptBack();
  EXPECT_TRUE(sent) << sent.text;
  EXPECT_EQ(sent.done, 1);
  EXPECT_EQ(store.Sql("SELECT COUNT(*) FROM cart_works"), "2\n");
}

}  // namespace
