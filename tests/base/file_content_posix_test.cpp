// Files written through a temporary file: several writers at once, and what the old file was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/file_content.h"
#include "support/temp_dir.h"

using molvane::ReplaceFileContent;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST(ReplaceFileContent, WritersAtOnceEachWriteAWholeFile) {
  TempDir dir;
  const std::string path = dir.File("Molvane.cfg");
  const std::string contents[] = {std::string(20000, 'a'), std::string(30000, 'b')};
  std::vector<std::thread> writers;
  int failures[2] = {0, 0};
  for (int w = 0; w < 2; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 0; i < 200; ++i) failures[w] += ReplaceFileContent(path, contents[w]) ? 0 : 1;
    });
  }
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(failures[0] + failures[1], 0) << "one writer took the other's temporary file";
  const std::string last = ReadFile(path);
  EXPECT_TRUE(last == contents[0] || last == contents[1]) << last.size() << " bytes";
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    ++files;
  EXPECT_EQ(files, 1u) << "a temporary file was left behind";
}

TEST(ReplaceFileContent, TheReplacedFileKeepsItsPermissionsAndAReadOnlyOneStays) {
  TempDir dir;
  const std::string path = dir.File("pins.txt");
  WriteFile(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(ReplaceFileContent(path, "new"));
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(ModeOf(path), 0640u);

  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(ReplaceFileContent(path, "newer"));
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(ModeOf(path), 0444u);
}

// A configuration file kept elsewhere and linked in stays linked: the file the link leads to
// gets the new content, through a relative link, a chain of links, and a link to nothing yet.
TEST(ReplaceFileContent, WritesThroughASymbolicLink) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("shared"));
  const std::string target = dir.File("shared/Molvane.cfg");
  WriteFile(target, "old");
  const std::string link = dir.File("Molvane.cfg");
  std::filesystem::create_symlink("shared/Molvane.cfg", link);
  const std::string second = dir.File("second.cfg");
  std::filesystem::create_symlink(link, second);

  ASSERT_TRUE(ReplaceFileContent(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "new");
  ASSERT_TRUE(ReplaceFileContent(second, "newer"));
  EXPECT_TRUE(std::filesystem::is_symlink(second));
  EXPECT_EQ(ReadFile(target), "newer");

  const std::string dangling = dir.File("dangling.cfg");
  std::filesystem::create_symlink("shared/made.cfg", dangling);
  ASSERT_TRUE(ReplaceFileContent(dangling, "made"));
  EXPECT_TRUE(std::filesystem::is_symlink(dangling));
  EXPECT_EQ(ReadFile(dir.File("shared/made.cfg")), "made");
}

}  // namespace
