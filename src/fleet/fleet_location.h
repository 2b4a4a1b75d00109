#pragma once
#include <string>

namespace molvane {

// The file of the embedded store, in the settings folder beside Molvane.cfg.
inline constexpr const char* kFleetFileName = "MolvaneFleet.db";
// Molvane.cfg's entry that names the store: <FLEET> [STORE] "...".
inline constexpr const char* kFleetSection = "Fleet";
inline constexpr const char* kFleetKey = "Store";
// The value that turns the store off.
inline constexpr const char* kFleetOff = "off";

// Where the fleet record is kept. A site's server is reached by a PostgreSQL connection URI;
// what cannot be sent to it waits in the embedded file, which is then the outbox only.
struct FleetLocation {
  enum class Kind { Off, Embedded, Server };
  Kind kind = Kind::Off;
  std::string file;       // the SQLite file: the store itself, or the server's outbox
  std::string serverUri;  // Server only, as given
  std::string refusal;    // not empty: the setting could not be understood, and why

  bool Enabled() const { return kind != Kind::Off && refusal.empty(); }
};

// The setting in force, from the first of these that is not empty: molvanectl's --fleet, the
// MOLVANE_FLEET variable, Molvane.cfg's entry. Each is "off", a PostgreSQL URI
// ("postgresql://user@host:port/db", a socket folder as "?host=/path&port=N") or the path of an
// SQLite file; none given is the embedded file in `settingsFolder`.
FleetLocation ChooseFleetLocation(const std::string& option, const std::string& environment,
                                  const std::string& configEntry,
                                  const std::string& settingsFolder);

// The URI as it may be shown: a password in it is replaced by "***".
std::string ShownServer(const std::string& uri);

// A server's message with the URI's password, should it quote it, replaced by "***".
std::string WithoutPassword(const std::string& message, const std::string& uri);

// Where the store is, for a line the operator reads: the file, or the server without password.
std::string ShownLocation(const FleetLocation& location);

}  // namespace molvane
