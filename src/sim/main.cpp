// cartsim: a simulated cart on a pseudo-terminal, for running and testing without hardware.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "sim/pty_transport.h"
#include "sim/sim_cart.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void OnSignal(int) { stopRequested = 1; }

void Usage() {
  std::puts(
      "usage: cartsim [options]\n"
      "  --link PATH         also make PATH a symbolic link to the device (PATH must be free,\n"
      "                      or a link an earlier cartsim left)\n"
      "  --echo              repeat every command line before answering\n"
      "  --pace              hold bytes to the timing of a 38400-baud line\n"
      "  --empty             start with no PINs and an empty log\n"
      "  --state FILE        keep the cart's state in FILE between runs\n"
      "  --aux KIND          third board: charger (default), translation or none\n"
      "  --status HEX        status byte reported by \"status\"\n"
      "  --silent-after N    answer nothing after N command lines\n"
      "  --drop-answers      read commands but never answer\n"
      "  --hang-up-after N   close the line when the Nth command arrives\n"
      "  --replug-after MS   after a hang-up, plug back in after MS milliseconds\n"
      "  --refuse WORD       answer every command but \"status\" with WORD: error or unknown\n"
      "  --only COMMAND      --silent-after, --hang-up-after and --refuse count and refuse\n"
      "                      only this command (its first word)\n"
      "  --garble-record N   in every PIN or log dump, garble one byte of the Nth record\n"
      "  --display-refuses   the display answers every memory write with \"error\"\n"
      "  --dump-flash DIR    on exit, write each board's flash memory to DIR/BOARD.bin (tests)\n"
      "  --replay TRACE      answer every command as a traffic trace (comlog.txt) recorded it;\n"
      "                      may be given more than once, one trace per program run");
}

bool ParseAux(const std::string& text, cartsim::CartModel::AuxBoard& aux) {
  using Aux = cartsim::CartModel::AuxBoard;
  if (text == "charger")
    aux = Aux::Charger;
  else if (text == "translation")
    aux = Aux::Translation;
  else if (text == "none")
    aux = Aux::None;
  else
    return false;
  return true;
}

// Lets a test outside this process compare what a firmware update left in each board's flash.
// Each file goes through a temporary name so that a reader never sees half of it.
bool DumpFlash(cartsim::SimCart& cart, const std::string& folder) {
  using cartsim::Board;
  return cart.Inspect([&](cartsim::SimCart& c) {
    bool ok = true;
    for (Board board : {Board::Front, Board::Main, Board::Charger, Board::Translation}) {
      const cartsim::BootloaderModel& model = c.BoardModel(board);
      const std::string path = folder + "/" + model.BoardName() + ".bin";
      const std::string temporary = path + ".tmp";
      std::FILE* file = std::fopen(temporary.c_str(), "wb");
      if (file == nullptr) {
        ok = false;
        continue;
      }
      const bool written =
          std::fwrite(model.Flash().data(), 1, model.Flash().size(), file) == model.Flash().size();
      ok = std::fclose(file) == 0 && written && std::rename(temporary.c_str(), path.c_str()) == 0 &&
           ok;
    }
    return ok;
  });
}

bool ParseRefusal(const std::string& text, cartsim::SimFaults::Refusal& refusal) {
  using Refusal = cartsim::SimFaults::Refusal;
  if (text == "error")
    refusal = Refusal::Error;
  else if (text == "unknown")
    refusal = Refusal::UnknownCommand;
  else
    return false;
  return true;
}

