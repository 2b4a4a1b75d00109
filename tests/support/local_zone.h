#pragma once
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace testing_support {

#if defined(_WIN32)
inline void SetZoneVariable(const char* value) { _putenv_s("TZ", value ? value : ""); }
inline void ReadZone() { _tzset(); }
// The C runtime takes no transition rules from TZ; its built-in ones agree with Central Europe
// on every date the tests use.
inline constexpr const char* kBerlinZone = "CET-1CEST";
#else
inline void SetZoneVariable(const char* value) {
  if (value)
    setenv("TZ", value, 1);
  else
    unsetenv("TZ");
}
inline void ReadZone() { tzset(); }
// Central Europe with its daylight-saving rules, so summer dates differ from winter ones.
inline constexpr const char* kBerlinZone = "CET-1CEST,M3.5.0,M10.5.0/3";
#endif

// Puts the process in a known time zone for the life of a test and restores the old one.
class LocalZone {
 public:
  explicit LocalZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous = old;
    SetZoneVariable(zone);
    ReadZone();
  }
  ~LocalZone() {
    SetZoneVariable(previous ? previous->c_str() : nullptr);
    ReadZone();
  }
  LocalZone(const LocalZone&) = delete;
  LocalZone& operator=(const LocalZone&) = delete;

 private:
  std::optional<std::string> previous;
};

}  // namespace testing_support
