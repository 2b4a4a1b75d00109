// Firmware and display loading through molvanectl, and the file tools that need no cart.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <map>

#include "cli/ctl_process.h"
#include "loader/test_pictures.h"
#include "support/intel_hex.h"
#include "support/sim_fixture.h"

namespace {

using cli_testing::CtlRun;
using cli_testing::Lines;
using cli_testing::RunCtl;
using testing_support::ReadFile;
using testing_support::SimFixture;
using testing_support::TempDir;
using testing_support::WriteFile;

using Bytes = std::map<int, std::uint8_t>;  // address -> byte

// Intel HEX data records of up to 16 bytes with correct checksums, and an end record.
std::string HexFileOf(const Bytes& bytes) { return testing_support::HexFile(bytes, "\r\n"); }

Bytes SampleFirmware() {
  Bytes bytes;
  for (int a = 0; a < 300; ++a) bytes[a] = static_cast<std::uint8_t>(a * 7 + 3);
  for (int a = 0x0400; a < 0x0414; ++a) bytes[a] = static_cast<std::uint8_t>(0xFF - a);
  return bytes;
}

struct LoadTest : ::testing::Test {
  SimFixture sim;
  CtlRun Ctl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--port", sim.link.DevicePath()});
    return RunCtl(arguments, sim.dir.Path());
  }
  std::array<std::uint8_t, 65536> Flash(cartsim::Board board) {
    return sim.sim.Inspect([&](cartsim::SimCart& s) { return s.BoardModel(board).Flash(); });
  }
  int Pages(cartsim::Board board) {
    return sim.sim.Inspect([&](cartsim::SimCart& s) { return s.BoardModel(board).PagesWritten(); });
  }
};

TEST_F(LoadTest, FlashedImageEqualsTheFile) {
  ASSERT_TRUE(sim.started);
  const Bytes firmware = SampleFirmware();
  WriteFile(sim.dir.File("main.hex"), HexFileOf(firmware));

  const CtlRun run = Ctl({"flash", "main", sim.dir.File("main.hex")});

  EXPECT_EQ(run.exitCode, 0) << run.err;
  // Not a terminal: plain progress lines, then the outcome.
  const auto lines = Lines(run.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Firmware Update Complete");
  EXPECT_EQ(run.out.find('\r'), std::string::npos);
  const auto flash = Flash(cartsim::Board::Main);
  int differing = 0;
  for (const auto& [address, byte] : firmware)
    differing += flash[static_cast<std::size_t>(address)] != byte;
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(Pages(cartsim::Board::Front), 0);
}

TEST_F(LoadTest, BoardWordChoosesTheBoard) {
  ASSERT_TRUE(sim.started);
  const Bytes firmware = {{0x10, 0xAB}, {0x11, 0xCD}};
  WriteFile(sim.dir.File("front.hex"), HexFileOf(firmware));
  const CtlRun run = Ctl({"flash", "front", sim.dir.File("front.hex")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Flash(cartsim::Board::Front)[0x11], 0xCD);
  EXPECT_EQ(Pages(cartsim::Board::Main), 0);
}

TEST_F(LoadTest, BadFirmwareFileIsRefusedBeforeTheCartIsTouched) {
  ASSERT_TRUE(sim.started);
  WriteFile(sim.dir.File("bad.hex"), ":10010000000102030405060708090A0B0C0D0E0F00\r\n");
  const CtlRun bad = Ctl({"flash", "main", sim.dir.File("bad.hex")});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_EQ(Lines(bad.err).size(), 1u) << bad.err;
  const CtlRun missing = Ctl({"flash", "main", sim.dir.File("none.hex")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(Lines(missing.err).size(), 1u) << missing.err;
  WriteFile(sim.dir.File("notes.doc"), "not a picture");
  const CtlRun picture = Ctl({"bitmap", sim.dir.File("notes.doc")});
  EXPECT_EQ(picture.exitCode, 1);
  EXPECT_EQ(sim.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); }), 0);
}

// An update that did not finish leaves the board announcing itself in its bootloader, where no
// command interpreter listens: flash takes it from the handshake on, with or without --port.
TEST_F(LoadTest, ABoardLeftInItsBootloaderIsFlashedFromThere) {
  ASSERT_TRUE(sim.started);
  for (const bool named : {true, false}) {
    Bytes firmware = SampleFirmware();
    for (auto& [address, byte] : firmware) byte = static_cast<std::uint8_t>(byte + named);
    WriteFile(sim.dir.File("main.hex"), HexFileOf(firmware));
    ASSERT_EQ(Ctl({"send", "bootload"}).exitCode, 1) << "the board is left waiting";
    const int commands = sim.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
    const std::vector<std::string> flash = {"flash", "main", sim.dir.File("main.hex")};
    const CtlRun run =
        named ? Ctl(flash)
              : RunCtl(flash, sim.dir.Path(), {{"MOLVANE_PORTS", sim.link.DevicePath()}});
    EXPECT_EQ(run.exitCode, 0) << (named ? "--port: " : "listed: ") << run.err;
    ASSERT_FALSE(Lines(run.out).empty());
    EXPECT_EQ(Lines(run.out).back(), "Firmware Update Complete");
    EXPECT_EQ(sim.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); }), commands)
        << "no bootload command went to a board already in its bootloader";
    const auto flashed = Flash(cartsim::Board::Main);
    for (const auto& [address, byte] : firmware) {
      ASSERT_EQ(flashed[static_cast<std::size_t>(address)], byte) << address;
    }
  }
}

