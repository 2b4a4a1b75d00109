#include "sim/display_model.h"

#include <algorithm>

namespace cartsim {
namespace {

// Generous: the end-of-load argument is a size or count the display only records.
constexpr int kMaxEndArgument = 65535;

std::string_view ArgumentText(std::string_view line, std::string_view word) {
  std::string_view rest = line.substr(word.size());
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  return rest;
}

}  // namespace

bool DisplayModel::Handles(std::string_view line) {
  const std::string_view word = CommandWord(TrimEnd(line));
  return word == "load_bitmap" || word == "ew" || word == "rew" || word == "er";
}

std::string DisplayModel::Execute(std::string_view line) {
  line = TrimEnd(line);
  const std::string_view word = CommandWord(line);
  if (word == "load_bitmap") return LoadBitmap(ArgumentText(line, word));
  if (word == "er") return EndLoad(ArgumentText(line, word));
  if (word == "ew" || word == "rew") return WriteMemory(line);
  return Refuse();
}

std::string DisplayModel::LoadBitmap(std::string_view rest) {
  if (!rest.empty()) return Refuse();
  ++loadsStarted;
  loading = true;
  return std::string(kReady);
}

std::string DisplayModel::EndLoad(std::string_view rest) {
  const auto argument = ParseBoundedDecimal(rest, kMaxEndArgument);
  if (!argument) return Refuse();
  ++loadsEnded;
  loading = false;
  lastEndArgument = *argument;
  return std::string(kReady);
}

std::string DisplayModel::WriteMemory(std::string_view line) {
  // A busy display asks for the line again before it looks at it.
  if (WantsResend()) return std::string(resendWithPrompt ? kResendPrompt : kResend);
  const auto write = ParseMemoryWrite(line);
  if (!write || refuseLines) return Refuse();
  std::copy(write->bytes.begin(), write->bytes.end(), memory.begin() + write->address);
  ++linesAccepted;
  return std::string(kReady);
}

bool DisplayModel::WantsResend() {
  if (!resendForever && resendAnswers <= 0) return false;
  if (resendAnswers > 0) --resendAnswers;
  ++resendsAsked;
  return true;
}

std::string DisplayModel::Refuse() {
  ++errorsAnswered;
  return std::string(kError);
}

}  // namespace cartsim
