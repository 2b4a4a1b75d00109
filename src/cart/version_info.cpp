#include <string>

#include "app/cart_controller.h"

namespace molvane {
namespace {

constexpr std::uint8_t kTranslationBoard = 0;
constexpr std::uint8_t kChargerBoard = 1;
constexpr std::uint8_t kNoAuxBoard = 2;

bool Contains(const std::string& text, const char* word) {
  return text.find(word) != std::string::npos;
}

std::uint8_t AuxBoardFromLine(const std::string& line) {
  if (Contains(line, "Charger")) return kChargerBoard;
  if (Contains(line, "Translation")) return kTranslationBoard;
  return kNoAuxBoard;
}

}  // namespace

// The seven "version" lines interleave firmware and hardware: firmware in lines 1, 3, 5 and 6,
// hardware in lines 2 and 4; line 3 names the third board. Line 7 is read only to clear it.
void CartController::GetVersion() {
  SendCommand("version");
  PauseMs(timing.versionPauseMs);
  std::string lines[7];
  for (auto& line : lines) line = ReadReply();
  firmwareVersions = {lines[0], lines[2], lines[4], lines[5]};
  hardwareVersions = {lines[1], lines[3]};
  auxBoardKind = AuxBoardFromLine(lines[2]);
}

std::string CartController::FirmwareVersionText(int n) const {
  if (n < 1 || n > static_cast<int>(firmwareVersions.size())) return {};
  return firmwareVersions[static_cast<std::size_t>(n - 1)];
}

std::string CartController::HardwareVersionText(int n) const {
  if (n < 1 || n > static_cast<int>(hardwareVersions.size())) return {};
  return hardwareVersions[static_cast<std::size_t>(n - 1)];
}

std::string CartController::GetPowerSupplyType() {
  SendCommand("get_ps_type");
  PauseMs(timing.versionPauseMs);
  std::string reply = ReadReply();
  ReadReply();
  return reply;
}

}  // namespace molvane
