#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/cart_controller.h"
#include "app/settings_folder.h"
#include "support/scoped_variable.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using molvane::CartController;
using molvane::SettingsFolder;
using testing_support::ScopedVariable;
using testing_support::TempDir;

// A user whose home is a temporary folder, with no XDG_CONFIG_HOME unless a test sets one.
struct User {
  TempDir dir;
  std::string home = dir.Path() + "/home";
  ScopedVariable homeVariable{"HOME", home};
  ScopedVariable configHome{"XDG_CONFIG_HOME", nullptr};
};

TEST(SettingsFolder, AWritableProgramFolderKeepsTheConfigurationBesideTheProgram) {
  User user;
  TempDir program;
  EXPECT_EQ(SettingsFolder(program.Path()), program.Path());
  CartController controller(program.Path(), program.Path());
  EXPECT_TRUE(controller.SetPathSetting(molvane::CartController::PathSetting::MainFirmware,
                                        "/fw/main.hex"));
  EXPECT_TRUE(fs::exists(program.File("Molvane.cfg")));
  EXPECT_FALSE(fs::exists(user.home + "/.config"));
}

// Root may write everywhere, so /usr is what tells an installed program here.
TEST(SettingsFolder, AProgramUnderUsrUsesTheUsersConfigurationFolderMadeForThemAlone) {
  User user;
  const std::string expected = user.home + "/.config/molvane";
  EXPECT_EQ(SettingsFolder("/usr/bin"), expected);
  EXPECT_TRUE(fs::is_directory(expected));
  EXPECT_EQ(fs::status(expected).permissions(), fs::perms::owner_all);
  EXPECT_EQ(SettingsFolder("/usr"), expected);
  EXPECT_EQ(SettingsFolder("/usr/local/bin"), expected);

  TempDir besideUsr;
  fs::create_directory(besideUsr.Path() + "/usrbin");
  EXPECT_EQ(SettingsFolder(besideUsr.Path() + "/usrbin"), besideUsr.Path() + "/usrbin");
}

TEST(SettingsFolder, XdgConfigHomeWinsOverHomeUnlessItIsRelative) {
  User user;
  {
    ScopedVariable configHome("XDG_CONFIG_HOME", user.dir.Path() + "/config");
    EXPECT_EQ(SettingsFolder("/usr/bin"), user.dir.Path() + "/config/molvane");
  }
  {
    ScopedVariable configHome("XDG_CONFIG_HOME", "config");
    EXPECT_EQ(SettingsFolder("/usr/bin"), user.home + "/.config/molvane");
  }
  ScopedVariable noHome("HOME", nullptr);
  EXPECT_EQ(SettingsFolder("/usr/bin"), "/usr/bin");
}

// Started from the menu or a terminal the trace lands where the user works; started inside the
// installed program's folder it may not be written there.
TEST(SettingsFolder, TheTraceStaysInTheStartFolderUnlessThatIsTheSystems) {
  User user;
  TempDir start;
  EXPECT_EQ(molvane::TraceFolder(start.Path(), "/usr/bin"), start.Path());
  EXPECT_EQ(molvane::TraceFolder("/usr/bin", "/usr/bin"), user.home + "/.config/molvane");
  EXPECT_EQ(molvane::TraceFolder("/usr/share", start.Path()), start.Path());
}

TEST(SettingsFolder, AReadOnlyProgramFolderSendsTheConfigurationToTheUser) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write in a read-only folder; run as a user";
  User user;
  ScopedVariable configHome("XDG_CONFIG_HOME", user.dir.Path() + "/config");
  TempDir program;
  fs::permissions(program.Path(), fs::perms::owner_read | fs::perms::owner_exec);

  CartController controller(program.Path(), program.Path());
  EXPECT_TRUE(controller.SetPathSetting(molvane::CartController::PathSetting::MainFirmware,
                                        "/fw/main.hex"));
  EXPECT_EQ(controller.ConfigPath(), user.dir.Path() + "/config/molvane/Molvane.cfg");
  CartController next(program.Path(), program.Path());
  next.LoadConfig();
  EXPECT_EQ(next.GetPathSetting(CartController::PathSetting::MainFirmware), "/fw/main.hex");
  EXPECT_FALSE(fs::exists(program.File("Molvane.cfg")));
  fs::permissions(program.Path(), fs::perms::owner_all);
}

// A portable folder that became read-only keeps its settings: the user's folder starts from them.
TEST(SettingsFolder, TheSettingsOfAFolderThatBecameReadOnlyAreCarriedOverAndKept) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write in a read-only folder; run as a user";
  User user;
  TempDir program;
  const std::string portable = "<FIRMWARE>\n\t[MAINFIRMWAREFILE] \"/fw/old.hex\"\n</FIRMWARE>\n";
  testing_support::WriteFile(program.File("Molvane.cfg"), portable);
  fs::permissions(program.Path(), fs::perms::owner_read | fs::perms::owner_exec);

  CartController controller(program.Path(), program.Path());
  controller.LoadConfig();
  EXPECT_EQ(controller.GetPathSetting(CartController::PathSetting::MainFirmware), "/fw/old.hex");
  EXPECT_TRUE(controller.SetPathSetting(CartController::PathSetting::FrontFirmware, "/fw/new.hex"));
  CartController next(program.Path(), program.Path());
  next.LoadConfig();
  EXPECT_EQ(next.GetPathSetting(CartController::PathSetting::FrontFirmware), "/fw/new.hex");
  EXPECT_EQ(testing_support::ReadFile(program.File("Molvane.cfg")), portable);
  fs::permissions(program.Path(), fs::perms::owner_all);
}

}  // namespace
