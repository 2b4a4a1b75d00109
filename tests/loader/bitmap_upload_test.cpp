// Bitmap uploads to the simulated cart's display over a real pseudo-terminal.
#include "loader/bitmap_upload.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "loader/bmp_image.h"
#include "loader/title_bitmap.h"
#include "support/controller_settings.h"
#include "support/eventually.h"
#include "support/sim_fixture.h"
#include "test_pictures.h"

using testing_support::ReadFile;
using testing_support::SimFixture;
using testing_support::WriteFile;

namespace {

using Clock = std::chrono::steady_clock;
using Mode = molvane::BitmapUploadMode;

const loader_test::Dark kPattern = [](int r, int c) { return (r + 2 * c) % 7 == 0 || r == c; };

molvane::TitleBitmap ExpectedTitle() {
  molvane::PixelGrid grid;
  for (int r = 0; r < 32; ++r) {
    for (int c = 0; c < 82; ++c) grid.dots[r][c] = kPattern(r, c) ? 1 : 0;
  }
  return molvane::BuildTitleBitmap(grid, 32);
}

struct UploadRun {
  explicit UploadRun(cartsim::SimCart::Options options = {}) : fx(std::move(options)) {
    EXPECT_TRUE(fx.Connect());
    testing_support::SetTiming(fx.controller, &molvane::Timing::bitmapSettleMs, 20);
  }

  std::string Picture(const std::string& name) {
    std::string path = fx.dir.File(name);
    WriteFile(path, loader_test::MakeBmp(82, 32, 1, kPattern));
    return path;
  }

  // Runs an upload in the given mode and gives its final message.
  std::string Upload(const std::string& path, Mode mode, int start = 0) {
    const molvane::Outcome started = molvane::StartBitmapUpload(fx.controller, path, mode, start);
    EXPECT_TRUE(started) << started.text;
    fx.controller.WaitForTransfer();
    EXPECT_FALSE(fx.controller.IsBusy());
    const molvane::Outcome end = fx.controller.TransferOutcome();
    EXPECT_EQ(end.text, fx.controller.MessageText());
    EXPECT_EQ(end.ok, end.text == "Bitmap Update Complete.") << end.text;
    return end.text;
  }

  template <class F>
  auto Display(F&& f) {
    return fx.sim.Inspect([&](cartsim::SimCart& s) { return f(s.Display()); });
  }

  int Commands() {
    return fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
  }

  SimFixture fx;
};

TEST(BitmapUpload, CustomerTitleLandsInDisplayMemoryFrom256) {
  UploadRun run;
  std::string picture = run.Picture("Title.BMP");
  ASSERT_EQ(run.Upload(picture, Mode::CustomerTitle, 256), "Bitmap Update Complete.");
  EXPECT_FALSE(ReadFile(run.fx.dir.File("Title.txt")).empty());
  molvane::TitleBitmap title = ExpectedTitle();
  run.Display([&](cartsim::DisplayModel& d) {
    for (int i = 0; i < 331; ++i) ASSERT_EQ(d.Memory()[256 + i], title.bytes[i]) << "byte " << i;
    for (int a = 587; a < cartsim::kDisplayMemoryBytes; ++a) ASSERT_EQ(d.Memory()[a], 0) << a;
    EXPECT_EQ(d.LinesAccepted(), 21);
    EXPECT_EQ(d.LoadsStarted(), 1);
    EXPECT_EQ(d.LoadsEnded(), 1);
    EXPECT_EQ(d.LastEndArgument(), 256);
  });
  // The port is reopened and stays the cart's port.
  EXPECT_EQ(run.fx.controller.CurrentPort(), 0);
  EXPECT_TRUE(run.fx.controller.IsPortOpen(0));
}

TEST(BitmapUpload, FactoryTitleGoesWithoutLoadAndEndCommands) {
  UploadRun run;
  ASSERT_EQ(run.Upload(run.Picture("factory.bmp"), Mode::FactoryTitle), "Bitmap Update Complete.");
  molvane::TitleBitmap title = ExpectedTitle();
  run.Display([&](cartsim::DisplayModel& d) {
    for (int i = 0; i < molvane::TitleBitmap::kSize; ++i) ASSERT_EQ(d.Memory()[i], title.bytes[i]);
    EXPECT_EQ(d.LoadsStarted(), 0);
    EXPECT_EQ(d.LoadsEnded(), 0);
  });
}

TEST(BitmapUpload, ResendRequestsAreAnsweredAndTheLineSentAgain) {
  cartsim::SimCart::Options options;
  options.echo = true;
  UploadRun run(options);
  ASSERT_TRUE(run.fx.controller.EchoesCommands());
  run.Display([](cartsim::DisplayModel& d) { d.resendAnswers = 3; });
  ASSERT_EQ(run.Upload(run.Picture("t.bmp"), Mode::Bitmaps), "Bitmap Update Complete.");
  molvane::TitleBitmap title = ExpectedTitle();
  run.Display([&](cartsim::DisplayModel& d) {
    EXPECT_EQ(d.ResendsAsked(), 3);
    EXPECT_EQ(d.LinesAccepted(), 21);
    for (int i = 0; i < molvane::TitleBitmap::kSize; ++i) ASSERT_EQ(d.Memory()[i], title.bytes[i]);
  });
}

TEST(BitmapUpload, DisplayThatAlwaysAsksAgainEndsAtTheBound) {
  UploadRun run;
  testing_support::SetTiming(run.fx.controller, &molvane::Timing::bitmapResendLimit, 3);
  run.Display([](cartsim::DisplayModel& d) { d.resendForever = true; });
  auto start = Clock::now();
  EXPECT_EQ(run.Upload(run.Picture("t.bmp"), Mode::Bitmaps),
            "The display stopped answering. Bitmap Update Aborted.");
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 15.0);
  EXPECT_TRUE(run.fx.controller.IsPortOpen(0));
}

