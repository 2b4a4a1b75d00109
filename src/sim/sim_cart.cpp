#include "sim/sim_cart.h"

#include <random>

#include "sim/display_line.h"

namespace cartsim {
namespace {

std::array<BootloaderModel, 4> MakeBoards(const std::array<BootHeader, 4>& headers) {
  return {BootloaderModel("front", headers[0]), BootloaderModel("main", headers[1]),
          BootloaderModel("charger", headers[2]), BootloaderModel("translation", headers[3])};
}

std::string Noise(std::size_t length) {
  static std::mt19937 generator(7);
  std::string bytes(length, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

// Flips one bit of the middle byte of record line `number` (from 1), which turns a digit or a
// blank into a letter or a backquote: damage a reader can see, never a different number.
void GarbleRecord(std::string& dump, int number) {
  std::size_t start = 0;
  for (int line = 1; line < number && start != std::string::npos; ++line) {
    start = dump.find('\n', start);
    if (start != std::string::npos) ++start;
  }
  if (number < 1 || start == std::string::npos) return;
  const std::size_t end = dump.find('\r', start);
  if (end == std::string::npos || end == start) return;
  dump[start + (end - start) / 2] ^= 0x40;
}

}  // namespace

SimCart::SimCart() : SimCart(Options{}) {}

SimCart::SimCart(Options options)
    : cart(options.cart),
      boards(MakeBoards(options.headers)),
      echo(options.echo),
      replay(std::move(options.replay)) {}

void SimCart::Receive(std::string_view bytes, const Send& send) {
  std::lock_guard lock(mutex);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (BootloaderModel* board = ActiveBoard()) {
      // While a board is in its bootloader the wire belongs to it, byte for byte.
      board->OnBytes(bytes.substr(i, 1), send);
      continue;
    }
    OnByte(bytes[i], send);
  }
}

void SimCart::Tick(std::chrono::steady_clock::time_point now, const Send& send) {
  std::lock_guard lock(mutex);
  lastTick = now;
  for (BootloaderModel& board : boards) {
    if (board.Active()) board.Tick(now, send);
  }
  gauge.Tick(now, send);
}

bool SimCart::WantsHangUp() {
  std::lock_guard lock(mutex);
  if (hangUp) return true;
  for (BootloaderModel& board : boards) {
    if (board.WantsHangUp()) return true;
  }
  return false;
}

void SimCart::ClearHangUp() {
  std::lock_guard lock(mutex);
  hangUp = false;
  faults.hangUpAfter = -1;
  for (BootloaderModel& board : boards) board.ClearHangUp();
}

BootloaderModel* SimCart::ActiveBoard() {
  for (BootloaderModel& board : boards) {
    if (board.Active()) return &board;
  }
  return nullptr;
}

void SimCart::OnByte(char byte, const Send& send) {
  if (byte == '\n') return;
  if (byte != '\r') {
    if (pending.size() < kMaxLine) pending += byte;
    return;
  }
  std::string line;
  line.swap(pending);
  OnLine(line, send);
}

void SimCart::OnLine(const std::string& line, const Send& send) {
  if (line.empty()) {
    send(">");  // a bare return just gets the prompt again
    return;
  }
  ++commandsSeen;
  const bool faultLine = faults.onlyWord.empty() || CommandWord(line) == faults.onlyWord;
  if (faultLine) ++faultLinesSeen;
  if (faults.hangUpAfter >= 0 && faultLinesSeen >= faults.hangUpAfter) {
    hangUp = true;
    return;
  }
  if (faults.silentAfter >= 0 && faultLinesSeen > faults.silentAfter) return;
  if (echo) send(line + "\r\n");
  if (faults.dropAnswers) return;
  if (commandsSeen == faults.loseAnswerOf) {
    Answer(line, [](std::string_view) {});
    return;
  }
  if (faults.noiseAnswers) {
    send(Noise(64));
    return;
  }
  if (faults.refuseCommands != SimFaults::Refusal::None && line != "status" && faultLine) {
    send(faults.refuseCommands == SimFaults::Refusal::Error ? "error\r\n>" : "unknown cmd\r\n>");
    return;
  }
  if (faults.longAnswerBytes > 0 && line != "status") {
    send(std::string(static_cast<std::size_t>(faults.longAnswerBytes.load()), 'x') + "\r\n>");
    return;
  }
  Answer(line, send);
}

BootloaderModel* SimCart::BoardFor(std::string_view command) {
  if (command == "bootload") return &boards[static_cast<std::size_t>(Board::Main)];
  if (command == "bootload_display") return &boards[static_cast<std::size_t>(Board::Front)];
  if (command == "bootload_power") {
    // The power connector leads to whichever third board this cart has.
    const bool translation = cart.GetOptions().auxBoard == CartModel::AuxBoard::Translation;
    return &boards[static_cast<std::size_t>(translation ? Board::Translation : Board::Charger)];
  }
  return nullptr;
}

void SimCart::Answer(const std::string& line, const Send& send) {
  if (replay) {
    send(replay->Answer(line));
    return;
  }
  if (BootloaderModel* board = BoardFor(line)) {
    send("entering bootloader\r\n");
    board->Enter(lastTick == std::chrono::steady_clock::time_point{}
                     ? std::chrono::steady_clock::now()
                     : lastTick);
    return;
  }
  // Only a charger board has a gauge; without one the interpreter refuses the reset.
  if (line == "gas_gauge_reset" && gauge.TakesTime() &&
      cart.GetOptions().auxBoard == CartModel::AuxBoard::Charger) {
    send(gauge.StartReset(std::chrono::steady_clock::now()));
    return;
  }
  if (DisplayModel::Handles(line)) {
    send(display.Execute(line));
    return;
  }
  std::string answer = cart.Execute(line);
  if (line == "pin_list_dump" || line == "log_dump") GarbleRecord(answer, faults.garbleDumpRecord);
  send(answer);
}

}  // namespace cartsim
