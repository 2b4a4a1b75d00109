#pragma once
#include <cstdint>
#include <string>

namespace cartsim {

// The five chip-description code bytes a board's bootloader announces after the handshake.
struct BootHeader {
  std::uint8_t device = 'M', flash = 'p', boot = 'd', pageSize = 'S', eeprom = '4';
};

// Misbehaviour a test can switch on to see how the host copes.
struct BootFaults {
  int refusePage = -1;
  int refuseTimes = 0;            // refuse page refusePage this many times, then accept it
  bool refuseAll = false;         // refuse every page
  bool badHeaderOnce = false;     // the first header carries a bad device byte
  bool noiseHeader = false;       // every header is replaced by bytes no host can accept
  bool neverSendU = false;        // the bootloader stays silent
  bool floodHellos = false;       // repeats 'U' without pause and never takes the host's 'U'
  bool floodAfterHeader = false;  // after its header, sends noise without pause instead of '!'
  int hangUpAtPage = -1;          // drop the line when this page's address arrives (once)
};

inline constexpr std::uint8_t kBootHello = 0x55;  // 'U'
inline constexpr std::uint8_t kBootAck = 0x21;    // '!'
inline constexpr std::uint8_t kBootNak = 0x3F;    // '?': sum wrong or page refused
inline constexpr std::uint8_t kBootEnd = 0xFF;    // two of these where an address belongs
inline constexpr std::uint8_t kBadDevice = 0x42;  // what badHeaderOnce puts in the device byte

// Bytes per flash page for a page-size code ('Q' 32 ... 'U' 512); 0 for an unknown code.
int PageSizeFromCode(std::uint8_t code);

// What the bootloader sends after the host's 'U': the five code bytes and the acknowledgement.
std::string HeaderAnswer(const BootHeader& header);

// A burst that matches no accepted code in any header position and holds neither 'U' nor '!'.
std::string NoiseAnswer();

}  // namespace cartsim
