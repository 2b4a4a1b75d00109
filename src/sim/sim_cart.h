#pragma once
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "sim/bootloader_model.h"
#include "sim/cart_model.h"
#include "sim/display_model.h"
#include "sim/gas_gauge_model.h"
#include "sim/sim_wire.h"
#include "sim/trace_replay.h"

namespace cartsim {

enum class Board { Front = 0, Main = 1, Charger = 2, Translation = 3 };

// Faults a test or a technician can switch on while the cart runs.
struct SimFaults {
  std::atomic<int> silentAfter{-1};  // answer nothing from the (N+1)th command line on
  std::atomic<bool> dropAnswers{false};
  std::atomic<int> hangUpAfter{-1};       // hang up when the Nth command line has arrived
  std::atomic<int> loseAnswerOf{-1};      // carry out the Nth command line, but answer nothing
  std::atomic<bool> noiseAnswers{false};  // answer every command with binary noise and NULs
  std::atomic<int> longAnswerBytes{0};    // answer every command but "status" with a line this long
  // Refuse every command but "status" (so that the cart is still found): with "error", or as an
  // unknown command.
  enum class Refusal { None, Error, UnknownCommand };
  std::atomic<Refusal> refuseCommands{Refusal::None};
  // In every dump ("pin_list_dump", "log_dump"), the Nth record line (from 1) arrives with one
  // byte changed, as line noise leaves it.
  std::atomic<int> garbleDumpRecord{-1};
  // When set (with the cart locked), only command lines with this command word count towards
  // silentAfter and hangUpAfter, and only they are refused: a cart that refuses one command, or
  // a cable pulled when the third "pin_list_remove" arrives.
  std::string onlyWord;
};

// The whole cart as seen from the wire: the main board's command interpreter, the display and
// the four boards' bootloaders. Takes the host's bytes, routes them, and sends the answers.
// Every entry point locks, so tests may inspect and change the cart while the link runs.
class SimCart {
 public:
  struct Options {
    CartModel::Options cart;
    bool echo = false;  // repeat every command line before answering
    std::array<BootHeader, 4> headers{};
    // When set, every command is answered from a recorded trace instead of the cart's model.
    std::shared_ptr<TraceReplay> replay;
  };

  SimCart();
  explicit SimCart(Options options);

  void Receive(std::string_view bytes, const Send& send);
  void Tick(std::chrono::steady_clock::time_point now, const Send& send);
  bool WantsHangUp();
  void ClearHangUp();

  // Runs f with the cart locked.
  template <class F>
  auto Inspect(F&& f) {
    std::lock_guard lock(mutex);
    return f(*this);
  }

  CartModel& Cart() { return cart; }
  DisplayModel& Display() { return display; }
  BootloaderModel& BoardModel(Board board) { return boards[static_cast<std::size_t>(board)]; }
  GasGaugeModel& Gauge() { return gauge; }
  int CommandsSeen() const { return commandsSeen; }
  bool Echoes() const { return echo; }
  void SetEcho(bool on) { echo = on; }

  SimFaults faults;

  // Lines longer than this are cut by the cart's receive buffer.
  static constexpr std::size_t kMaxLine = 512;

 private:
  void OnByte(char byte, const Send& send);
  void OnLine(const std::string& line, const Send& send);
  void Answer(const std::string& line, const Send& send);
  BootloaderModel* BoardFor(std::string_view command);
  BootloaderModel* ActiveBoard();

  std::mutex mutex;
  CartModel cart;
  DisplayModel display;
  std::array<BootloaderModel, 4> boards;
  GasGaugeModel gauge;
  bool echo;
  std::shared_ptr<TraceReplay> replay;
  std::string pending;
  int commandsSeen = 0;
  int faultLinesSeen = 0;  // the lines the faults count (all, or those of faults.onlyWord)
  bool hangUp = false;
  std::chrono::steady_clock::time_point lastTick{};
};

}  // namespace cartsim
