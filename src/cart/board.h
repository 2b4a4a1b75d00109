#pragma once
#include <array>
#include <string_view>

#include "app/cart_controller.h"

namespace molvane {

// One board whose firmware goes through its bootloader, described once for the loader, the
// Service page and molvanectl.
struct Board {
  const char* name;             // as molvanectl names it: "main", "front", ...
  const char* label;            // the Service page's browse title: "Controller", "Display", ...
  int selector;                 // how the bootloader update addresses it
  const char* bootloadCommand;  // the text command that hands it to its bootloader, with its CR
  CartController::PathSetting configKey;  // where Molvane.cfg keeps its firmware file
  const char* filePattern;                // the browse dialog's pattern: "con*.hex"
  // The third board a cart reports (AuxBoardKind) that rules this board out, -1 for none: a
  // cart with a translation board has no charger to update, and the other way round.
  int absentWithAuxKind;
};

inline constexpr std::uint8_t kTranslationAux = 0;
inline constexpr std::uint8_t kChargerAux = 1;
inline constexpr std::uint8_t kNoAux = 2;

inline constexpr std::array<Board, 4> kBoards{{
    {"main", "Controller", 1, "bootload\r", CartController::PathSetting::MainFirmware, "con*.hex",
     -1},
    {"front", "Display", 0, "bootload_display\r", CartController::PathSetting::FrontFirmware,
     "dis*.hex", -1},
    {"charger", "Charger", 2, "bootload_power\r", CartController::PathSetting::ChargerFirmware,
     "cha*.hex", kTranslationAux},
    {"translation", "Translation", 3, "bootload_power\r",
     CartController::PathSetting::TranslationFirmware, "tra*.hex", kChargerAux},
}};

// The board of that name; nothing for a name no board has.
const Board* FindBoard(std::string_view name);

// Whether a cart reporting `auxKind` can have this board updated.
inline bool BoardPresent(const Board& board, std::uint8_t auxKind) {
  return board.absentWithAuxKind < 0 || board.absentWithAuxKind != auxKind;
}

}  // namespace molvane
