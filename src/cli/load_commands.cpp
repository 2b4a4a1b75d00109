// Loading the cart's boards and display: firmware, bitmaps and the factory title.
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "base/file_content.h"
#include "cart/board.h"
#include "cli/cli_context.h"
#include "cli/transfer_progress.h"
#include "loader/bitmap_command_file.h"
#include "loader/bitmap_upload.h"
#include "loader/bmp_image.h"
#include "loader/firmware_update.h"
#include "loader/hex_file.h"

namespace molvanectl {
namespace {

void Flash(CliContext& context, const std::string& board, const std::string& path) {
  // A bad file is refused before the board is sent into its bootloader.
  const molvane::HexCheck check = molvane::CheckHexFile(path);
  if (!check.ok) {
    context.Fail("Error: " + check.message);
    return;
  }
  const molvane::Board* target = molvane::FindBoard(board);
  if (target == nullptr) return;
  // A board left waiting in its bootloader is the one named here: the update takes it from there.
  const CliContext::Reached reached = context.ConnectForUpdate();
  if (reached == CliContext::Reached::Nothing) return;
  const molvane::BoardStart start = reached == CliContext::Reached::BoardInBootloader
                                        ? molvane::BoardStart::InBootloader
                                        : molvane::BoardStart::RunningFirmware;
  if (reached == CliContext::Reached::Cart) context.fleet.BeforeTransfer(context);
  CatchInterrupt();
  if (!Check(context, molvane::StartFirmwareUpdate(context.controller, path, *target, start))) {
    return;
  }
  FollowTransfer(context, molvane::CartWork::Kind::Firmware, board, path);
}

std::vector<std::string> BoardNames() {
  std::vector<std::string> names;
  for (const molvane::Board& board : molvane::kBoards) names.emplace_back(board.name);
  return names;
}

// A picture that cannot be converted is refused here, before the cart is touched; the upload
// converts it again when it starts.
bool CheckPicture(CliContext& context, const std::string& path) {
  if (molvane::IsCommandFileName(path)) return true;
  auto grid = std::make_unique<molvane::PixelGrid>();
  molvane::BmpInfo info;
  std::string error;
  if (molvane::CommandFilePathFor(path).empty()) {
    error = "the picture's name must end in .bmp";
  } else if (molvane::ReadBmpFile(path, *grid, info, error)) {
    Warn(path, info.warning);
    return true;
  }
  context.Fail("Error: " + path + " cannot be loaded: " + error);
  return false;
}

void Upload(CliContext& context, const std::string& path, molvane::BitmapUploadMode mode) {
  if (!context.CheckReadable(path)) return;
  if (path.find('.') == std::string::npos || !molvane::IsChosenFile(path)) {
    context.Fail("Error: " + path + " is neither a .bmp picture nor a .txt command file");
    return;
  }
  if (!CheckPicture(context, path) || !context.Connect()) return;
  context.fleet.BeforeTransfer(context);
  CatchInterrupt();
  if (!Check(context, molvane::StartBitmapUpload(context.controller, path, mode))) return;
  FollowTransfer(context,
                 mode == molvane::BitmapUploadMode::FactoryTitle
                     ? molvane::CartWork::Kind::FactoryTitle
                     : molvane::CartWork::Kind::Bitmap,
                 {}, path);
}

const Registration registration([](CLI::App& app, CliContext& context) {
  static std::string board, firmwarePath;
  auto* flash = app.add_subcommand("flash", "Load a board's firmware from an Intel HEX file");
  flash->add_option("BOARD", board, "main, front, charger or translation")
      ->required()
      ->check(CLI::IsMember(BoardNames()));
  flash->add_option("FILE", firmwarePath, "Firmware file (.hex)")->required();
  flash->callback([&context] { Flash(context, board, firmwarePath); });

  static std::string bitmapPath;
  auto* bitmap =
      app.add_subcommand("bitmap", "Load bitmaps into the display (.bmp or .txt command file)");
  bitmap->add_option("FILE", bitmapPath, "Picture or command file")->required();
  bitmap->callback([&context] { Upload(context, bitmapPath, molvane::BitmapUploadMode::Bitmaps); });

  static std::string titlePath;
  auto* title = app.add_subcommand("title", "Load the factory title into the display");
  title->add_option("FILE", titlePath, "Picture or command file")->required();
  title->callback(
      [&context] { Upload(context, titlePath, molvane::BitmapUploadMode::FactoryTitle); });
});

}  // namespace
}  // namespace molvanectl
