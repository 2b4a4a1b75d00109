// The firmware update against the simulated cart's bootloaders over a real pseudo-terminal.
#include "loader/firmware_update.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cart/board.h"
#include "loader/bitmap_upload.h"
#include "support/controller_settings.h"
#include "support/eventually.h"
#include "support/intel_hex.h"
#include "support/raw_pty.h"
#include "support/sim_fixture.h"

using cartsim::Board;
using cartsim::BootloaderModel;
using testing_support::Eventually;
using testing_support::HexFile;
using testing_support::PagePattern;
using testing_support::ReadFile;
using testing_support::SimFixture;
using testing_support::WriteFile;

namespace {

using Clock = std::chrono::steady_clock;

cartsim::SimCart::Options WithPageCode(std::uint8_t code) {
  cartsim::SimCart::Options options;
  options.headers[static_cast<int>(Board::Main)].pageSize = code;
  return options;
}

// The simulator takes the host's last bytes on its own thread: give it a moment.
constexpr int kSettleMs = 3000;

struct FlashRun {
  explicit FlashRun(cartsim::SimCart::Options options = {}) : fx(std::move(options)) {
    EXPECT_TRUE(fx.Connect());
    fx.controller.SetBootlogFolder(fx.dir.Path());
    testing_support::SetTiming(fx.controller, &molvane::Timing::pageAckTimeoutMs, 2000);
    testing_support::SetTiming(fx.controller, &molvane::Timing::headerAckTimeoutMs, 2000);
  }

  std::string Start(const std::string& hexText, const char* board = "main") {
    std::string path = fx.dir.File("firmware.hex");
    WriteFile(path, hexText);
    const molvane::Board* chosen = molvane::FindBoard(board);
    if (chosen == nullptr) {
      ADD_FAILURE() << "no board " << board;
      return path;
    }
    const molvane::Outcome started = molvane::StartFirmwareUpdate(fx.controller, path, *chosen);
    EXPECT_TRUE(started) << started.text;
    return path;
  }

  // Runs a whole update and gives its final message.
  std::string Flash(const std::string& hexText, const char* board = "main") {
    Start(hexText, board);
    fx.controller.WaitForTransfer();
    EXPECT_FALSE(fx.controller.IsBusy());
    const molvane::Outcome end = fx.controller.TransferOutcome();
    EXPECT_EQ(end.text, fx.controller.MessageText());
    EXPECT_EQ(end.ok, end.text == "Firmware Update Complete") << end.text;
    return end.text;
  }

  template <class F>
  auto Board(F&& f, cartsim::Board which = cartsim::Board::Main) {
    return fx.sim.Inspect([&](cartsim::SimCart& s) { return f(s.BoardModel(which)); });
  }

  std::string Bootlog() { return ReadFile(fx.dir.File("bootlog.txt")); }