bool AddReplayTrace(cartsim::SimCart::Options& options, const std::string& path) {
  // A FIFO or a device would hold the simulator before its link exists.
  std::error_code error;
  if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)) {
    std::fprintf(stderr, "cartsim: the trace %s is not a file\n", path.c_str());
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    std::fprintf(stderr, "cartsim: cannot read the trace %s: %s\n", path.c_str(),
                 std::strerror(errno));
    return false;
  }
  std::string trace;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    trace.append(buffer, got);
  std::fclose(file);
  if (!options.replay) options.replay = std::make_shared<cartsim::TraceReplay>();
  options.replay->AddTrace(trace);
  if (options.replay->CommandWords() == 0) {
    std::fprintf(stderr, "cartsim: %s holds no command the host sent\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  cartsim::SimCart::Options cartOptions;
  cartsim::PtyTransport::Options linkOptions;
  int silentAfter = -1, hangUpAfter = -1, replugAfterMs = -1, statusByte = -1, garbled = -1;
  std::string flashDumpFolder, onlyWord;
  bool dropAnswers = false, displayRefuses = false;
  cartsim::SimFaults::Refusal refusal = cartsim::SimFaults::Refusal::None;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--link" && hasValue)
      linkOptions.linkPath = argv[++i];
    else if (arg == "--echo")
      cartOptions.echo = true;
    else if (arg == "--pace")
      linkOptions.pace = true;
    else if (arg == "--empty")
      cartOptions.cart.startEmpty = true;
    else if (arg == "--state" && hasValue)
      cartOptions.cart.stateFile = argv[++i];
    else if (arg == "--aux" && hasValue && ParseAux(argv[i + 1], cartOptions.cart.auxBoard))
      ++i;
    else if (arg == "--status" && hasValue)
      statusByte = static_cast<int>(std::strtol(argv[++i], nullptr, 16));
    else if (arg == "--silent-after" && hasValue)
      silentAfter = std::atoi(argv[++i]);
    else if (arg == "--drop-answers")
      dropAnswers = true;
    else if (arg == "--hang-up-after" && hasValue)
      hangUpAfter = std::atoi(argv[++i]);
    else if (arg == "--replug-after" && hasValue)
      replugAfterMs = std::atoi(argv[++i]);
    else if (arg == "--dump-flash" && hasValue)
      flashDumpFolder = argv[++i];
    else if (arg == "--refuse" && hasValue && ParseRefusal(argv[i + 1], refusal))
      ++i;
    else if (arg == "--only" && hasValue)
      onlyWord = argv[++i];
    else if (arg == "--garble-record" && hasValue)
      garbled = std::atoi(argv[++i]);
    else if (arg == "--display-refuses")
      displayRefuses = true;
    else if (arg == "--replay" && hasValue) {
      if (!AddReplayTrace(cartOptions, argv[++i])) return 1;
    } else {
      Usage();
      return arg == "--help" || arg == "-h" ? 0 : 2;
    }
  }

  cartsim::SimCart cart(cartOptions);
  cart.faults.silentAfter = silentAfter;
  cart.faults.dropAnswers = dropAnswers;
  cart.faults.hangUpAfter = hangUpAfter;
  cart.faults.refuseCommands = refusal;
  cart.faults.garbleDumpRecord = garbled;
  cart.faults.onlyWord = onlyWord;
  cart.Inspect([&](cartsim::SimCart& c) { return c.Display().refuseLines = displayRefuses; });
  if (statusByte >= 0)
    cart.Inspect([&](cartsim::SimCart& c) {
      c.Cart().SetStatusByte(statusByte & 0xFF);
      return 0;
    });

  if (!linkOptions.linkPath.empty() && !cartsim::IsFreeForLink(linkOptions.linkPath)) {
    std::fprintf(stderr,
                 "cartsim: %s is there already and is no link that cartsim left: it is not "
                 "replaced\n",
                 linkOptions.linkPath.c_str());
    return 1;
  }
  cartsim::PtyTransport link(cart, linkOptions);
  if (!link.Start()) {
    std::fprintf(stderr, "cartsim: could not create a pseudo-terminal: %s\n", std::strerror(errno));
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("%s\n", link.DevicePath().c_str());
  if (!linkOptions.linkPath.empty()) std::printf("linked as %s\n", linkOptions.linkPath.c_str());
  std::fflush(stdout);

  while (!stopRequested) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (replugAfterMs >= 0 && !link.IsConnected()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(replugAfterMs));
      if (link.Replug()) std::printf("plugged back in: %s\n", link.DevicePath().c_str());
      std::fflush(stdout);
    }
  }
  link.Stop();
  if (!flashDumpFolder.empty() && !DumpFlash(cart, flashDumpFolder)) {
    std::fprintf(stderr, "cartsim: could not write the flash memory to %s\n",
                 flashDumpFolder.c_str());
    return 1;
  }
  return 0;
}
