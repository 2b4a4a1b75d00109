// Starting a bitmap upload: a command file is sent as it is, a picture is converted first.
#include "app/cart_controller.h"
#include "loader/bitmap_command_file.h"
#include "loader/loader_texts.h"

namespace molvane {
namespace {

// Names are compared without regard to case, but the file is opened by the name as given:
// on a case-sensitive file system the lower-cased name would be another file.
bool IsCommandFileName(const std::string& path) {
  std::size_t at = LowerCase(path).find(".txt");
  return at != std::string::npos && at >= 1;
}

}  // namespace

int CartController::StartBitmapUpload(const std::string& path, int startAddress, int writeForm) {
  if (path.size() < 3 || path.find('.') == std::string::npos) return 1;
  if (IsBusy()) {
    SetMessage(texts::kTransferRunning);
    return 1;
  }
  std::string commandFile = path;
  if (!IsCommandFileName(path)) {
    std::string error;
    if (!ConvertBmpToCommandFile(path, startAddress, writeForm, commandFile, error)) {
      SetMessage("Bitmap " + path + " was not converted: " + error + ".");
      return 1;
    }
  }
  return StartTransfer(transferInProgress, bitmapFile, commandFile, &CartController::RunBitmapUpload);
}

}  // namespace molvane
