#include "app/settings_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

// The running system's folders: Program Files and the user's roaming application data. (Wine's
// prefix has both; the made-up cases are in tests/app/settings_folder_test.cpp.)
namespace {

namespace fs = std::filesystem;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(SystemFolders, InstalledInProgramFilesTheSettingsGoToTheUsersRoamingFolder) {
  const molvane::FolderRules rules = molvane::SystemFolderRules();
  EXPECT_EQ(rules.style, molvane::PathStyle::Windows);
  const auto programFiles =
      std::find_if(rules.systemFolders.begin(), rules.systemFolders.end(),
                   [](const std::string& folder) { return EndsWith(folder, "\\Program Files"); });
  ASSERT_NE(programFiles, rules.systemFolders.end());
  EXPECT_TRUE(EndsWith(rules.userFolder, "\\AppData\\Roaming\\Molvane")) << rules.userFolder;
  EXPECT_TRUE(fs::is_directory(fs::path(rules.userFolder).parent_path()));

  const std::string installed = *programFiles + "\\Molvane";
  EXPECT_EQ(molvane::ChooseSettingsFolder(installed, rules, molvane::FolderWritable),
            rules.userFolder);
  EXPECT_EQ(molvane::TraceFolder(installed, installed), molvane::SettingsFolder(installed));
}

// The check makes a file: it must leave none behind, or every start would litter the folder.
TEST(SystemFolders, AWritableFolderIsFoundSoAndLeftAsItWas) {
  testing_support::TempDir portable;
  EXPECT_TRUE(molvane::FolderWritable(portable.Path()));
  EXPECT_TRUE(fs::is_empty(portable.Path()));
  EXPECT_EQ(molvane::SettingsFolder(portable.Path()), portable.Path());
  EXPECT_EQ(molvane::TraceFolder(portable.Path(), "C:\\Program Files\\Molvane"), portable.Path());
  EXPECT_TRUE(molvane::FolderWritable(portable.File("not made yet")));
}

}  // namespace
