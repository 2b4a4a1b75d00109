#include "fleet/fleet_record_text.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <utility>
#include <vector>

namespace molvane {
namespace {

using nlohmann::json;

constexpr CartWork::Kind kWorkKinds[] = {CartWork::Kind::Backup, CartWork::Kind::Restore,
                                         CartWork::Kind::Firmware, CartWork::Kind::Bitmap,
                                         CartWork::Kind::FactoryTitle};

json ToJson(const CartSeen& r) {
  const CartIdentity& i = r.identity;
  return {{"type", "seen"},         {"serial", i.serialNumber},
          {"name", i.name},         {"firmware", i.firmware},
          {"hardware", i.hardware}, {"power", i.powerSupply},
          {"pc", r.pcName},         {"at", r.at}};
}
json ToJson(const PinListSeen& r) {
  return {{"type", "pins"}, {"serial", r.serialNumber}, {"at", r.at}, {"times", r.activationTimes}};
}
json ToJson(const LogArchived& r) {
  json events = json::array();
  for (const ArchivedEvent& e : r.events)
    events.push_back({e.cartTime, e.kind, e.pin, e.occurrence});
  return {{"type", "log"}, {"serial", r.serialNumber}, {"at", r.at}, {"events", events}};
}
json ToJson(const CartWork& r) {
  return {{"type", "work"},       {"serial", r.serialNumber},
          {"at", r.at},           {"kind", WorkKindName(r.kind)},
          {"board", r.board},     {"file", r.file},
          {"sha256", r.sha256},   {"ok", r.ok},
          {"outcome", r.outcome}, {"pc", r.pcName}};
}
json ToJson(const HoldersNamed& r) {
  json holders = json::array();
  for (const Holder& h : r.holders) holders.push_back({h.pin, h.name});
  return {{"type", "holders"}, {"at", r.at}, {"holders", holders}};
}

// The library converts a fraction or a number out of the type's range by a plain cast: a
// damaged outbox line would become another number, or undefined behaviour.
template <typename T>
T Whole(const json& value) {
  if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    if (std::in_range<T>(number)) return static_cast<T>(number);
  } else if (value.is_number_integer()) {
    const auto number = value.get<std::int64_t>();
    if (std::in_range<T>(number)) return static_cast<T>(number);
  }
  throw std::out_of_range("not a whole number of its range");
}

std::vector<std::int64_t> Times(const json& values) {
  std::vector<std::int64_t> times;
  for (const json& value : values) times.push_back(Whole<std::int64_t>(value));
  return times;
}

FleetRecord FromJson(const json& j) {
  const std::string type = j.at("type").get<std::string>();
  if (type == "seen") {
    CartSeen r;
    r.identity.serialNumber = j.at("serial").get<std::string>();
    r.identity.name = j.at("name").get<std::string>();
    r.identity.firmware = j.at("firmware").get<std::array<std::string, 4>>();
    r.identity.hardware = j.at("hardware").get<std::array<std::string, 2>>();
    r.identity.powerSupply = j.at("power").get<std::string>();
    r.pcName = j.at("pc").get<std::string>();
    r.at = Whole<std::int64_t>(j.at("at"));
    return r;
  }
  if (type == "pins") {
    PinListSeen r;
    r.serialNumber = j.at("serial").get<std::string>();
    r.at = Whole<std::int64_t>(j.at("at"));
    r.activationTimes = Times(j.at("times"));
    return r;
  }
  if (type == "log") {
    LogArchived r;
    r.serialNumber = j.at("serial").get<std::string>();
    r.at = Whole<std::int64_t>(j.at("at"));
    for (const json& e : j.at("events")) {
      r.events.push_back({Whole<std::int64_t>(e.at(0)), Whole<int>(e.at(1)),
                          Whole<std::uint32_t>(e.at(2)), Whole<int>(e.at(3))});
    }
    return r;
  }
  if (type == "work") {
    CartWork r;
    r.serialNumber = j.at("serial").get<std::string>();
    r.at = Whole<std::int64_t>(j.at("at"));
    const std::string kind = j.at("kind").get<std::string>();
    bool known = false;
    for (const CartWork::Kind k : kWorkKinds) {
      if (kind == WorkKindName(k)) {
        r.kind = k;
        known = true;
      }
    }
    if (!known) throw std::invalid_argument("work kind");
    r.board = j.at("board").get<std::string>();
    r.file = j.at("file").get<std::string>();
    r.sha256 = j.at("sha256").get<std::string>();
    r.ok = j.at("ok").get<bool>();
    r.outcome = j.at("outcome").get<std::string>();
    r.pcName = j.at("pc").get<std::string>();
    return r;
  }
  if (type == "holders") {
    HoldersNamed r;
    r.at = Whole<std::int64_t>(j.at("at"));
    for (const json& h : j.at("holders"))
      r.holders.push_back({Whole<std::uint32_t>(h.at(0)), h.at(1).get<std::string>()});
    return r;
  }
  throw std::invalid_argument("record type");
}

}  // namespace

std::string RecordText(const FleetRecord& record) {
  return std::visit(
      [](const auto& r) { return ToJson(r).dump(-1, ' ', false, json::error_handler_t::replace); },
      record);
}

std::optional<FleetRecord> RecordFromText(const std::string& text) {
  try {
    return FromJson(json::parse(text));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace molvane
