#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

// Rules for the lift that the factory page and molvanectl share.

// The limits travel as whole tenths, 0..767: volts round up once the remainder passes 0.05 of a
// tenth's unit; currents are truncated.
int LiftVoltsToTenths(float volts);
int LiftCurrentToTenths(float amperes);

// One of the lift's typed limits: what the operator calls it and its unit.
struct LiftLimit {
  const char* what;
  const char* unit;
};
inline constexpr LiftLimit kMaxUpCurrentLimit{"Max Up Current", "amperes"};
inline constexpr LiftLimit kMaxDownCurrentLimit{"Max Down Current", "amperes"};
inline constexpr LiftLimit kMinVoltsLimit{"Min Battery Voltage", "volts"};

// A typed limit: digits with at most one decimal point. A blank field, a comma or any other
// slip is refused with a message naming the field, never sent as 0: a limit of 0 stops the lift
// and disarms its battery guard. Values past 76.7 are limited when sent.
Result<float> ReadLiftLimit(const std::string& text, const LiftLimit& limit);

// The relock timeout is sent only from 0 to this many seconds.
inline constexpr int kMaxLiftRelockTimeout = 65534;
// A typed relock timeout: whole seconds, 0 to kMaxLiftRelockTimeout; anything else is refused
// with a message naming the field.
Result<int> ReadLiftRelockTimeout(const std::string& text);

// What the operator is told when a command that moves the lift did not go through, given the
// first failure's message. A lost link may have cut off the cart after it started the motor,
// so the operator must not assume that the lift stands still.
std::string LiftMoveFailureText(const std::string& failure);

}  // namespace molvane
