#include "title/customer_title.h"

#include <filesystem>

#include "app/cart_controller.h"
#include "base/file_content.h"
#include "title/title_renderer.h"
#include "title/title_surface.h"

namespace molvane {

void DrawCustomerTitle(TitleSurface& surface, TitleRenderer& renderer, const std::string& name) {
  surface.Fill(kWhite);
  renderer.DrawText(surface, kTitleTextLeft, kTitleTextTop, name, TitleFont{});
}

std::string CustomerTitlePath(const std::string& folder) {
  return (std::filesystem::path(folder) / kCustomerTitleFileName).string();
}

bool WriteTitleFile(const std::string& path, const TitleSurface& surface) {
  return ReplaceFileContent(path, TitleFileContent(surface));
}

int StartTitleUpload(CartController& controller, const std::string& path) {
  constexpr int kPlainWrites = 0;
  controller.BitmapUploadMode = kCustomerTitleUploadMode;
  return controller.StartBitmapUpload(path, kCustomerTitleStartAddress, kPlainWrites);
}

}  // namespace molvane
