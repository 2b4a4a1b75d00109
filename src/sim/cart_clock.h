#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cartsim {

// The cart's calendar fields in the order they travel on the wire: second first, two-digit
// year last.
struct CartDate {
  int second = 0;
  int minute = 0;
  int hour = 0;
  int day = 1;
  int month = 1;
  int year = 0;  // years since 2000, 0..99
};

// The cart's real-time clock has no notion of time zones or daylight saving: it counts plain
// calendar seconds from 1 January 2000 00:00:00, whatever the host last set it to.
using CartSeconds = std::int64_t;

bool IsValidCartDate(const CartDate& date);
CartSeconds SecondsFromCartDate(const CartDate& date);
CartDate CartDateFromSeconds(CartSeconds seconds);
// "s m h D M Y", as in every dated record the cart sends.
std::string FormatCartDate(const CartDate& date);
// Six blank-separated decimal numbers in wire order; nothing when the text is not exactly that
// or names a date the calendar does not have.
std::optional<CartDate> ParseCartDate(std::string_view text);

// Wall-clock source of the machine running the simulator, in seconds since 1970 (UTC).
using HostClock = std::function<std::int64_t()>;
std::int64_t SystemHostNow();

class CartClock {
 public:
  // Starts showing the host's local time, as a cart set at the factory would.
  explicit CartClock(HostClock hostNow = SystemHostNow);
  CartSeconds Now() const;
  CartDate NowDate() const { return CartDateFromSeconds(Now()); }
  void Set(const CartDate& date);
  // Cart time minus host time; kept in the state file so a restarted cart keeps its setting.
  std::int64_t Offset() const { return offset; }
  void SetOffset(std::int64_t value) { offset = value; }
  std::int64_t HostNow() const { return hostNow(); }

 private:
  HostClock hostNow;
  std::int64_t offset = 0;
};

}  // namespace cartsim
