#include "sim/boot_header.h"

namespace cartsim {

int PageSizeFromCode(std::uint8_t code) {
  if (code < 'Q' || code > 'U') return 0;
  return 32 << (code - 'Q');
}

std::string HeaderAnswer(const BootHeader& header) {
  const std::uint8_t bytes[] = {header.device,   header.flash,  header.boot,
                                header.pageSize, header.eeprom, kBootAck};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string NoiseAnswer() {
  // Chosen by hand: none is a code byte of any header field, 'U', '!' or 0xFF.
  const std::uint8_t bytes[] = {0x00, 0x13, 0xA5, 0x7E, 0x3C, 0x99, 0x0D, 0xE0};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

}  // namespace cartsim