// "error" before the prompt is no acknowledgement: the line goes again within the resend bound,
// and the upload then fails naming it, with nothing claimed complete.
TEST(BitmapUpload, RefusedLineIsSentAgainThenTheUploadFailsNamingIt) {
  UploadRun run;
  testing_support::SetTiming(run.fx.controller, &molvane::Timing::bitmapResendLimit, 3);
  run.Display([](cartsim::DisplayModel& d) { d.refuseLines = true; });
  const std::string file = run.fx.dir.File("lines.txt");
  WriteFile(file, "ew 7 abcd\r\new 9 ef\r\n");
  EXPECT_EQ(run.Upload(file, Mode::Bitmaps),
            "The display refused line 1 (ew 7 abcd): Error: Unknown. Bitmap Update Aborted.");
  EXPECT_EQ(run.fx.controller.TransferOutcome().done, 0);
  run.Display([](cartsim::DisplayModel& d) {
    EXPECT_EQ(d.ErrorsAnswered(), 4) << "the line and three resends";
    EXPECT_EQ(d.LinesAccepted(), 0);
    EXPECT_EQ(d.LoadsEnded(), 0) << "no end of load after a refused line";
  });
}

TEST(BitmapUpload, SilentDisplayEndsTheUpload) {
  UploadRun run;
  run.fx.sim.faults.silentAfter = run.Commands() + 3;
  auto start = Clock::now();
  EXPECT_EQ(run.Upload(run.Picture("t.bmp"), Mode::Bitmaps),
            "The display stopped answering. Bitmap Update Aborted.");
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 15.0);
  EXPECT_FALSE(run.fx.controller.IsBusy());
}

TEST(BitmapUpload, CommandFileSendsOnlyWriteLinesThenPausesBeforeItEnds) {
  UploadRun run;
  testing_support::SetTiming(run.fx.controller, &molvane::Timing::bitmapSettleMs,
                             10000);  // the display's real storing time
  std::string path = run.fx.dir.File("Lines.TXT");
  WriteFile(path, "ew 10 0102\r\nhello\r\nrew 20 03\r\n; the end\r\n");
  auto start = Clock::now();
  ASSERT_TRUE(molvane::StartBitmapUpload(run.fx.controller, path, Mode::Bitmaps));
  EXPECT_TRUE(testing_support::Eventually(
      [&] { return run.fx.controller.GetMessage() == "Bitmap Updated ..."; }, 8000, 10))
      << run.fx.controller.GetMessage();
  EXPECT_TRUE(run.fx.controller.IsBusy());
  run.fx.controller.WaitForTransfer();
  EXPECT_GT(std::chrono::duration<double>(Clock::now() - start).count(), 10.0);
  EXPECT_EQ(run.fx.controller.MessageText(), "Bitmap Update Complete.");
  run.Display([](cartsim::DisplayModel& d) {
    EXPECT_EQ(d.LinesAccepted(), 2);
    EXPECT_EQ(d.Memory()[10], 1);
    EXPECT_EQ(d.Memory()[11], 2);
    EXPECT_EQ(d.Memory()[20], 3);
    EXPECT_EQ(d.ErrorsAnswered(), 0);
  });
}

