// Starting a bitmap upload: a command file is sent as it is, a picture is converted first.
#include <cctype>

#include "app/cart_controller.h"
#include "loader/bitmap_command_file.h"
#include "loader/loader_texts.h"

namespace molvane {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Names are compared without regard to case, but the file is opened by the name as given:
// on a case-sensitive file system the lower-cased name would be another file.
bool IsCommandFileName(const std::string& path) {
  std::size_t at = Lower(path).find(".txt");
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
  WaitForTransfer();
  bitmapFile = commandFile;
  cancelRequest = 0;
  // Busy from here on, so that a second start cannot slip in before the worker runs.
  transferInProgress = 1;
  StartWorker(&CartController::RunBitmapUpload);
  if (transferThread.joinable()) return 0;
  transferInProgress = 0;
  return 1;
}

}  // namespace molvane
