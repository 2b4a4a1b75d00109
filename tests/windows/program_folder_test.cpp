#include "app/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

// The configuration file is looked for beside the program, so the folder must be the one that
// holds the running test program, given without a trailing separator.
TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  const std::string folder = molvane::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_TRUE(std::filesystem::exists(folder + "\\test_windows.exe")) << folder;
}