  SimFixture fx;
};

TEST(FirmwareUpdate, EveryPageSizeFlashesTheFileImage) {
  const std::uint8_t codes[] = {'Q', 'R', 'S', 'T', 'U'};
  const std::vector<std::uint8_t> data = PagePattern(1300);
  for (std::uint8_t code : codes) {
    FlashRun run(WithPageCode(code));
    ASSERT_EQ(run.Flash(HexFile(data)), "Firmware Update Complete") << "code " << code;
    const int pageSize = 32 << (code - 'Q');
    const int pages = 1300 / pageSize + 1;
    EXPECT_TRUE(Eventually(
        [&] { return run.Board([](BootloaderModel& b) { return b.Exits(); }) == 1; }, kSettleMs))
        << "0xFF 0xFF ends the session";
    run.Board([&](BootloaderModel& b) {
      EXPECT_EQ(b.PagesWritten(), pages) << pageSize;
      for (int a = 0; a < pages * pageSize; ++a) {
        int expected = a < 1300 ? data[a] : 0xFF;
        ASSERT_EQ(b.Flash()[a], expected) << "page size " << pageSize << " address " << a;
      }
      for (int p = 0; p < pages; ++p) {
        const cartsim::PageRecord& record = b.Pages()[p];
        EXPECT_EQ(record.addressField, pageSize == 512 ? p * 512 : p) << pageSize;
        EXPECT_EQ(record.sumReceived, record.sumComputed);
      }
    });
    EXPECT_EQ(run.fx.controller.TransferOutcome().done, pages) << pageSize;
    EXPECT_EQ(run.fx.controller.TransferOutcome().total, pages) << pageSize;
  }
}

TEST(FirmwareUpdate, FullImageKeepsItsFirstPageAtTheLargestPageSize) {
  const std::vector<std::uint8_t> data = PagePattern(65536);
  FlashRun run(WithPageCode('U'));
  ASSERT_EQ(run.Flash(HexFile(data)), "Firmware Update Complete");
  run.Board([&](BootloaderModel& b) {
    EXPECT_EQ(b.PagesWritten(), 128) << "nothing is sent past the end of flash";
    for (int a = 0; a < 65536; ++a) ASSERT_EQ(b.Flash()[a], data[a]) << "address " << a;
  });
}

TEST(FirmwareUpdate, BootlogTraceAndProgressTellTheStory) {
  FlashRun run;
  // 1000 bytes at 128 per page: pages 0 to 7, the last one partly erased.
  ASSERT_EQ(run.Flash(HexFile(PagePattern(1000))), "Firmware Update Complete");
  // One attempt only: the device byte that ended the purge of 'U's was carried into the header.
  EXPECT_EQ(run.Bootlog(),
            "\n\nHdr: device: 4d flash:70 bootsize: 64 pageSize: 80 eepromsize: 34\n");
  std::string trace = run.fx.Trace();
  std::size_t at = 0;
  for (const char* step :
       {"Log: Wait for a 'U'", "Log: Waiting for response from bootloader.", "Log: Got a 'U';",
        "Log: Waiting = false;", "Log: Write a'U';", "Log: Purging Us", "Log: ReceiveHeader",
        "Log: Writing..  0%", "Log: Writing..  42%", "Log: Writing..  100%"}) {
    at = trace.find(step, at);
    ASSERT_NE(at, std::string::npos) << step;
  }
  EXPECT_EQ(run.fx.controller.GetStatusText(), "Writing..  100%");
  // Page data is kept out of the trace; the two address bytes and the sum byte are not.
  const std::size_t pageZero = trace.find("Log: Writing..  0%");
  const std::size_t pageOne = trace.find("Log: Writing..", pageZero + 1);
  ASSERT_NE(pageOne, std::string::npos);
  int sent = 0;
  for (std::size_t tx = trace.find("TX: [len=", pageZero); tx < pageOne;
       tx = trace.find("TX: [len=", tx + 1)) {
    EXPECT_EQ(trace.compare(tx, 11, "TX: [len=1]"), 0);
    ++sent;
  }
  EXPECT_EQ(sent, 3);
  EXPECT_LT(trace.size(), 200000u);
}

// Such a file would erase the board's first page and call it an update.
TEST(FirmwareUpdate, FileWithoutDataIsRefusedBeforeTheBoardIsTouched) {
  FlashRun run;
  const int commandsBefore =
      run.fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
  const std::string path = run.fx.dir.File("firmware.hex");
  for (const char* content : {"", "no records here\n", ":00000001FF\n"}) {
    EXPECT_EQ(run.Flash(content),
              "Firmware file " + path + " holds no firmware data. Update refused.");
  }
  EXPECT_EQ(run.fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); }),
            commandsBefore);
  run.Board([](BootloaderModel& b) {
    EXPECT_FALSE(b.Active());
    EXPECT_TRUE(b.Pages().empty());
  });
}

TEST(FirmwareUpdate, PageRefusedFourTimesIsSentAgainAndTaken) {
  FlashRun run;
  run.Board([](BootloaderModel& b) {
    b.faults.refusePage = 1;
    b.faults.refuseTimes = 4;
  });
  ASSERT_EQ(run.Flash(HexFile(PagePattern(300))), "Firmware Update Complete");
  run.Board([](BootloaderModel& b) {
    int sends = 0;
    for (const cartsim::PageRecord& r : b.Pages()) sends += r.addressField == 1;
    EXPECT_EQ(sends, 5);
    EXPECT_EQ(b.PagesWritten(), 3);
  });
}

