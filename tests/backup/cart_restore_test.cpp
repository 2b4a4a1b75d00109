// A restore that stops part-way: cut at each phase by a cart that falls silent, or cancelled, it
// leaves the cart at least its old PINs or the new ones, says what was and was not applied, and
// leaves beside the backup a file that puts the cart back as it was.
#include "backup/cart_restore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "backup/backup_file.h"
#include "backup/backup_read.h"
#include "backup/restore_plan.h"
#include "support/controller_settings.h"
#include "support/sim_fixture.h"

namespace {

using molvane::CartBackup;
using molvane::CartRestore;
using molvane::RestoreOutcome;
using testing_support::SimFixture;
using Pins = std::set<std::uint32_t>;
using Lines = std::vector<std::string>;

Pins PinsOf(SimFixture& fixture) {
  return fixture.Cart([](cartsim::CartModel& cart) {
    Pins pins;
    for (int i = 0; i < cart.Pins().Count(); ++i) pins.insert(cart.Pins().At(i)->pin);
    return pins;
  });
}

int CommandsSeen(SimFixture& fixture) {
  return fixture.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
}

// A cart named "Old" holding PINs 11 and 22, and a backup of it renamed "New" with 33 and 44
// instead: a restore sends the name, adds 33 and 44, then removes 11 and 22.
struct StoppedRestore : ::testing::Test {
  void SetUp() override {
    fixture.Cart([](cartsim::CartModel& cart) {
      cart.Settings().name = "Old";
      cart.Pins().Add(11, 0);
      cart.Pins().Add(22, 0);
      return 0;
    });
    ASSERT_TRUE(fixture.Connect());
    testing_support::SetTiming(fixture.controller, &molvane::Timing::replyIdlePolls, 20);
    ASSERT_TRUE(molvane::ReadCartBackup(fixture.controller, backup));
    backup.name = "New";
    backup.pins = {{33, 0}, {44, 0}};
    ASSERT_TRUE(molvane::WriteBackupFile(path, backup));
  }

  // Previews, lets the cart answer `answered` more commands after the restore's own reading of
  // it, and applies.
  RestoreOutcome ApplyAnswering(int answered) {
    CartRestore restore(fixture.controller, backup);
    const int before = CommandsSeen(fixture);
    EXPECT_TRUE(restore.Preview()) << restore.Failure();
    const int reading = CommandsSeen(fixture) - before;
    fixture.sim.faults.silentAfter = CommandsSeen(fixture) + reading + answered;
    return restore.Apply(path);
  }

  // The undo file, restored once the cart answers again, gives back the cart's name and PINs.
  void ExpectUndoRestoresTheCart(const RestoreOutcome& outcome) {
    fixture.sim.faults.silentAfter = -1;
    ASSERT_TRUE(fixture.Connect());
    CartBackup undo;
    std::string failure;
    ASSERT_TRUE(molvane::ReadBackupFile(outcome.undoFile, undo, failure)) << failure;
    CartRestore restore(fixture.controller, undo);
    ASSERT_TRUE(restore.Preview()) << restore.Failure();
    const RestoreOutcome undone = restore.Apply(outcome.undoFile);
    EXPECT_TRUE(undone.verified) << undone.Message();
    EXPECT_EQ(PinsOf(fixture), (Pins{11, 22}));
    EXPECT_EQ(fixture.Cart([](cartsim::CartModel& cart) { return cart.Settings().name; }), "Old");
  }

