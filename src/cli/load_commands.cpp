// Loading the cart's boards and display: firmware, bitmaps and the factory title.
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_context.h"
#include "cli/transfer_progress.h"
#include "loader/bitmap_command_file.h"
#include "loader/bmp_image.h"
#include "loader/hex_file.h"
#include "loader/loader_texts.h"

namespace molvanectl {
namespace {

constexpr int kBitmapMode = 1;
constexpr int kFactoryTitleMode = 2;
constexpr const char* kBitmapDone = molvane::texts::kBitmapComplete;

int BoardSelectorFor(const std::string& board) {
  if (board == "main") return 1;
  if (board == "front") return 0;
  if (board == "charger") return 2;
  return 3;  // translation
}

void Flash(CliContext& context, const std::string& board, const std::string& path) {
  // A bad file is refused before the board is sent into its bootloader.
  const molvane::HexCheck check = molvane::CheckHexFile(path);
  if (!check.ok) {
    context.Fail("Error: " + check.message);
    return;
  }
  if (!context.Connect()) return;
  CatchInterrupt();
  context.controller.BoardSelector = BoardSelectorFor(board);
  if (context.controller.StartFirmwareUpdate(path) != 0) {
    const std::string why = context.controller.MessageText();
    context.Fail(
        !why.empty()
            ? why
            : "Error returned. Please make sure the port is not in use and the file exists.");
    return;
  }
  FollowTransfer(context, true, molvane::texts::kFirmwareComplete);
}

bool IsCommandFileName(const std::string& path) {
  std::string lower = path;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::size_t at = lower.find(".txt");
  return at != std::string::npos && at >= 1;
}

// A picture that cannot be converted is refused here, before the cart is touched; the upload
// converts it again when it starts.
bool CheckPicture(CliContext& context, const std::string& path) {
  if (IsCommandFileName(path)) return true;
  auto grid = std::make_unique<molvane::PixelGrid>();
  molvane::BmpInfo info;
  std::string error;
  if (molvane::CommandFilePathFor(path).empty()) {
    error = "the picture's name must end in .bmp";
  } else if (molvane::ReadBmpFile(path, *grid, info, error)) {
    return true;
  }
  context.Fail("Error: " + path + " cannot be loaded: " + error);
  return false;
}

void Upload(CliContext& context, const std::string& path, int mode) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    context.Fail("Error: cannot read " + path);
    return;
  }
  std::fclose(file);
  if (path.find('.') == std::string::npos || path.size() < 3) {
    context.Fail("Error: " + path + " is neither a .bmp picture nor a .txt command file");
    return;
  }
  if (!CheckPicture(context, path) || !context.Connect()) return;
  CatchInterrupt();
  context.controller.BitmapUploadMode = mode;
  if (context.controller.StartBitmapUpload(path, 0, 0) != 0) {
    const std::string why = context.controller.MessageText();
    context.Fail(why.empty() ? "Error: the upload could not be started" : why);
    return;
  }
  FollowTransfer(context, false, kBitmapDone);
}

const Registration registration([](CLI::App& app, CliContext& context) {
  static std::string board, firmwarePath;
  auto* flash = app.add_subcommand("flash", "Load a board's firmware from an Intel HEX file");
  flash->add_option("BOARD", board, "main, front, charger or translation")
      ->required()
      ->check(CLI::IsMember({"main", "front", "charger", "translation"}));
  flash->add_option("FILE", firmwarePath, "Firmware file (.hex)")->required();
  flash->callback([&context] { Flash(context, board, firmwarePath); });

  static std::string bitmapPath;
  auto* bitmap =
      app.add_subcommand("bitmap", "Load bitmaps into the display (.bmp or .txt command file)");
  bitmap->add_option("FILE", bitmapPath, "Picture or command file")->required();
  bitmap->callback([&context] { Upload(context, bitmapPath, kBitmapMode); });

  static std::string titlePath;
  auto* title = app.add_subcommand("title", "Load the factory title into the display");
  title->add_option("FILE", titlePath, "Picture or command file")->required();
  title->callback([&context] { Upload(context, titlePath, kFactoryTitleMode); });
});

}  // namespace
}  // namespace molvanectl
