// Picture to display command file: the BMP reader, the title image and the written file.
#include <memory>

#include "fuzz_support.h"
#include "loader/bitmap_command_file.h"
#include "loader/bmp_image.h"
#include "loader/command_file_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzzing::WriteInput(data, size, "picture.bmp");
  static auto grid = std::make_unique<molvane::PixelGrid>();
  molvane::BmpInfo info;
  std::string error;
  const bool read = molvane::ReadBmpFile(path, *grid, info, error);
  fuzzing::Require(read || !error.empty(), "a refused picture without a reason");
  for (const auto& row : grid->dots)
    for (const std::uint8_t dot : row) fuzzing::Require(dot <= 1, "a dot neither set nor clear");

  // Start addresses up to and past the end of the display memory.
  const int start = size > 0 ? data[0] * 3 : 0;
  std::string commandPath;
  std::string convertError;
  const bool converted = molvane::ConvertBmpToCommandFile(path, start, size > 1 ? data[1] & 1 : 0,
                                                          commandPath, convertError);
  fuzzing::Require(converted == read, "conversion and reading disagree about the picture");
  if (converted) {
    fuzzing::Require(molvane::CountCommandLines(commandPath) == molvane::kCommandLines,
                     "the command file does not hold its lines");
  }
  return 0;
}
