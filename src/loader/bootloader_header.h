#pragma once
#include <cstdint>
#include <string>

namespace molvane {

// The five code bytes a board's bootloader sends after the 'U' handshake.
struct BootloaderHeader {
  std::uint8_t device = 0;
  std::uint8_t flashSize = 0;
  std::uint8_t bootSize = 0;
  std::uint8_t pageSize = 0;
  std::uint8_t eepromSize = 0;
};

bool IsDeviceCode(std::uint8_t code);
bool IsFlashSizeCode(std::uint8_t code);
bool IsBootSizeCode(std::uint8_t code);
bool IsEepromSizeCode(std::uint8_t code);
// Bytes per flash page for a page-size code ('Q' 32 .. 'U' 512); 0 for an unknown code.
int PageSizeFromCode(std::uint8_t code);

// The two address bytes in front of a page carry the page number, except at 512 bytes per page
// where the bootloader takes the byte address.
int PageAddressField(int page, int pageSize);

// "Writing..  %d%%" progress for step `done` of `total`; a total of 0 shows 0.
int ProgressPercent(int done, int total);
std::string WritingText(int percent);
// The percentage of a "Writing.." status text; -1 for any other text.
int WritingPercent(const std::string& status);

}  // namespace molvane
