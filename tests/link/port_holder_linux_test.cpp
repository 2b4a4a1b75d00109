#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

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