  SimFixture fixture{testing_support::EmptyCart()};
  CartBackup backup;
  const std::string path = fixture.dir.File("cart.txt");
};

TEST_F(StoppedRestore, CutAtEachPhaseKeepsOldOrNewPinsAndTheUndoFileRestoresTheCart) {
  // Before: the cart falls silent while the restore reads it again; nothing is sent.
  RestoreOutcome outcome = ApplyAnswering(-2);
  EXPECT_FALSE(outcome.sent);
  EXPECT_TRUE(outcome.undoFile.empty());
  EXPECT_TRUE(outcome.Details().empty());
  EXPECT_NE(outcome.summary.find("nothing was sent"), std::string::npos) << outcome.summary;
  EXPECT_EQ(PinsOf(fixture), (Pins{11, 22}));
  fixture.sim.faults.silentAfter = -1;
  ASSERT_TRUE(fixture.Connect());

  // During the PIN adds: the name and PIN 33 went through, 44 was never answered, so nothing
  // was removed. The silent cart cannot be read back to tell whether it took 44.
  outcome = ApplyAnswering(2);
  EXPECT_TRUE(outcome.sent);
  EXPECT_FALSE(outcome.verified);
  EXPECT_FALSE(outcome.readBack);
  EXPECT_EQ(outcome.failure, "Error: Timeout");
  EXPECT_EQ(outcome.summary, "The restore stopped at pin_list_add: Error: Timeout");
  EXPECT_EQ(outcome.applied, (Lines{"Cart name: \"Old\" -> \"New\"", "Add PIN 33"}));
  EXPECT_EQ(outcome.notConfirmed, (Lines{"Add PIN 44"}));
  EXPECT_EQ(outcome.notApplied, (Lines{"Remove PIN 11", "Remove PIN 22"}));
  EXPECT_EQ(PinsOf(fixture), (Pins{11, 22, 33}));
  EXPECT_NE(outcome.Message().find("\nSent but not confirmed:\n  Add PIN 44\nNot applied:\n  "
                                   "Remove PIN 11\n"),
            std::string::npos)
      << outcome.Message();
  // Beside the backup, named after it and the moment, the cart as it was.
  EXPECT_TRUE(std::regex_match(
      outcome.undoFile,
      std::regex(fixture.dir.Path() + R"(/cart\.before-restore-\d{8}-\d{6}(-\d+)?\.txt)")))
      << outcome.undoFile;
  ExpectUndoRestoresTheCart(outcome);

  // During the removals: every new PIN is in, 11 is gone, 22 is left over.
  outcome = ApplyAnswering(4);
  EXPECT_EQ(outcome.failure, "PIN 22 was not removed: Error: Timeout");
  EXPECT_EQ(outcome.applied,
            (Lines{"Cart name: \"Old\" -> \"New\"", "Add PIN 33", "Add PIN 44", "Remove PIN 11"}));
  EXPECT_EQ(outcome.notConfirmed, (Lines{"Remove PIN 22"}));
  EXPECT_TRUE(outcome.notApplied.empty());
  EXPECT_EQ(PinsOf(fixture), (Pins{22, 33, 44}));
  ExpectUndoRestoresTheCart(outcome);
}

TEST_F(StoppedRestore, ACancelStopsBetweenCommandsAndSaysWhatWasApplied) {
  std::atomic<bool> cancel{false};
  std::vector<int> reported;
  molvane::Progress progress;
  progress.cancel = &cancel;
  progress.report = [&](int done, int total) {
    reported.push_back(done);
    EXPECT_EQ(total, 5);
    if (done == 2) cancel = true;  // after the first PIN went in
  };
  CartRestore restore(fixture.controller, backup);
  ASSERT_TRUE(restore.Preview());
  const RestoreOutcome outcome = restore.Apply(path, progress);
  EXPECT_EQ(reported, (std::vector<int>{1, 2}));
  EXPECT_EQ(outcome.failure, "Cancelled.");
  EXPECT_EQ(outcome.applied, (Lines{"Cart name: \"Old\" -> \"New\"", "Add PIN 33"}));
  EXPECT_EQ(outcome.notApplied, (Lines{"Add PIN 44", "Remove PIN 11", "Remove PIN 22"}));
  EXPECT_EQ(PinsOf(fixture), (Pins{11, 22, 33}));
  EXPECT_TRUE(std::filesystem::exists(outcome.undoFile));
}

// A full cart has no room to add first: each removal is followed by its add, and a cancel is
// not taken between the two; the preview warns of it. (With room, the stopped restores above
// add first.)
TEST(RestorePlan, AFullCartExchangesPinsOneForOneBeforeTheOtherRemovals) {
  CartBackup cart;
  for (std::uint32_t pin = 1; pin <= 128; ++pin) cart.pins.push_back({pin, 0});
  CartBackup backup = cart;
  backup.pins.erase(backup.pins.begin(), backup.pins.begin() + 3);  // 1, 2 and 3 go
  backup.pins.push_back({500, 0});
  backup.pins.push_back({501, 0});
  Lines lines;
  std::vector<bool> stoppable;
  for (const molvane::RestoreStep& step : molvane::PlanRestore(cart, backup)) {
    for (const molvane::RestoreCommand& command : step.commands) lines.push_back(command.line);
    stoppable.push_back(step.mayStopBefore);
  }
  EXPECT_EQ(lines,
            (Lines{"Remove PIN 1", "Add PIN 500", "Remove PIN 2", "Add PIN 501", "Remove PIN 3"}));
  EXPECT_EQ(stoppable, (std::vector<bool>{true, false, true, false, true}));
  EXPECT_NE(molvane::PinExchangeWarning(molvane::CompareWithBackup(cart, backup)), "");

  // Room for both lists at once: no exchange, nothing to warn of.
  cart.pins.erase(cart.pins.begin() + 3, cart.pins.begin() + 5);  // 4 and 5 go from both
  backup.pins.erase(backup.pins.begin(), backup.pins.begin() + 2);
  EXPECT_EQ(molvane::PinExchangeWarning(molvane::CompareWithBackup(cart, backup)), "");
}

}  // namespace
