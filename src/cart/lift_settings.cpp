#include "cart/lift_settings.h"

#include <cmath>

#include "app/link_texts.h"
#include "base/number_text.h"

namespace molvane {
namespace {

constexpr int kLiftLimitMax = 767;

// Truncated tenths, limited before any conversion so that huge or NaN inputs stay defined.
double TruncatedTenths(double tenths) {
  if (std::isnan(tenths) || tenths < 0) return 0;
  if (tenths >= kLiftLimitMax + 1) return kLiftLimitMax + 1;
  return std::trunc(tenths);
}

int ClampLiftLimit(double tenths) {
  return tenths > kLiftLimitMax ? kLiftLimitMax : static_cast<int>(tenths);
}

bool IsPlainDecimal(const std::string& text) {
  int digits = 0;
  int points = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return false;
    }
  }
  return digits > 0 && points <= 1;
}

// Enough of a typed value to recognise it, whatever was pasted into the field.
std::string Quoted(const std::string& text) {
  constexpr std::size_t kShown = 24;
  return "'" + (text.size() > kShown ? text.substr(0, kShown) + "..." : text) + "'";
}

}  // namespace

int LiftVoltsToTenths(float volts) {
  const double tenths = static_cast<double>(volts) * 10.0;
  double n = TruncatedTenths(tenths);
  if (tenths - n > static_cast<double>(0.05f)) n += 1;
  return ClampLiftLimit(n);
}

// A typed 2.3 is the float 2.2999999523..., ten times which truncates to 22: a limit shown and
// sent back unchanged would fall by a tenth at every Update. A value within a thousandth of a
// tenth below a whole tenth is taken as that tenth; anything further below is still truncated.
int LiftCurrentToTenths(float amperes) {
  constexpr double kRepresentationSlack = 1e-3;
  return ClampLiftLimit(
      TruncatedTenths(static_cast<double>(amperes) * 10.0 + kRepresentationSlack));
}

Result<float> ReadLiftLimit(const std::string& text, const LiftLimit& limit) {
  if (IsPlainDecimal(text)) return {TextToFloat(text), Outcome::Success()};
  const std::string typed = text.empty() ? "a blank field" : Quoted(text);
  return {0.0f, Outcome::Failure(std::string(limit.what) + " must be a number of " + limit.unit +
                                 " such as 2.5, not " + typed + "; nothing was sent for it.")};
}

Result<int> ReadLiftRelockTimeout(const std::string& text) {
  const bool digits = !text.empty() && text.size() <= 5 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  const int seconds = digits ? TextToInt(text) : -1;
  if (seconds >= 0 && seconds <= kMaxLiftRelockTimeout) return {seconds, Outcome::Success()};
  const std::string typed = text.empty() ? "a blank field" : Quoted(text);
  return {0, Outcome::Failure("Auto-Lock Timeout must be a whole number of seconds from 0 to " +
                              std::to_string(kMaxLiftRelockTimeout) + ", not " + typed +
                              "; nothing was sent for it.")};
}

std::string LiftMoveFailureText(const std::string& failure) {
  const bool linkLost = failure == texts::kErrorTimeout || failure == texts::kWriteError ||
                        failure == texts::kLineClosed;
  if (!linkLost) return failure;
  return failure + " - the link to the cart failed, so the lift may still be moving.";
}

}  // namespace molvane
