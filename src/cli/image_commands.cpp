// Looking at load files without a cart: what a HEX file would send, and a picture's command file.
#include <cstdio>
#include <memory>

#include "cli/cli_context.h"
#include "loader/bitmap_command_file.h"
#include "loader/hex_file.h"

namespace molvanectl {
namespace {

constexpr long kDefaultPageSize = 128;
constexpr long kBmpAddressLimit = molvane::kDisplayAddressLimit - 1;

// The page sizes a bootloader can announce in its header.
bool IsBootloaderPageSize(long size) {
  return size == 32 || size == 64 || size == 128 || size == 256 || size == 512;
}

void HexInfo(CliContext& context, const std::string& path, long pageSize) {
  if (!IsBootloaderPageSize(pageSize)) {
    context.Fail("Error: the page size must be 32, 64, 128, 256 or 512, not " +
                 std::to_string(pageSize));
    return;
  }
  const molvane::HexCheck check = molvane::CheckHexFile(path);
  auto image = std::make_unique<molvane::FirmwareImage>();
  if (!check.ok || !molvane::ReadHexFile(path, *image)) {
    context.Fail("Error: " + (check.ok ? "cannot read " + path : check.message));
    return;
  }
  molvane::SetPageSize(*image, static_cast<int>(pageSize));
  std::printf("End address: 0x%04X (%d bytes)\n", static_cast<unsigned>(image->endAddress),
              image->endAddress);
  std::printf("Page size: %d\n", image->pageSize);
  std::printf("Page count: %d\n", image->pageCount);
  // Pages 0 to pageCount are sent, the last one filled with 0xFF where the file says nothing.
  std::printf("Pages sent: %d\n", image->pageCount + 1);
}

void BmpConvert(CliContext& context, const std::string& path, const std::string& addressText) {
  long address = 0;
  if (!CheckBoundedNumber(context, "start address", addressText, kBmpAddressLimit, address)) return;
  std::string commandPath, error, warning;
  if (!molvane::ConvertBmpToCommandFile(path, static_cast<int>(address), 0, commandPath, error,
                                        &warning)) {
    context.Fail("Error: " + path + " was not converted: " + error);
    return;
  }
  Warn(path, warning);
  std::printf("%s\n", commandPath.c_str());
}

const Registration registration([](CLI::App& app, CliContext& context) {
  static std::string hexPath;
  static long pageSize = kDefaultPageSize;
  auto* hexInfo = app.add_subcommand("hex-info", "What a firmware file would send to a board");
  hexInfo->add_option("FILE", hexPath, "Firmware file (.hex)")->required();
  hexInfo->add_option("--page-size", pageSize, "Flash page size of the board")
      ->capture_default_str();
  hexInfo->callback([&context] { HexInfo(context, hexPath, pageSize); });

  static std::string bmpPath;
  static std::string address = "0";
  auto* convert =
      app.add_subcommand("bmp-convert", "Write a picture's display command file beside it");
  convert->add_option("FILE", bmpPath, "Picture (.bmp)")->required();
  convert->add_option("--address", address, "Display start address")->capture_default_str();
  convert->callback([&context] { BmpConvert(context, bmpPath, address); });
});

}  // namespace
}  // namespace molvanectl
