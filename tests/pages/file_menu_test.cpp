// The File menu's backup and restore against the simulated cart: nothing reaches the cart that
// the operator did not accept, and a file that is not understood is refused by its line.
#include "pages/file_menu.h"

#include <gtest/gtest.h>

#include <string>

#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using testing_support::EmptyCart;

using molvane::UiServices;
using testing_support::ReadFile;
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
}

}  // namespace
