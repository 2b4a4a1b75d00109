// The File menu's backup and restore against the simulated cart: nothing reaches the cart that
// the operator did not accept, and a file that is not understood is refused by its line.
#include "pages/file_menu.h"

#include <gtest/gtest.h>

#include <string>

#include "backup/backup_file.h"
#include "backup/backup_read.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using testing_support::EmptyCart;

using molvane::UiServices;
using testing_support::ReadFile;
using testing_support::RecordingUi;
using testing_support::WriteFile;

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(FileMenu, NothingIsSentUnlessThePreviewIsAccepted) {
  testing_support::SimFixture fixture(EmptyCart());
  ASSERT_TRUE(fixture.Connect());
  testing_support::RecordingUi ui;
  molvane::FileMenu menu(fixture.controller, ui);

  const std::string path = fixture.dir.File("cart.txt");
  ui.fileNames = {path};
  menu.BackUpCart();
  ASSERT_EQ(ui.fileDialogs.size(), 1u);
  EXPECT_EQ(ui.fileDialogs[0].initialName, "Cart 0.txt");
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_TRUE(Holds(ui.boxes.back().text, "Cart backed up to " + path)) << ui.boxes.back().text;

  // The backup, edited: another name and one more PIN.
  std::string edited = ReadFile(path);
  edited.replace(edited.find("name = \"Cart\""), 13, "name = \"Ward 3\"");
  edited.replace(edited.find("[end]"), 5, "[pins]\r\n");  // a second PIN section is refused
  WriteFile(fixture.dir.File("twice.txt"), edited);
  edited = ReadFile(path);
  edited.replace(edited.find("name = \"Cart\""), 13, "name = \"Ward 3\"");
  edited.insert(edited.find("[end]"), "4321\r\n");
  WriteFile(path, edited);

  const std::size_t traced = fixture.Trace().size();
  ui.boxes.clear();
  ui.fileNames = {fixture.dir.File("twice.txt"), path};
  bool changed = false;
  menu.RestoreCart([&] { changed = true; });
  EXPECT_FALSE(changed);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_TRUE(Holds(ui.boxes[0].text, "line ")) << ui.boxes[0].text;
  EXPECT_TRUE(Holds(ui.boxes[0].text, "(\"[pins]\"): the section appears twice"))
      << ui.boxes[0].text;
  EXPECT_TRUE(Holds(ui.boxes[0].text, "Nothing was sent.")) << ui.boxes[0].text;
  EXPECT_EQ(fixture.Trace().size(), traced) << "a refused file is refused before the cart is read";

  ui.boxes.clear();
  ui.answers = {UiServices::Answer::Cancel};
  menu.RestoreCart([&] { changed = true; });
  EXPECT_FALSE(changed);
  ASSERT_EQ(ui.boxes.size(), 1u);
  const std::string& preview = ui.boxes[0].text;
  EXPECT_EQ(ui.boxes[0].buttons, UiServices::Buttons::OkCancel);
  EXPECT_TRUE(Holds(preview, "Cart name: \"Cart\" -> \"Ward 3\"\nAdd PIN 4321\n")) << preview;
  EXPECT_TRUE(Holds(preview, "own clock")) << preview;
  EXPECT_FALSE(Holds(preview, "Warning")) << "the cart has room for both lists: " << preview;
  const std::string after = fixture.Trace().substr(traced);
  EXPECT_FALSE(Holds(after, "cart_name_set")) << after;
  EXPECT_FALSE(Holds(after, "pin_list_add")) << after;

  ui.boxes.clear();
  ui.fileNames = {path};
  ui.answers = {UiServices::Answer::Ok};
  menu.RestoreCart([&] { changed = true; });
  EXPECT_TRUE(changed) << "the pages read the cart again";
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_TRUE(Holds(ui.boxes[1].text, "Restore complete")) << ui.boxes[1].text;
  EXPECT_TRUE(Holds(ui.boxes[1].text, "\nThe cart as it was before is saved in " +
                                          fixture.dir.File("cart.before-restore-")))
      << ui.boxes[1].text;
  EXPECT_EQ(fixture.Cart([](cartsim::CartModel& cart) { return cart.Settings().name; }), "Ward 3");
  EXPECT_TRUE(fixture.Cart([](cartsim::CartModel& cart) { return cart.Pins().Contains(4321); }));
}

