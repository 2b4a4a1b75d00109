// Exercising the cart and loading the customer title through molvanectl.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/ctl_process.h"
#include "loader/bmp_image.h"
#include "loader/title_bitmap.h"
#include "support/sim_fixture.h"

namespace {

using cli_testing::CtlRun;
using cli_testing::Lines;
using testing_support::SimFixture;

struct CtlTesting : ::testing::Test {
  SimFixture sim;
  CtlRun Ctl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--port", sim.link.DevicePath()});
    return cli_testing::RunCtl(arguments, sim.dir.Path());
  }
  bool Has(const CtlRun& run, const std::string& line) {
    const auto lines = Lines(run.out);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

TEST_F(CtlTesting, LockUnlockLampAndCycleCounterShowWhatTheCartReports) {
  ASSERT_TRUE(sim.started);
  sim.Cart([](cartsim::CartModel& cart) { return cart.Settings().cycleCount = 12; });
  const CtlRun unlock = Ctl({"unlock"});
  EXPECT_EQ(unlock.exitCode, 0) << unlock.err;
  EXPECT_TRUE(Has(unlock, "Status: 80")) << unlock.out;
  EXPECT_TRUE(Has(unlock, "Drawer Unlocked: yes")) << unlock.out;
  EXPECT_TRUE(Has(Ctl({"lamp", "toggle"}), "Keyboard Lamp On: yes"));
  EXPECT_TRUE(Has(Ctl({"lock"}), "Drawer Unlocked: no"));
  EXPECT_EQ(Ctl({"cycles", "get"}).out, "Lock cycle count: 13\n");
  const CtlRun reset = Ctl({"cycles", "reset"});
  EXPECT_EQ(reset.exitCode, 0) << reset.err;
  EXPECT_EQ(reset.out, "Lock cycle count: 0\n");

  sim.sim.faults.dropAnswers = true;
  const CtlRun silent = Ctl({"lock"});
  EXPECT_EQ(silent.exitCode, 1);
  EXPECT_EQ(Lines(silent.err).size(), 1u) << silent.err;
}

// The title is drawn as the Testing page draws it; a build without Qt says it has no such command.
TEST_F(CtlTesting, TitleTextWritesThePictureAndLoadsItFrom256) {
  ASSERT_TRUE(sim.started);
  const CtlRun help = cli_testing::RunCtl({"--help"}, sim.dir.Path());
  if (help.out.find("\n  title-text ") == std::string::npos) {  // not among the commands
    EXPECT_NE(help.out.find("title-text (the customer title screen) is not in this build"),
              std::string::npos)
        << help.out;
    GTEST_SKIP() << "molvanectl was built without Qt";
  }
  const std::string only = sim.dir.File("only.bmp");
  const CtlRun written =
      cli_testing::RunCtl({"title-text", "Ward 7", "--out", only}, sim.dir.Path());
  EXPECT_EQ(written.exitCode, 0) << written.err;
  EXPECT_EQ(testing_support::ReadFile(only).size(), 7990u);
  EXPECT_EQ(sim.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); }), 0);

  const std::string store = sim.dir.File("fleet.db");
  const CtlRun loaded = Ctl({"--fleet", store, "title-text", "Ward 7"});
  EXPECT_EQ(loaded.exitCode, 0) << loaded.err;
  ASSERT_FALSE(loaded.out.empty());
  EXPECT_EQ(Lines(loaded.out).back(), "Bitmap Update Complete.");
  const std::string saved = sim.dir.File("CustomerTitle.bmp");
  EXPECT_EQ(testing_support::ReadFile(saved), testing_support::ReadFile(only));
  // Recorded as the picture load it is.
  const CtlRun list =
      cli_testing::RunCtl({"--fleet", store, "--json", "fleet", "list"}, sim.dir.Path());
  const auto carts = nlohmann::json::parse(list.out, nullptr, false)["carts"];
  ASSERT_EQ(carts.size(), 1u) << list.out << list.err;
  const auto& update = carts[0]["last_update"];
  EXPECT_EQ(update["kind"], "bitmap") << list.out;
  EXPECT_EQ(update["file"], saved);
  EXPECT_EQ(update["outcome"], "Bitmap Update Complete.");

  auto grid = std::make_unique<molvane::PixelGrid>();
  molvane::BmpInfo info;
  std::string error;
  ASSERT_TRUE(molvane::ReadBmpFile(saved, *grid, info, error)) << error;
  const molvane::TitleBitmap title = molvane::BuildTitleBitmap(*grid, 32);
  EXPECT_TRUE(std::any_of(title.bytes.begin() + 3, title.bytes.end(), [](auto b) { return b; }));
  sim.sim.Inspect([&](cartsim::SimCart& s) {
    for (int i = 0; i < 331; ++i) EXPECT_EQ(s.Display().Memory()[256 + i], title.bytes[i]) << i;
    return 0;
  });
}

}  // namespace
