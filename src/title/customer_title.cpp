#include "title/customer_title.h"

#include <filesystem>

#include "base/file_content.h"
#include "loader/bitmap_upload.h"
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

Outcome StartTitleUpload(CartController& controller, const std::string& path) {
  constexpr int kPlainWrites = 0;
  return StartBitmapUpload(controller, path, BitmapUploadMode::CustomerTitle,
                           kCustomerTitleStartAddress, kPlainWrites);
}

}  // namespace molvane
