#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/cart_data.h"

namespace molvane {

// One event of a cart's access log as the archive keeps it: what the Log page shows (PIN, event,
// time), nothing more. The cart's records carry no number of their own, so an event is known by
// its cart, second, kind and PIN, and by how many identical events of that second came before it
// in the same read: a log read twice adds nothing, two identical events in one second stay two,
// and more of them read later (the second was still running at the first read) are added. Only
// a cart clock set back over a second already archived could make a new event look archived.
struct ArchivedEvent {
  // The cart's clock reading: its wall-clock date and time counted as seconds since 1970 with no
  // time zone, so that every PC reads one event the same way.
  std::int64_t cartTime = 0;
  int kind = 0;           // the cart's event code: 1 access, 2 factory reset, 165 power-up; 0 other
  std::uint32_t pin = 0;  // the PIN of an access, 0 for the others
  int occurrence = 0;     // identical events of the same second before it in its read

  friend bool operator==(const ArchivedEvent&, const ArchivedEvent&) = default;
};

// A whole log read as events to archive, in the cart's order.
std::vector<ArchivedEvent> ArchivedEvents(const EventLog& log);

// The Log page's action text for an archived event: "accessed pin: 1234", "powerup", ...
std::string EventAction(int kind, std::uint32_t pin);

// "YYYY-MM-DD hh:mm:ss" (or with 'T') of a cart clock reading.
std::string CartClockText(std::int64_t cartTime, char separator = ' ');

// A date the operator typed, as a cart clock reading: "YYYY-MM-DD", "YYYY-MM-DD hh:mm" or
// "YYYY-MM-DDThh:mm:ss". A day alone means its first second, or with `endOfSpan` its last one,
// so that --until 2024-05-14 takes in the whole day. Nothing for any other text.
std::optional<std::int64_t> ParseCartClock(const std::string& text, bool endOfSpan);

}  // namespace molvane
