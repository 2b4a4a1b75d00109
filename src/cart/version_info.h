#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;
struct CartVersions;

// "version": seven lines, firmware in lines 1, 3, 5 and 6, hardware in lines 2 and 4; line 3
// names the third board. Stored in the controller only when every line came.
Outcome GetVersion(CartController& controller);

// Copies of the stored lines: firmware n = 1..4, hardware n = 1..2; empty past them.
std::string FirmwareVersionText(const CartVersions& versions, int n);
std::string HardwareVersionText(const CartVersions& versions, int n);

// "get_ps_type": the first of its two lines.
Result<std::string> GetPowerSupplyType(CartController& controller);

}  // namespace molvane
