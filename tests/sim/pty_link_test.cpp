// cartsim --link takes a free name, or the link an earlier cartsim left, and nothing else.
#include <gtest/gtest.h>

#include <filesystem>

#include "sim/pty_transport.h"
#include "sim/sim_cart.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(PtyLink, OnlyAFreeNameOrAnEarlierCartsimsLinkIsTaken) {
  TempDir dir;
  WriteFile(dir.File("notes.txt"), "keep me");
  fs::create_directory(dir.File("folder"));
  fs::create_symlink("/etc/hostname", dir.File("other-link"));
  fs::create_symlink("/dev/pts/999", dir.File("old-cart"));
  const struct {
    const char* name;
    bool free;
  } cases[] = {{"missing", true},
               {"old-cart", true},
               {"notes.txt", false},
               {"folder", false},
               {"other-link", false}};
  for (const auto& c : cases) EXPECT_EQ(cartsim::IsFreeForLink(dir.File(c.name)), c.free) << c.name;

  cartsim::SimCart first, second;
  cartsim::PtyTransport taken(first, {false, dir.File("old-cart")});
  ASSERT_TRUE(taken.Start());
  EXPECT_EQ(fs::read_symlink(dir.File("old-cart")), taken.DevicePath());
  taken.Stop();
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.File("old-cart"))));
  cartsim::PtyTransport refused(second, {false, dir.File("notes.txt")});
  ASSERT_TRUE(refused.Start());
  refused.Stop();
  EXPECT_EQ(ReadFile(dir.File("notes.txt")), "keep me");
}

}  // namespace