TEST(BitmapUpload, EmptyCommandFileStillRunsTheEndSteps) {
  UploadRun run;
  std::string path = run.fx.dir.File("empty.txt");
  WriteFile(path, "");
  EXPECT_EQ(run.Upload(path, Mode::Bitmaps), "Bitmap Update Complete.");
  EXPECT_EQ(run.Display([](cartsim::DisplayModel& d) { return d.LoadsEnded(); }), 1);
}

TEST(BitmapUpload, CancelBeforeTheFirstLine) {
  UploadRun run;
  ASSERT_TRUE(molvane::StartBitmapUpload(run.fx.controller, run.Picture("t.bmp"), Mode::Bitmaps));
  run.fx.controller.CancelTransfer();
  run.fx.controller.WaitForTransfer();
  EXPECT_EQ(run.fx.controller.MessageText(), "Bitmap Update Canceled");
  EXPECT_FALSE(run.fx.controller.IsBusy());
  EXPECT_EQ(run.Display([](cartsim::DisplayModel& d) { return d.LinesAccepted(); }), 0);
}

TEST(BitmapUpload, UnsuitableFilesAreRefusedAndNothingIsSent) {
  UploadRun run;
  int before = run.Commands();
  std::string fake = run.fx.dir.File("fake.bmp");
  WriteFile(fake, "just some text, no picture here ......................................");
  auto& c = run.fx.controller;
  const molvane::Outcome notABmp = molvane::StartBitmapUpload(c, fake, Mode::Bitmaps);
  EXPECT_FALSE(notABmp);
  EXPECT_NE(notABmp.text.find("not a BMP"), std::string::npos) << notABmp.text;
  EXPECT_TRUE(ReadFile(run.fx.dir.File("fake.txt")).empty());

  std::string png = run.fx.dir.File("picture.png");
  std::string content = loader_test::MakeBmp(8, 8, 24, kPattern);
  WriteFile(png, content);
  EXPECT_FALSE(molvane::StartBitmapUpload(c, png, Mode::Bitmaps));
  EXPECT_EQ(ReadFile(png), content);

  c.SetMessage("unchanged");
  for (const char* name : {"ab", "noextension"}) {
    const molvane::Outcome refused = molvane::StartBitmapUpload(c, name, Mode::Bitmaps);
    EXPECT_FALSE(refused) << name;
    EXPECT_EQ(refused.text, "Please select a file.") << name;
  }
  EXPECT_EQ(c.MessageText(), "unchanged") << "a refused start only says why";
  EXPECT_FALSE(run.fx.controller.IsBusy());
  EXPECT_EQ(run.Commands(), before);
}

TEST(BitmapUpload, MissingCommandFileIsReported) {
  UploadRun run;
  EXPECT_EQ(run.Upload(run.fx.dir.File("absent.txt"), Mode::Bitmaps),
            "Bitmap file could not be opened");
}

}  // namespace

namespace {

TEST(BitmapUpload, PromptBesideAResendRequestDoesNotPassTheLine) {
  UploadRun run;
  run.Display([](cartsim::DisplayModel& d) {
    d.resendAnswers = 3;
    d.resendWithPrompt = true;  // "<>"
  });
  ASSERT_EQ(run.Upload(run.Picture("t.bmp"), Mode::Bitmaps), "Bitmap Update Complete.");
  molvane::TitleBitmap title = ExpectedTitle();
  run.Display([&](cartsim::DisplayModel& d) {
    EXPECT_EQ(d.ResendsAsked(), 3);
    EXPECT_EQ(d.LinesAccepted(), 21);
    for (int i = 0; i < molvane::TitleBitmap::kSize; ++i) ASSERT_EQ(d.Memory()[i], title.bytes[i]);
  });
}

TEST(BitmapUpload, CancelEndsTheWaitForTheDisplayToStore) {
  UploadRun run;
  testing_support::SetTiming(run.fx.controller, &molvane::Timing::bitmapSettleMs, 60000);
  ASSERT_TRUE(molvane::StartBitmapUpload(run.fx.controller, run.Picture("t.bmp"), Mode::Bitmaps));
  ASSERT_TRUE(testing_support::Eventually(
      [&] { return run.fx.controller.MessageText() == "Bitmap Updated ..."; }, 20000));
  const auto start = Clock::now();
  run.fx.controller.CancelTransfer();
  run.fx.controller.WaitForTransfer();
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.0);
  EXPECT_EQ(run.fx.controller.MessageText(),
            "Bitmap Updated ... but the wait for the display to store it was cut short.");
  EXPECT_FALSE(run.fx.controller.IsBusy());
  EXPECT_EQ(run.Display([](cartsim::DisplayModel& d) { return d.LinesAccepted(); }), 21);
  EXPECT_TRUE(run.fx.controller.IsPortOpen(0)) << "the port is reopened as after a full wait";
}

}  // namespace
