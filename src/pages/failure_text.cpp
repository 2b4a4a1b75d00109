#include "pages/failure_text.h"

#include <cctype>
#include <string_view>

#include "app/link_texts.h"

namespace molvane {
namespace {

// How the link's own failures read for a technician. The link's word stays in brackets: it is
// what the trace and the support report show.
struct Explanation {
  const char* failure;
  const char* what;
  const char* advice;
};

constexpr Explanation kExplanations[] = {
    {texts::kErrorUnknown, "the cart refused the command (Error: Unknown.)", ""},
    {texts::kUnknownCommand, "the cart does not know the command (Unknown Command.)",
     "Its firmware may be older than this program."},
    {texts::kErrorTimeout, "the cart did not answer (Error: Timeout)",
     "Check the cable; if the cart stays silent, unplug it and plug it in again."},
    {texts::kNoCart, "no cart is connected",
     "Plug the cart in (or unplug it and plug it in again) and wait until the status reads "
     "\"Connected\"."},
    {texts::kWriteError, "the command could not be written to the port",
     "Unplug the cart and plug it in again."},
    {texts::kTransferRunning, "a firmware or bitmap transfer has the link",
     "Try again when it has ended."},
};

std::string Capitalised(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

// A failure of its own words, to follow "... failed: ", without a leading "Error: ": the
// sentence says so already.
std::string AfterColon(std::string text) {
  constexpr std::string_view kError = "Error: ";
  if (text.starts_with(kError) && text.size() > kError.size()) text.erase(0, kError.size());
  return text;
}

// The link's word at the end of a longer failure ("... PIN 22 was not removed: Error:
// Timeout"), whose advice then follows it.
const Explanation* EndsWithKnownWord(const std::string& failure) {
  for (const Explanation& known : kExplanations) {
    if (failure.ends_with(std::string(": ") + known.failure)) return &known;
  }
  return nullptr;
}

}  // namespace

std::string FailureText(const std::string& action, const std::string& failure) {
  if (failure == texts::kCancelled) return action.empty() ? failure : action + " was cancelled.";
  for (const Explanation& known : kExplanations) {
    // The link's word may come with how far the operation got: "Error: Timeout (after 3
    // record(s))".
    const std::string word = known.failure;
    if (failure != word && !failure.starts_with(word + " ")) continue;
    std::string text = action.empty() ? Capitalised(known.what) : action + " failed: " + known.what;
    text += failure.substr(word.size()) + ".";
    if (*known.advice != '\0') text += std::string(" ") + known.advice;
    return text;
  }
  if (failure.empty()) return failure;
  std::string text = action.empty() ? failure : action + " failed: " + AfterColon(failure);
  if (const Explanation* known = EndsWithKnownWord(failure); known && *known->advice != '\0') {
    if (text.back() != '.') text += '.';
    text += std::string(" ") + known->advice;
  }
  return text;
}

std::string FileWriteFailureText(const std::string& action, const std::string& failure) {
  std::string text = FailureText(action, failure);
  if (!text.empty() && text.back() != '.') text += '.';
  return text +
         " Check that the folder exists and may be written, that the disk has room, and that "
         "the file is not open in another program.";
}

bool IsRefusal(const std::string& failure) { return failure == texts::kErrorUnknown; }

}  // namespace molvane
