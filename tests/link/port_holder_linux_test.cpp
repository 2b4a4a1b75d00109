#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "link/port_holder.h"
#include "support/temp_dir.h"

namespace {

using molvane::PortHolder;

TEST(PortHolders, TheProcessThatHasTheDeviceOpenIsNamed) {
  testing_support::TempDir dir;
  const std::string device = dir.File("ttyFAKE0");
  testing_support::WriteFile(device, "");
  std::FILE* held = std::fopen(device.c_str(), "rb");
  ASSERT_NE(held, nullptr);
  const std::vector<PortHolder> holders = molvane::FindPortHolders(device);
  std::fclose(held);
  ASSERT_EQ(holders.size(), 1u);
  EXPECT_EQ(holders[0].pid, ::getpid());
  EXPECT_NE(holders[0].command.find("test_link"), std::string::npos) << holders[0].command;
  EXPECT_TRUE(molvane::FindPortHolders(device).empty()) << "closed again: nobody holds it";
  EXPECT_TRUE(molvane::FindPortHolders(dir.File("missing")).empty());
}

// A process table as an ordinary user reads it: one holder's open files are listed, another's
// (ModemManager, run by the system) are not. The port is used, and what could not be seen is said.
TEST(PortHolders, HoldersTheSystemHidesAreSaidToBeUnseen) {
  testing_support::TempDir dir;
  const std::string device = dir.File("ttyUSB0");
  testing_support::WriteFile(device, "");
  const std::string proc = dir.File("proc");
  std::filesystem::create_directories(proc + "/700/fd");
  std::filesystem::create_symlink(device, proc + "/700/fd/3");
  testing_support::WriteFile(proc + "/700/comm", "minicom\n");
  std::filesystem::create_directories(proc + "/812");
  testing_support::WriteFile(proc + "/812/fd", "");  // a folder that cannot be listed
  testing_support::WriteFile(proc + "/812/comm", "ModemManager\n");

  const molvane::PortHolderSearch search = molvane::SearchPortHolders(device, proc);
  ASSERT_EQ(search.holders.size(), 1u);
  EXPECT_EQ(search.holders[0].name, "minicom");
  EXPECT_EQ(search.hiddenCount, 1);
  EXPECT_TRUE(search.othersHidden);
  const std::string unseen = molvane::DescribeUnseenHolders(device, search);
  EXPECT_NE(unseen.find("sudo fuser -v " + device), std::string::npos) << unseen;
  EXPECT_NE(unseen.find("ModemManager (pid 812) runs out of sight"), std::string::npos) << unseen;
  EXPECT_NE(unseen.find("systemctl stop ModemManager"), std::string::npos) << unseen;
  EXPECT_EQ(molvane::DescribeUnseenHolders(device, {}), "");
}

TEST(PortHolders, KnownCulpritsComeWithTheCommandThatStopsThem) {
  const std::string named =
      molvane::DescribePortHolders({{812, "ModemManager", "/usr/sbin/ModemManager"}});
  EXPECT_NE(named.find("ModemManager (pid 812)"), std::string::npos) << named;
  EXPECT_NE(named.find("systemctl stop ModemManager"), std::string::npos) << named;
  const std::string unseen = molvane::DescribePortHolders({});
  EXPECT_NE(unseen.find("ModemManager"), std::string::npos) << unseen;
  EXPECT_NE(unseen.find("brltty"), std::string::npos) << unseen;
}

}  // namespace
