#pragma once
#include <string>

namespace molvane {

// Rules for the lift that the factory page and molvanectl share. The current and voltage limits
// themselves are converted by LiftCurrentToTenths and LiftVoltsToTenths.

// The relock timeout is sent only from 0 to this many seconds; other values are not sent.
inline constexpr int kMaxLiftRelockTimeout = 65534;
inline bool IsLiftRelockTimeoutSent(int seconds) {
  return seconds >= 0 && seconds <= kMaxLiftRelockTimeout;
}

// What the operator is told when a command that moves the lift did not go through, given the
// first failure's message. A lost link may have cut off the cart after it started the motor,
// so the operator must not assume that the lift stands still.
std::string LiftMoveFailureText(const std::string& failure);

}  // namespace molvane
