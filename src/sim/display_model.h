#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/display_line.h"

namespace cartsim {

// The cart's display as the bitmap loader sees it: a small memory written line by line, each
// line answered with the prompt when taken or "<" when the display wants it again.
class DisplayModel {
 public:
  static bool Handles(std::string_view line);  // "load_bitmap", "ew", "rew", "er"
  // One line without its line end; returns the bytes the display answers.
  std::string Execute(std::string_view line);

  const std::array<std::uint8_t, kDisplayMemoryBytes>& Memory() const { return memory; }
  int LinesAccepted() const { return linesAccepted; }
  int LoadsStarted() const { return loadsStarted; }
  int LoadsEnded() const { return loadsEnded; }
  int ResendsAsked() const { return resendsAsked; }
  int ErrorsAnswered() const { return errorsAnswered; }
  bool Loading() const { return loading; }
  int LastEndArgument() const { return lastEndArgument; }

  int resendAnswers = 0;          // answer "<" to this many data lines before accepting
  bool resendForever = false;     // answer "<" to every data line
  bool resendWithPrompt = false;  // ask again with "<>", the prompt right behind the '<'
  bool refuseLines = false;       // answer every data line with "error" before the prompt

  static constexpr std::string_view kReady = ">";
  static constexpr std::string_view kResend = "<\r\n";
  static constexpr std::string_view kResendPrompt = "<>";
  static constexpr std::string_view kError = "error\r\n>";

 private:
  std::string LoadBitmap(std::string_view rest);
  std::string EndLoad(std::string_view rest);
  std::string WriteMemory(std::string_view line);
  bool WantsResend();
  std::string Refuse();

  std::array<std::uint8_t, kDisplayMemoryBytes> memory{};
  int linesAccepted = 0;
  int loadsStarted = 0;
  int loadsEnded = 0;
  int resendsAsked = 0;
  int errorsAnswered = 0;
  bool loading = false;
  int lastEndArgument = -1;
};

}  // namespace cartsim
