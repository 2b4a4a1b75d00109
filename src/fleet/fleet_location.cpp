#include "fleet/fleet_location.h"

#include <cctype>
#include <filesystem>
#include <utility>
#include <vector>

namespace molvane {
namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool IsServerUri(const std::string& value) {
  return StartsWith(value, "postgresql://") || StartsWith(value, "postgres://");
}

// The password's places in a URI: after the user name, and "password=" parameters.
std::vector<std::pair<std::size_t, std::size_t>> PasswordSpans(const std::string& uri) {
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  const std::size_t scheme = uri.find("://");
  if (scheme == std::string::npos) return spans;
  const std::size_t authorityStart = scheme + 3;
  const std::size_t authorityEnd = uri.find_first_of("/?", authorityStart);
  const std::size_t at =
      uri.rfind('@', authorityEnd == std::string::npos ? uri.size() : authorityEnd);
  if (at != std::string::npos && at > authorityStart) {
    const std::size_t colon = uri.find(':', authorityStart);
    if (colon != std::string::npos && colon < at) spans.emplace_back(colon + 1, at - colon - 1);
  }
  for (std::size_t key = uri.find("password=", authorityStart); key != std::string::npos;
       key = uri.find("password=", key + 1)) {
    const std::size_t start = key + 9;
    const std::size_t end = uri.find('&', start);
    spans.emplace_back(start, (end == std::string::npos ? uri.size() : end) - start);
  }
  return spans;
}

}  // namespace

FleetLocation ChooseFleetLocation(const std::string& option, const std::string& environment,
                                  const std::string& configEntry,
                                  const std::string& settingsFolder) {
  const std::string value = !option.empty()        ? option
                            : !environment.empty() ? environment
                                                   : configEntry;
  FleetLocation location;
  const std::string embedded = (std::filesystem::path(settingsFolder) / kFleetFileName).string();
  if (value == kFleetOff) return location;
  if (value.empty()) {
    location.kind = FleetLocation::Kind::Embedded;
    location.file = embedded;
  } else if (IsServerUri(value)) {
    location.kind = FleetLocation::Kind::Server;
    location.serverUri = value;
    location.file = embedded;
  } else if (value.find("://") != std::string::npos) {
    // A mistyped scheme would otherwise become a file of that odd name.
    location.kind = FleetLocation::Kind::Server;
    location.serverUri = value;
    location.file = embedded;
    location.refusal = "The fleet store " + ShownServer(value) +
                       " is no PostgreSQL URI (postgresql://user@host:port/database).";
  } else {
    location.kind = FleetLocation::Kind::Embedded;
    location.file = value;
  }
  return location;
}

std::string ShownServer(const std::string& uri) {
  std::string shown = uri;
  const auto spans = PasswordSpans(uri);
  // From the last, so that the earlier places stay where they were.
  for (auto span = spans.rbegin(); span != spans.rend(); ++span)
    shown.replace(span->first, span->second, "***");
  return shown;
}

std::string WithoutPassword(const std::string& message, const std::string& uri) {
  std::string scrubbed = message;
  for (const auto& [start, length] : PasswordSpans(uri)) {
    const std::string password = uri.substr(start, length);
    if (password.empty()) continue;
    // Only where it stands apart: a short password is also a piece of many words and numbers
    // ("x" of "0x274D"), which the message must keep.
    const auto partOfWord = [&](std::size_t at) {
      return at < scrubbed.size() && std::isalnum(static_cast<unsigned char>(scrubbed[at])) != 0;
    };
    for (std::size_t at = scrubbed.find(password); at != std::string::npos;) {
      if ((at > 0 && partOfWord(at - 1)) || partOfWord(at + password.size())) {
        at = scrubbed.find(password, at + 1);
        continue;
      }
      scrubbed.replace(at, password.size(), "***");
      at = scrubbed.find(password, at + 3);
    }
  }
  return scrubbed;
}

std::string ShownLocation(const FleetLocation& location) {
  return location.kind == FleetLocation::Kind::Server ? ShownServer(location.serverUri)
                                                      : location.file;
}

}  // namespace molvane
