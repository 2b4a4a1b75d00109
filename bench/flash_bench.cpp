// Flashes a full 64 KiB image into the simulated main board over the paced line, at 128- and
// 512-byte pages, and compares the time with the least the wire and the protocol's pauses allow.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench_report.h"
#include "bench_rig.h"
#include "cart/board.h"
#include "loader/firmware_update.h"
#include "trace_times.h"

namespace {

constexpr int kImageBytes = 65536;
constexpr int kRecordBytes = 16;
constexpr double kTarget = 1.10;
constexpr const char* kComplete = "Firmware Update Complete";

// Pauses the update must make whatever the line speed.
constexpr double kAfterHostUMs = 300.0;
constexpr double kBeforeFirstPageMs = 100.0;
constexpr double kBeforeAddressMs = 5.0;
constexpr double kAfterAddressMs = 1.0;
constexpr double kPerByteBeforeUMs = 5.0;  // after every other byte the 'U' wait reads

// What the simulated cart answers to a bootload command before its bootloader says 'U'.
constexpr std::string_view kBootloadAnswer = "entering bootloader\r\n";
// Host bytes around the pages: three CRs, "bootload\r", the 'U', and 0xFF 0xFF at the end.
constexpr long kHostHandshakeBytes = 3 + 9 + 1 + 2;
// Board bytes the host waits for: the prompt that ends the first ReadLine, the 'U', the five
// header bytes and '!'.
constexpr long kBoardHandshakeBytes = 1 + 1 + 5 + 1;
// The three CRs draw three prompts and two ReadLines take two of them; the 'U' wait then reads
// the third and the answer line one byte at a time, pausing after each.
constexpr int kBytesBeforeU = 1 + static_cast<int>(kBootloadAnswer.size());

// Varied bytes, so that a page sent to the wrong place or a byte lost cannot go unnoticed.
std::vector<std::uint8_t> ImageData() {
  std::vector<std::uint8_t> data(kImageBytes);
  std::uint32_t state = 0x9E3779B9u;
  for (std::uint8_t& byte : data) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  return data;
}

std::string HexRecord(const std::vector<std::uint8_t>& data, int address) {
  char piece[16];
  std::snprintf(piece, sizeof piece, ":%02X%04X00", kRecordBytes, address);
  std::string line = piece;
  int sum = kRecordBytes + (address >> 8) + (address & 0xFF);
  for (int i = 0; i < kRecordBytes; ++i) {
    const std::uint8_t byte = data[static_cast<std::size_t>(address + i)];
    std::snprintf(piece, sizeof piece, "%02X", byte);
    line += piece;
    sum += byte;
  }
  std::snprintf(piece, sizeof piece, "%02X\n", (-sum) & 0xFF);
  return line + piece;
}

std::string HexText(const std::vector<std::uint8_t>& data) {
  std::string text;
  for (int address = 0; address < kImageBytes; address += kRecordBytes) {
    text += HexRecord(data, address);
  }
  return text + ":00000001FF\n";
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!(out << text)) return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

// Least time for a full image: every byte that must cross the wire, one after the other, plus
// the pauses the update fixes. The two address bytes are counted although they could cross
// during the 1 ms pause that follows them.
double HandshakeFloorMs() {
  return bench::WireMs(kHostHandshakeBytes + kBoardHandshakeBytes) +
         kBytesBeforeU * kPerByteBeforeUMs + kAfterHostUMs + kBeforeFirstPageMs;
}

double PageFloorMs(int pageSize) {
  return kBeforeAddressMs + kAfterAddressMs + bench::WireMs(2 + pageSize + 1 + 1);
}

int PagesSent(int pageSize) { return kImageBytes / pageSize; }

double FlashFloorMs(int pageSize) {
  return HandshakeFloorMs() + PagesSent(pageSize) * PageFloorMs(pageSize);
}

// Where the time went: up to the first page (the stamp of its progress line) and after it.
void ReportPhases(const std::string& name, const std::string& tracePath, double startDayMs,
                  double endDayMs, int pageSize) {
  const std::vector<double> pages = bench::LogLineTimes(tracePath, "Writing..");
  if (pages.empty()) return bench::ReportError(name, "no page progress in the trace");
  const double handshake = pages.front() - startDayMs;
  const double sending = endDayMs - pages.front();
  std::printf(
      "%-22s phases: to first page %.0f ms (floor %.0f), pages %.0f ms (floor %.0f), "
      "per page %.2f ms (floor %.2f)\n",
      name.c_str(), handshake, HandshakeFloorMs(), sending,
      PagesSent(pageSize) * PageFloorMs(pageSize), sending / PagesSent(pageSize),
      PageFloorMs(pageSize));
}

cartsim::SimCart::Options MainBoardWithPageCode(std::uint8_t code) {
  cartsim::SimCart::Options options;
  options.headers[static_cast<std::size_t>(cartsim::Board::Main)].pageSize = code;
  return options;
}

// What the board holds after the run; empty when it matches the file.
std::string CheckBoard(bench::BenchRig& rig, const std::vector<std::uint8_t>& data, int pageSize) {
  return rig.Sim([&](cartsim::SimCart& sim) -> std::string {
    const cartsim::BootloaderModel& board = sim.BoardModel(cartsim::Board::Main);
    for (int a = 0; a < kImageBytes; ++a) {
      if (board.Flash()[static_cast<std::size_t>(a)] != data[static_cast<std::size_t>(a)]) {
        return "flashed image differs from the file at address " + std::to_string(a);
      }
    }
    const long frames = static_cast<long>(board.Pages().size());
    if (frames != PagesSent(pageSize)) {
      return "the board received " + std::to_string(frames) + " page frames, expected " +
             std::to_string(PagesSent(pageSize));
    }
    return {};
  });
}

void RunFlash(std::uint8_t pageCode, int pageSize, const std::vector<std::uint8_t>& data,
              const std::string& hexText, bool phases) {
  const std::string name = "flash 64K page " + std::to_string(pageSize);
  bench::BenchRig rig(MainBoardWithPageCode(pageCode));
  const std::string path = rig.folder.File("firmware.hex");
  if (!WriteTextFile(path, hexText)) return bench::ReportError(name, "cannot write " + path);
  if (!rig.Connect()) return bench::ReportError(name, "no cart");
  bool started = false;
  const double startDayMs = bench::LocalDayMs(std::chrono::system_clock::now());
  const double elapsed = bench::TimeMs([&] {
    started = static_cast<bool>(
        molvane::StartFirmwareUpdate(rig.controller, path, *molvane::FindBoard("main")));
    rig.controller.WaitForTransfer();
  });
  const double endDayMs = bench::LocalDayMs(std::chrono::system_clock::now());
  if (!started) return bench::ReportError(name, "update not started");
  const std::string message = rig.controller.TransferOutcome().text;
  if (message != kComplete) bench::ReportError(name, "update ended with \"" + message + "\"");
  if (std::string fault = CheckBoard(rig, data, pageSize); !fault.empty()) {
    bench::ReportError(name, fault);
  }
  bench::Report({name, elapsed, FlashFloorMs(pageSize), kTarget});
  if (phases) ReportPhases(name, rig.controller.TracePath(), startDayMs, endDayMs, pageSize);
}

}  // namespace

// With --phases, a second line per run splits the time at the first page.
int main(int argc, char** argv) {
  const bool phases = argc > 1 && std::string_view(argv[1]) == "--phases";
  const std::vector<std::uint8_t> data = ImageData();
  const std::string hexText = HexText(data);
  RunFlash('S', 128, data, hexText, phases);
  RunFlash('U', 512, data, hexText, phases);
  return 0;
}
