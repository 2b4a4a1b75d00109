#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;
class TitleRenderer;
class TitleSurface;

// The customer title screen: the cart's name drawn into the title picture, saved as a BMP and
// loaded into the display. The Testing page and molvanectl share these steps.
inline constexpr const char* kCustomerTitleFileName = "CustomerTitle.bmp";
inline constexpr int kCustomerTitleStartAddress = 256;
inline constexpr int kTitleTextLeft = 0;
inline constexpr int kTitleTextTop = 8;

// White, then the name in the title font with its cell's top eight pixels below the top edge.
void DrawCustomerTitle(TitleSurface& surface, TitleRenderer& renderer, const std::string& name);

// `folder`/CustomerTitle.bmp.
std::string CustomerTitlePath(const std::string& folder);

// Writes the picture through a temporary file and a rename; false when it could not be written.
bool WriteTitleFile(const std::string& path, const TitleSurface& surface);

// Starts the display upload of a saved title: the customer title's mode, start address 256,
// plain "ew" lines.
Outcome StartTitleUpload(CartController& controller, const std::string& path);

}  // namespace molvane