TEST(FirmwareUpdate, PageRefusedFiveTimesAbortsWithoutEndBytes) {
  FlashRun run;
  run.Board([](BootloaderModel& b) {
    b.faults.refusePage = 1;
    b.faults.refuseTimes = 5;
  });
  EXPECT_EQ(run.Flash(HexFile(PagePattern(300))),
            "Could not send correct segment after 5 tries. Update Aborted.");
  run.Board([](BootloaderModel& b) {
    EXPECT_EQ(b.Pages().size(), 6u);  // page 0, then page 1 five times
    EXPECT_EQ(b.Exits(), 0);
    EXPECT_TRUE(b.Active());
  });
}

TEST(FirmwareUpdate, BadHeaderIsRestartedAndTheSecondOneUsed) {
  FlashRun run;
  run.Board([](BootloaderModel& b) { b.faults.badHeaderOnce = true; });
  ASSERT_EQ(run.Flash(HexFile(PagePattern(200))), "Firmware Update Complete");
  EXPECT_EQ(run.Board([](BootloaderModel& b) { return b.HeadersSent(); }), 2);
  std::string log = run.Bootlog();
  std::size_t bad = log.find("Incorrect Device Number [42].\n");
  std::size_t restart = log.find("Sending: 0xFF 0xFF to restart firmware update\n");
  std::size_t good = log.find("Hdr: device: 4d");
  ASSERT_NE(bad, std::string::npos) << log;
  EXPECT_NE(log.find("Hdr: device: 42 flash:70"), std::string::npos) << log;
  ASSERT_NE(restart, std::string::npos);
  ASSERT_NE(good, std::string::npos);
  EXPECT_LT(bad, restart);
  EXPECT_LT(restart, good);
  EXPECT_EQ(run.fx.Trace().find("Log: Sending: 0xFF"), std::string::npos);
}

TEST(FirmwareUpdate, HeaderThatNeverFitsEndsAfterTheAttemptBound) {
  cartsim::SimCart::Options options;
  options.headers[static_cast<int>(Board::Main)].device = 0x42;
  FlashRun run(options);
  testing_support::SetTiming(run.fx.controller, &molvane::Timing::headerAttempts, 3);
  EXPECT_EQ(run.Flash(HexFile(PagePattern(200))),
            "The bootloader sent no valid header. Update Aborted.");
  EXPECT_TRUE(
      Eventually([&] { return run.Board([](BootloaderModel& b) { return b.HeadersSent(); }) == 4; },
                 kSettleMs))
      << "the first header and one after each restart";
  run.Board([](BootloaderModel& b) { EXPECT_EQ(b.PagesWritten(), 0); });
}

TEST(FirmwareUpdate, HeaderWithoutAcknowledgementEndsAfterTheBound) {
  FlashRun run;
  run.Board([](BootloaderModel& b) { b.faults.noiseHeader = true; });
  auto start = Clock::now();
  EXPECT_EQ(run.Flash(HexFile(PagePattern(200))),
            "The bootloader did not acknowledge its header. Update Aborted.");
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 6.0);
  EXPECT_FALSE(run.fx.controller.IsBusy());
  EXPECT_TRUE(run.fx.controller.IsPortOpen(0));
}

TEST(FirmwareUpdate, SilentBootloaderTimesOutAfterFiveSeconds) {
  FlashRun run;
  run.Board([](BootloaderModel& b) { b.faults.neverSendU = true; });
  auto start = Clock::now();
  run.Start(HexFile(PagePattern(200)));
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  EXPECT_TRUE(run.fx.controller.IsBusy());
  EXPECT_EQ(run.fx.controller.GetMessage(), "Waiting for response from bootloader.");
  run.fx.controller.WaitForTransfer();
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_EQ(run.fx.controller.MessageText(), "Timeout while waiting for the board");
  EXPECT_GT(seconds, 4.9);
  EXPECT_LT(seconds, 9.0);
  EXPECT_FALSE(run.fx.controller.IsBusy());
  // The board took the two end bytes and went back to its firmware.
  EXPECT_TRUE(Eventually(
      [&] { return run.Board([](BootloaderModel& b) { return b.Exits(); }) == 1; }, kSettleMs));
  EXPECT_TRUE(run.fx.controller.IsPortOpen(0));
}

