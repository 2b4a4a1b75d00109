// molvanectl given a FIFO where a file belongs: refused at once, never waited on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "cli/ctl_process.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CartsimProcess;
using cli_testing::RunCtl;
using testing_support::TempDir;

// Nobody writes into these FIFOs: a program that opened one to read would wait for ever.
TEST(CtlFiles, AFifoGivenAsAFileIsRefusedAtOnce) {
  TempDir dir;
  const std::string fifo = dir.File("cart.txt");
  const std::string picture = dir.File("logo.bmp");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(picture.c_str(), 0600), 0);
  const std::vector<std::string> commands[] = {
      {"restore", "--yes", fifo}, {"pins", "import", fifo}, {"flash", "main", fifo},
      {"hex-info", fifo},         {"bitmap", picture},      {"bmp-convert", picture}};
  for (const auto& command : commands) {
    const auto run = RunCtl(command, dir.Path());
    EXPECT_EQ(run.exitCode, 1) << command[0] << ": " << run.err;
    EXPECT_NE(run.err.find("is not a regular file (a FIFO, a device or a folder)"),
              std::string::npos)
        << command[0] << ": " << run.err;
  }
}

TEST(CtlFiles, AFifoNamedComlogInTheWorkingFolderIsLeftAlone) {
  TempDir dir;
  const std::string fifo = dir.File("comlog.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  CartsimProcess cart({"--empty"}, dir.Path());
  ASSERT_TRUE(cart.Started());
  const auto run = RunCtl({"--port", cart.DevicePath(), "status"}, dir.Path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

}  // namespace
