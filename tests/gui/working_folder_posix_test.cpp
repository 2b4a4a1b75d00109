#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>
#include <string>

#include "app/cart_controller.h"
#include "gui/qt_test_app.h"
#include "gui/working_folder.h"
#include "loader/bootlog.h"
#include "support/scoped_variable.h"
#include "support/temp_dir.h"

namespace {

// Installed in /usr/bin, the desktop program keeps both files in the user's configuration
// folder: the boot trace goes to the working folder, the configuration to ConfigPath.
TEST(SettingsFolder, InstalledTheDesktopProgramKeepsConfigurationAndBootTraceForTheUser) {
  gui_testing::TestApp();
  gui_testing::KeepWorkingFolder keep;
  testing_support::TempDir user;
  testing_support::ScopedVariable configHome("XDG_CONFIG_HOME", user.Path());
  molvane::CartController controller(user.Path(), user.Path());

  ASSERT_TRUE(molvane::EnterSettingsFolder(controller, "/usr/bin"));

  const std::string folder = user.Path() + "/molvane";
  EXPECT_EQ(QDir::current().canonicalPath().toStdString(), folder);
  EXPECT_EQ(controller.GetProgramFolder(), "/usr/bin");
  EXPECT_EQ(controller.ConfigPath(), folder + "/Molvane.cfg");
  molvane::Bootlog bootlog(controller.BootlogFolder());
  bootlog.Start();
  bootlog.Write("Hdr: device: 01\n");
  EXPECT_EQ(testing_support::ReadFile(folder + "/bootlog.txt"), "Hdr: device: 01\n");
}

}  // namespace