TEST(FirmwareUpdate, CancelStopsBeforeTheNextPage) {
  FlashRun run;
  run.Start(HexFile(PagePattern(60000)));
  ASSERT_TRUE(Eventually(
      [&] { return run.fx.controller.GetMessage().rfind("Writing..  1", 0) == 0; }, 20000, 2));
  run.fx.controller.CancelTransfer();
  run.fx.controller.WaitForTransfer();
  EXPECT_EQ(run.fx.controller.MessageText(), "Firmware Update Canceled.");
  EXPECT_FALSE(run.fx.controller.IsBusy());
  run.Board([](BootloaderModel& b) {
    EXPECT_GT(b.PagesWritten(), 0);
    EXPECT_LT(b.PagesWritten(), 60000 / 128);
    EXPECT_EQ(b.Exits(), 0);  // nothing more was written
  });
}

TEST(FirmwareUpdate, HangUpMidFlashEndsInOrder) {
  FlashRun run;
  run.Board([](BootloaderModel& b) { b.faults.hangUpAtPage = 2; });
  auto start = Clock::now();
  std::string message = run.Flash(HexFile(PagePattern(1000)));
  EXPECT_EQ(message, "The port failed while sending the firmware. Update Aborted.");
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 10.0);
  EXPECT_FALSE(run.fx.controller.IsBusy());
}

TEST(FirmwareUpdate, FaultyFileIsRefusedBeforeTheBoardIsTouched) {
  FlashRun run;
  int commandsBefore = run.fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
  std::string good = HexFile(PagePattern(64));
  std::string bad = good.substr(0, good.find('\n') + 1) + ":0100500042FF\n" + good;
  std::string path = run.fx.dir.File("firmware.hex");
  std::string message = run.Flash(bad);
  EXPECT_EQ(message, "Firmware file " + path + ", line 2: checksum wrong. Update refused.");
  EXPECT_EQ(run.fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); }),
            commandsBefore);
  EXPECT_FALSE(run.Board([](BootloaderModel& b) { return b.Active(); }));

  EXPECT_TRUE(molvane::StartFirmwareUpdate(run.fx.controller, run.fx.dir.File("missing.hex"),
                                           *molvane::FindBoard("main")));
  run.fx.controller.WaitForTransfer();
  EXPECT_FALSE(run.fx.controller.TransferOutcome());
  EXPECT_NE(run.fx.controller.TransferOutcome().text.find("missing.hex could not be opened"),
            std::string::npos);
  EXPECT_FALSE(run.fx.controller.IsBusy());
}

TEST(FirmwareUpdate, EachBoardGetsItsOwnBootloadCommand) {
  FlashRun run;
  ASSERT_EQ(run.Flash(HexFile(PagePattern(100)), "front"), "Firmware Update Complete");
  ASSERT_EQ(run.Flash(HexFile(PagePattern(100)), "charger"), "Firmware Update Complete");
  EXPECT_EQ(run.Board([](BootloaderModel& b) { return b.PagesWritten(); }, Board::Front), 1);
  EXPECT_EQ(run.Board([](BootloaderModel& b) { return b.PagesWritten(); }, Board::Charger), 1);
  EXPECT_EQ(run.Board([](BootloaderModel& b) { return b.PagesWritten(); }, Board::Main), 0);
}