// Ctrl-C, a script's SIGTERM and a closed terminal's SIGHUP each stop the update between pages,
// and the update still says how it ended.
TEST(CtlFlashCancel, AStopSignalEndsTheUpdateBetweenPagesWithItsOutcome) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    SimFixture sim({}, true);  // wire-paced, so that the pages take a while
    ASSERT_TRUE(sim.started);
    Bytes firmware;
    for (int a = 0; a < 8192; ++a) firmware[a] = static_cast<std::uint8_t>(a);
    WriteFile(sim.dir.File("big.hex"), HexFileOf(firmware));

    const CtlRun run = cli_testing::RunCtlSignalled(
        {"--port", sim.link.DevicePath(), "flash", "main", sim.dir.File("big.hex")}, sim.dir.Path(),
        signal, [](const std::string& out) { return out.find("Writing..") != std::string::npos; });

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.err), (std::vector<std::string>{"Firmware Update Canceled."}));
    const int pages = sim.sim.Inspect(
        [](cartsim::SimCart& s) { return s.BoardModel(cartsim::Board::Main).PagesWritten(); });
    EXPECT_LT(pages, 65);
  }
}

TEST(CtlHexInfo, CountsThePagesThatWouldBeSent) {
  TempDir dir;
  WriteFile(dir.File("f.hex"), HexFileOf({{0x0100, 1}, {0x010F, 2}}));
  const CtlRun standard = RunCtl({"hex-info", dir.File("f.hex")}, dir.Path());
  EXPECT_EQ(standard.exitCode, 0) << standard.err;
  EXPECT_EQ(Lines(standard.out),
            (std::vector<std::string>{"End address: 0x0110 (272 bytes)", "Page size: 128",
                                      "Page count: 2", "Pages sent: 3"}));
  const CtlRun large = RunCtl({"hex-info", dir.File("f.hex"), "--page-size", "512"}, dir.Path());
  EXPECT_NE(large.out.find("Pages sent: 1\n"), std::string::npos) << large.out;
  EXPECT_EQ(RunCtl({"hex-info", dir.File("f.hex"), "--page-size", "100"}, dir.Path()).exitCode, 1);
  EXPECT_EQ(RunCtl({"hex-info", dir.File("none.hex")}, dir.Path()).exitCode, 1);
}

TEST(CtlBmpConvert, WritesTheCommandFileBesideThePicture) {
  TempDir dir;
  WriteFile(dir.File("Title.BMP"),
            loader_test::MakeBmp(82, 32, 1, [](int row, int) { return row == 0; }));
  const CtlRun run = RunCtl({"bmp-convert", dir.File("Title.BMP"), "--address", "256"}, dir.Path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, dir.File("Title.txt") + "\n");
  const auto lines = Lines(ReadFile(dir.File("Title.txt")));
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines.front().rfind("ew 256 005204", 0), 0u) << lines.front();
  EXPECT_EQ(lines.back(), "ew 576 " + std::string(22, '0'));

  // An 8-bit picture whose colour 0 is black goes by its indices all the same, with a warning.
  std::string inverted = loader_test::MakeBmp(82, 32, 8, [](int row, int) { return row == 0; });
  for (int c = 0; c < 3; ++c) inverted[54 + c] = 0;
  WriteFile(dir.File("dark.bmp"), inverted);
  const CtlRun warned = RunCtl({"bmp-convert", dir.File("dark.bmp")}, dir.Path());
  EXPECT_EQ(warned.exitCode, 0) << warned.err;
  EXPECT_EQ(warned.err, "Warning: " + dir.File("dark.bmp") +
                            ": its colour 0 is dark, but the display leaves colour 0 clear and "
                            "sets every other colour: the title comes out inverted\n");

  WriteFile(dir.File("fake.bmp"), "plain text");
  const CtlRun fake = RunCtl({"bmp-convert", dir.File("fake.bmp")}, dir.Path());
  EXPECT_EQ(fake.exitCode, 1);
  EXPECT_EQ(RunCtl({"bmp-convert", dir.File("Title.BMP"), "--address", "587"}, dir.Path()).exitCode,
            1);
}

}  // namespace
