#include "app/settings_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

// The choice of folders with made-up systems, so that Windows' rules are checked on Linux too and
// a read-only folder can be had where the tests run as root or under Wine.
namespace {

namespace fs = std::filesystem;
using molvane::ChooseSettingsFolder;
using molvane::FolderRules;
using molvane::KeepsFiles;
using molvane::PathStyle;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

const std::string kAppData = "C:\\Users\\ann\\AppData\\Roaming\\Molvane";

FolderRules WindowsRules() {
  return {PathStyle::Windows,
          {"C:\\Program Files", "C:\\Program Files (x86)", "C:\\Windows"},
          kAppData};
}

FolderRules LinuxRules() { return {PathStyle::Posix, {"/usr"}, "/home/ann/.config/molvane"}; }

struct Case {
  const char* what;
  FolderRules rules;
  std::string programFolder;
  bool writable;
  std::string expected;
};

TEST(SettingsFolderChoice, FollowsWhereTheProgramLiesAndWhetherItMayWriteThere) {
  const std::vector<Case> cases = {
      {"a portable folder", WindowsRules(), "D:\\Tools\\Molvane", true, "D:\\Tools\\Molvane"},
      {"a portable folder on a stick", WindowsRules(), "E:\\", true, "E:\\"},
      {"a read-only folder", WindowsRules(), "\\\\server\\tools\\Molvane", false, kAppData},
      {"installed, run by an administrator", WindowsRules(), "C:\\Program Files\\Molvane", true,
       kAppData},
      {"installed, in other case and slashes", WindowsRules(), "c:/PROGRAM FILES/Molvane/", true,
       kAppData},
      {"the 32-bit program folder", WindowsRules(), "C:\\Program Files (x86)\\Molvane", true,
       kAppData},
      {"a name that only begins like Program Files", WindowsRules(),
       "C:\\Program Files Tools\\Molvane", true, "C:\\Program Files Tools\\Molvane"},
      {"no user folder known",
       {PathStyle::Windows, {"C:\\Program Files"}, ""},
       "C:\\Program Files\\Molvane",
       false,
       "C:\\Program Files\\Molvane"},
      {"a build folder", LinuxRules(), "/home/ann/molvane/build", true, "/home/ann/molvane/build"},
      {"installed in /usr/bin, run by root", LinuxRules(), "/usr/bin", true,
       "/home/ann/.config/molvane"},
      {"Linux names differ in case", LinuxRules(), "/USR/bin", true, "/USR/bin"},
      {"a read-only folder under /opt", LinuxRules(), "/opt/molvane", false,
       "/home/ann/.config/molvane"},
  };
  for (const Case& c : cases) {
    const auto writable = [&](const std::string&) { return c.writable; };
    EXPECT_EQ(ChooseSettingsFolder(c.programFolder, c.rules, writable), c.expected) << c.what;
  }
}

// Trying means making a file there: an installed program must not write in Program Files even
// where it could.
TEST(SettingsFolderChoice, ASystemFolderIsNeverTriedForWriting) {
  std::vector<std::string> tried;
  const auto writable = [&](const std::string& folder) {
    tried.push_back(folder);
    return true;
  };
  EXPECT_FALSE(KeepsFiles("C:\\Program Files\\Molvane", WindowsRules(), writable));
  EXPECT_FALSE(KeepsFiles("C:\\WINDOWS\\system32", WindowsRules(), writable));
  EXPECT_TRUE(tried.empty());
  EXPECT_TRUE(KeepsFiles("C:\\Users\\ann\\Documents", WindowsRules(), writable));
  EXPECT_EQ(tried, std::vector<std::string>{"C:\\Users\\ann\\Documents"});
}

// The upgrade from a portable folder: the settings file found beside the program is the user's
// until they have their own, and stays where it was.
TEST(PortableSettings, AreCopiedOnceIntoTheUsersFolderAndKeptBesideTheProgram) {
  TempDir program;
  TempDir user;
  const std::string settings = "<FIRMWARE>\r\n\t[MAINFIRMWAREFILE] \"D:\\fw\\main.hex\"\r\n";
  WriteFile(program.File("Molvane.cfg"), settings);

  EXPECT_TRUE(molvane::CopyPortableSettings(program.Path(), user.Path()));
  EXPECT_EQ(ReadFile(user.File("Molvane.cfg")), settings);
  EXPECT_EQ(ReadFile(program.File("Molvane.cfg")), settings);

  WriteFile(user.File("Molvane.cfg"), "changed since");
  EXPECT_FALSE(molvane::CopyPortableSettings(program.Path(), user.Path()));
  EXPECT_EQ(ReadFile(user.File("Molvane.cfg")), "changed since");

  EXPECT_FALSE(molvane::CopyPortableSettings(program.Path(), program.Path()));
  EXPECT_EQ(ReadFile(program.File("Molvane.cfg")), settings);
}

TEST(PortableSettings, NoFileBesideTheProgramMakesNone) {
  TempDir program;
  TempDir user;
  EXPECT_FALSE(molvane::CopyPortableSettings(program.Path(), user.Path()));
  EXPECT_TRUE(fs::is_empty(user.Path()));
}

}  // namespace
