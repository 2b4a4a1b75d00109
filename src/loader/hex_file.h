#pragma once
#include <string>

#include "loader/firmware_image.h"

namespace molvane {

// Outcome of the strict look at a firmware file made before the board is sent into its
// bootloader. The message names the file and, for a bad record, its line.
struct HexCheck {
  bool ok = false;
  std::string message;
};

// Refuses a file that cannot be opened or read to its end, a record with a wrong checksum, a
// malformed record, data that would land outside the 64 KiB image, and a file without any data
// (empty, text, or only an end record), which would erase the board. Lines that do not start
// with a colon are not records and are passed over, as the reader does.
HexCheck CheckHexFile(const std::string& path);

// Fills the image with 0xFF and stores every data record (type 00) at its 16-bit address; every
// other line is skipped, an end-of-file record included. Bytes that would fall past the image are
// dropped. False when the file cannot be opened or a read fails.
bool ReadHexFile(const std::string& path, FirmwareImage& image);

// pageCount = endAddress / pageSize (pages 0..pageCount are sent).
void SetPageSize(FirmwareImage& image, int pageSize);

// 0-9, A-F and a-f give their value; any other character gives 0.
int HexDigit(char c);

}  // namespace molvane
