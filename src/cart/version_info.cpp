#include "cart/version_info.h"

#include <string>
#include <vector>

#include "app/cart_controller.h"
#include "cart/board.h"

namespace molvane {
namespace {

bool Contains(const std::string& text, const char* word) {
  return text.find(word) != std::string::npos;
}

std::uint8_t AuxBoardFromLine(const std::string& line) {
  if (Contains(line, "Charger")) return kChargerAux;
  if (Contains(line, "Translation")) return kTranslationAux;
  return kNoAux;
}

}  // namespace

// Line 7 is read only to clear it.
Outcome GetVersion(CartController& controller) {
  const Result<std::vector<std::string>> reply =
      controller.Exchange("version", 7, controller.GetTiming().versionPauseMs);
  if (!reply) return reply.outcome;
  const std::vector<std::string>& lines = reply.value;
  CartVersions read;
  read.firmware = {lines[0], lines[2], lines[4], lines[5]};
  read.hardware = {lines[1], lines[3]};
  read.auxBoardKind = AuxBoardFromLine(lines[2]);
  controller.KeepVersions(read);
  return reply.outcome;
}

std::string FirmwareVersionText(const CartVersions& versions, int n) {
  if (n < 1 || n > static_cast<int>(versions.firmware.size())) return {};
  return versions.firmware[static_cast<std::size_t>(n - 1)];
}

std::string HardwareVersionText(const CartVersions& versions, int n) {
  if (n < 1 || n > static_cast<int>(versions.hardware.size())) return {};
  return versions.hardware[static_cast<std::size_t>(n - 1)];
}

Result<std::string> GetPowerSupplyType(CartController& controller) {
  Result<std::vector<std::string>> reply =
      controller.Exchange("get_ps_type", 2, controller.GetTiming().versionPauseMs);
  return {std::move(reply.value.front()), std::move(reply.outcome)};
}

}  // namespace molvane