TEST(FirmwareUpdate, NoPortsAndUnopenablePortsAreReported) {
  testing_support::TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  controller.SetBootlogFolder(dir.Path());
  WriteFile(dir.File("f.hex"), HexFile(PagePattern(16)));
  const molvane::Board& main = *molvane::FindBoard("main");
  const auto update = [&] {
    EXPECT_TRUE(molvane::StartFirmwareUpdate(controller, dir.File("f.hex"), main));
    controller.WaitForTransfer();
    EXPECT_FALSE(controller.IsBusy());
    return controller.TransferOutcome();
  };
  EXPECT_EQ(update().text, "No FTDI Ports available.");

  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot, dir.Path());
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts,
                                dir.File("no-such-device"));
  controller.FindFtdiPorts();
  EXPECT_EQ(update().text, "No FDTI ports could be opened");

  // A bitmap upload reopens the display's port once it has stored the picture; when the device
  // is gone by then, that port stays the one last known to have the cart.
  auto cart = std::make_unique<testing_support::ScriptedCart>(
      [](const std::string&) { return std::string(">\r"); });
  ASSERT_TRUE(controller.AttachPort(cart->DevicePath(), false));
  testing_support::SetTiming(controller, &molvane::Timing::bitmapSettleMs, 60000);
  WriteFile(dir.File("empty.txt"), "");
  ASSERT_TRUE(molvane::StartBitmapUpload(controller, dir.File("empty.txt"),
                                         molvane::BitmapUploadMode::Bitmaps));
  ASSERT_TRUE(Eventually([&] { return controller.MessageText() == "Bitmap Updated ..."; }));
  cart.reset();
  controller.CancelTransfer();
  controller.WaitForTransfer();
  ASSERT_EQ(controller.CurrentPort(), 0);
  ASSERT_FALSE(controller.IsPortOpen(0));
  EXPECT_EQ(update().text, "The port last known to have a cart attached could not be opened.");
}

}  // namespace

namespace {

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

// The flooding board keeps the simulator busy sending until it stops: nothing here looks into
// the simulator once the flood has begun.
TEST(FirmwareUpdate, BoardThatKeepsTalkingCannotHoldTheUpdate) {
  {
    FlashRun run;  // the purge of 'U's at its real bound
    run.Board([](BootloaderModel& b) { b.faults.floodHellos = true; });
    const auto start = Clock::now();
    EXPECT_EQ(run.Flash(HexFile(PagePattern(200))),
              "The bootloader kept sending 'U' and sent no header. Update Aborted.");
    EXPECT_LT(SecondsSince(start), 8.0);
  }
  {
    FlashRun run;
    run.Board([](BootloaderModel& b) { b.faults.floodAfterHeader = true; });
    const auto start = Clock::now();
    EXPECT_EQ(run.Flash(HexFile(PagePattern(200))),
              "The bootloader did not acknowledge its header. Update Aborted.");
    EXPECT_LT(SecondsSince(start), 12.0);
  }
}

TEST(FirmwareUpdate, CancelAndClosingEndTheWaitsOnABoardThatKeepsTalking) {
  {
    FlashRun run;
    testing_support::SetTiming(run.fx.controller, &molvane::Timing::headerAckTimeoutMs, 60000);
    run.Board([](BootloaderModel& b) { b.faults.floodAfterHeader = true; });
    run.Start(HexFile(PagePattern(200)));
    ASSERT_TRUE(Eventually([&] { return run.Bootlog().find("Hdr:") != std::string::npos; }));
    const auto start = Clock::now();
    run.fx.controller.CancelTransfer();
    run.fx.controller.WaitForTransfer();
    EXPECT_LT(SecondsSince(start), 2.0);
    EXPECT_EQ(run.fx.controller.MessageText(), "Firmware Update Canceled.");
    EXPECT_FALSE(run.fx.controller.IsBusy());
  }
  {
    SimFixture fx;
    fx.sim.Inspect(
        [](cartsim::SimCart& s) { s.BoardModel(Board::Main).faults.floodHellos = true; });
    auto controller = std::make_unique<molvane::CartController>(fx.dir.Path(), fx.dir.Path());
    ASSERT_EQ(controller->ConnectPort(fx.link.DevicePath()),
              molvane::CartController::ProbeResult::Cart);
    controller->SetBootlogFolder(fx.dir.Path());
    testing_support::SetTiming(*controller, &molvane::Timing::purgeBudgetMs, 60000);
    WriteFile(fx.dir.File("f.hex"), HexFile(PagePattern(200)));
    ASSERT_TRUE(molvane::StartFirmwareUpdate(*controller, fx.dir.File("f.hex"),
                                             *molvane::FindBoard("main")));
    const std::string trace = controller->TracePath();
    ASSERT_TRUE(
        Eventually([&] { return ReadFile(trace).find("Log: Purging Us") != std::string::npos; }));
    const auto start = Clock::now();
    controller.reset();  // what closing the main window does
    EXPECT_LT(SecondsSince(start), 2.0);
  }
}
