#include "base/file_tail.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

TEST(FileTail, KeepsTheEndAndTellsTheWholeSize) {
  testing_support::TempDir dir;
  const std::string path = dir.File("comlog.txt");
  testing_support::WriteFile(path, "first\nsecond\nthird\n");
  std::string tail = "kept:";
  std::uintmax_t size = 0;
  EXPECT_EQ(molvane::ReadFileTail(path, 9, tail, size), molvane::ReadResult::Ok);
  EXPECT_EQ(tail, "kept:nd\nthird\n");
  EXPECT_EQ(size, 19u);
  std::string whole;
  EXPECT_EQ(molvane::ReadFileTail(path, 100, whole, size), molvane::ReadResult::Ok);
  EXPECT_EQ(whole, "first\nsecond\nthird\n");
  EXPECT_EQ(molvane::ReadFileTail(dir.File("missing"), 9, whole, size),
            molvane::ReadResult::NotOpened);
  EXPECT_NE(molvane::ReadFileTail(dir.Path(), 9, whole, size), molvane::ReadResult::Ok);
}

}  // namespace
