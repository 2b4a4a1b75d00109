#pragma once
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

// Puts the process in a known time zone for the life of a test and restores the old one.
class LocalZone {
 public:
  explicit LocalZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~LocalZone() {
    if (previous)
      setenv("TZ", previous->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  LocalZone(const LocalZone&) = delete;
  LocalZone& operator=(const LocalZone&) = delete;

 private:
  std::optional<std::string> previous;
};

// Central Europe with its daylight-saving rules, so summer dates differ from winter ones.
inline constexpr const char* kBerlinZone = "CET-1CEST,M3.5.0,M10.5.0/3";
