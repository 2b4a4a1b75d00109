// The firmware file reader and the strict look taken before a board enters its bootloader.
#include <memory>

#include "fuzz_support.h"
#include "loader/hex_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzzing::WriteInput(data, size, "image.hex");
  const molvane::HexCheck check = molvane::CheckHexFile(path);
  fuzzing::Require(check.ok == check.message.empty(), "a refusal without a reason");

  static auto image = std::make_unique<molvane::FirmwareImage>();
  image->pageSize = 0;
  fuzzing::Require(molvane::ReadHexFile(path, *image), "a readable file was not read");
  fuzzing::Require(image->endAddress >= 0 && image->endAddress <= molvane::FirmwareImage::kSize,
                   "end address outside the image");
  for (const int pageSize : {32, 64, 128, 256, 512}) {
    molvane::SetPageSize(*image, pageSize);
    // Pages 0..pageCount are offered; at most the one after a full image starts at its end.
    fuzzing::Require(
        image->pageCount >= 0 && image->pageCount * pageSize <= molvane::FirmwareImage::kSize,
        "a page beyond the image");
  }
  return 0;
}