int CommandsSeen(testing_support::SimFixture& fixture) {
  return fixture.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
}

// A full cart restored with other PINs: the preview warns that a cut may leave neither list
// whole, and the restore's account of a cut, long as it is, starts with the failure and the
// file that undoes it.
TEST(FileMenu, AFullCartsRestoreWarnsOfTheExchangeAndTellsACutFailureFirst) {
  testing_support::SimFixture fixture(EmptyCart());
  fixture.Cart([](cartsim::CartModel& cart) {
    for (std::uint32_t pin = 1; pin <= 128; ++pin) cart.Pins().Add(pin, 0);
    return 0;
  });
  ASSERT_TRUE(fixture.Connect());
  molvane::CartBackup backup;
  ASSERT_TRUE(molvane::ReadCartBackup(fixture.controller, backup));
  backup.pins.resize(120);
  for (std::uint32_t pin = 200; pin < 208; ++pin) backup.pins.push_back({pin, 0});
  const std::string path = fixture.dir.File("cart.txt");
  ASSERT_TRUE(molvane::WriteBackupFile(path, backup));

  testing_support::RecordingUi ui;
  molvane::FileMenu menu(fixture.controller, ui);
  ui.fileNames = {path};
  ui.answers = {UiServices::Answer::Ok};
  const int before = CommandsSeen(fixture);
  // Read again, then three PINs exchanged (each removal and its add) and a fourth taken out
  // before the cart falls silent at its add.
  ui.whileOpen = [&](const std::string&) {
    const int reading = CommandsSeen(fixture) - before;
    fixture.sim.faults.silentAfter = CommandsSeen(fixture) + reading + 7;
  };
  menu.RestoreCart();
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_TRUE(Holds(ui.boxes[0].text,
                    "\nWarning: the cart cannot hold its 128 PIN(s) and the 8 new one(s) together "
                    "(128 at most), so 8 old PIN(s) are each removed just before a new one goes "
                    "in: a restore cut short among those leaves the cart neither its old PIN list "
                    "nor the new one whole."))
      << ui.boxes[0].text;

  const RecordingUi::Box& result = ui.boxes[1];
  EXPECT_EQ(result.caption, "Restore Cart");
  const std::string first =
      "The restore stopped at pin_list_add: Error: Timeout\n"
      "The cart as it was before is saved in " +
      fixture.dir.File("cart.before-restore-");
  EXPECT_EQ(result.text.rfind(first, 0), 0u) << result.text;
  EXPECT_TRUE(Holds(result.text,
                    "\n  Remove PIN 124\nSent but not confirmed:\n  Add PIN 203\n"
                    "Not applied:\n  Remove PIN 125\n"))
      << result.text;
}

TEST(FileMenu, SaveSupportReportAsksWhereAndTellsWhetherTheFileWasWritten) {
  testing_support::SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  testing_support::RecordingUi ui;
  molvane::FileMenu menu(fixture.controller, ui);
  const std::string path = fixture.dir.File("report.txt");
  ui.fileNames = {path, fixture.dir.File("no-such-folder/report.txt"), ""};
  menu.SaveSupportReport();
  menu.SaveSupportReport();
  menu.SaveSupportReport();  // cancelled: nothing more is shown
  ASSERT_EQ(ui.fileDialogs.size(), 3u);
  EXPECT_EQ(ui.fileDialogs[0].kind, molvane::FileDialogRequest::Kind::Save);
  EXPECT_TRUE(ui.fileDialogs[0].askBeforeOverwrite);
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{"The support report was saved to " + path + ".",
                                      "The support report could not be written to " +
                                          fixture.dir.File("no-such-folder/report.txt") + "."}));
  const std::string written = testing_support::ReadFile(path);
  EXPECT_TRUE(Holds(written, "Molvane Version " MOLVANE_VERSION_TEXT "\n"));
  EXPECT_TRUE(Holds(written, "RFID facility code: "));
  EXPECT_EQ(ui.cursorDepth, 0);

  // A cart that stops answering part-way: the report is written, and says so first.
  ui.boxes.clear();
  ui.fileNames = {path};
  fixture.sim.faults.silentAfter = CommandsSeen(fixture) + 2;
  menu.SaveSupportReport();
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                            "The cart could not be read (Error: Timeout). The support report was "
                            "saved to " +
                            path + "; it marks what was not read."}));
}

}  // namespace
