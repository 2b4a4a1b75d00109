#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "sim/cart_clock.h"
#include "sim/cart_state.h"

namespace cartsim {

// The cart's command interpreter: one command line in, the complete answer out. Framing,
// echo, the bootloaders and the display are handled before a line gets here. Not thread-safe:
// one thread feeds it.
class CartModel {
 public:
  enum class AuxBoard { Charger, Translation, None };
  enum class PowerSupply { AC, DC };
  struct Options {
    bool startEmpty = false;  // no PINs, empty log
    std::string stateFile;    // when set: load at start if it exists, save after each change
    AuxBoard auxBoard = AuxBoard::Charger;
    PowerSupply powerSupply = PowerSupply::AC;
    std::uint8_t statusByte = 0x00;  // bits other than 7, 6 and 3 are passed through as given
    // Words the status line carries after the status byte ("00 Ward 7"), as some firmware does.
    std::string statusNote;
    HostClock hostNow;  // empty: the system clock
    // Firmware that keeps the RFID bit count, facility code and PIN length as numbers, so that
    // "08" reads back as "8"; otherwise they are kept as the text that was sent.
    bool numericBadgeSettings = false;
  };

  // Status byte bits the host decodes.
  static constexpr std::uint8_t kDrawerUnlocked = 0x80;
  static constexpr std::uint8_t kKeyboardLampOn = 0x40;
  static constexpr std::uint8_t kLiftMoving = 0x08;

  // Two constructors rather than a defaulted argument: a nested struct with member initialisers
  // cannot be a default argument inside its own class.
  CartModel();
  explicit CartModel(Options options);

  // One command line as the interpreter got it (no CR, no LF). Returns zero or more lines each
  // ending "\r\n", then the prompt ">" with no line end after it.
  std::string Execute(std::string_view line);

  // State for tests and the router. Changes made through these references are saved only by
  // SaveState().
  CartPins& Pins() { return state->pins; }
  CartEvents& Events() { return state->events; }
  CartSettings& Settings() { return state->settings; }
  CartClock& Clock() { return clock; }
  std::uint8_t StatusByte() const { return statusByte; }
  // The cart is put into this state now: a drawer this unlocks relocks, and a lift this starts
  // stops, after their usual times from this moment.
  void SetStatusByte(std::uint8_t value);
  // Raw drawer sensor inputs, bit per drawer place (1 = drawer open).
  std::uint8_t SensorInputs() const { return sensorInputs; }
  void SetSensorInputs(std::uint8_t value) { sensorInputs = value; }
  const Options& GetOptions() const { return options; }
  // Lets time-driven changes happen (drawer relock, lift reaching its end stop); every command
  // does this first, so only callers that read StatusByte() between commands need it.
  void Tick();
  // Someone types a PIN on the keypad: a stored PIN opens the drawers and is logged.
  bool EnterPinOnKeypad(std::uint32_t pin);
  // What the start-up found in the state file (Missing when none is configured).
  bool StateFileRejected() const { return stateFileRejected; }
  bool SaveState();

 private:
  using Handler = std::string (CartModel::*)(std::string_view argument);
  struct Command {
    std::string_view word;
    Handler handler;
  };
  static const Command kCommands[];

  void LoadOrSeed();
  void NoteChange() { changed = true; }
  std::string Dispatch(std::string_view word, std::string_view argument);
  std::string SetNumber(const NumericSetting& setting, std::string_view argument);
  std::string SetText(const TextSetting& setting, std::string_view argument);
  std::string GetText(const TextSetting& setting) const;

  // Drawers, lamp and lift.
  std::string Status(std::string_view);
  std::string Lock(std::string_view);
  std::string Unlock(std::string_view);
  std::string KeyboardToggle(std::string_view);
  std::string LiftUp(std::string_view);
  std::string LiftDown(std::string_view);
  std::string LiftOff(std::string_view);
  std::string StartLift();
  std::string LockBits(std::string_view);
  std::string CycleCount(std::string_view);
  std::string CycleCountReset(std::string_view);
  // Identity and reports.
  std::string Version(std::string_view);
  std::string PowerSupplyType(std::string_view);
  std::string SetupDialogFull(std::string_view);
  std::string SensorGetRun(std::string_view);
  std::string CalibFastData(std::string_view);
  std::string CalibSlowData(std::string_view);
  std::string GasGaugeReset(std::string_view);
  // PINs, log and clock.
  std::string PinListDump(std::string_view);
  std::string PinListAdd(std::string_view argument);
  std::string PinListRemove(std::string_view argument);
  std::string LogDump(std::string_view);
  std::string LogClear(std::string_view);
  std::string SetTime(std::string_view argument);

  Options options;
  CartClock clock;
  std::unique_ptr<CartState> state;
  std::uint8_t statusByte = 0;
  std::uint8_t sensorInputs = 0;
  std::int64_t unlockedAtHost = 0;
  std::int64_t liftStartedAtHost = 0;
  bool stateFileRejected = false;
  bool changed = false;
};

}  // namespace cartsim
