#include "loader/bootloader_header.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "base/number_text.h"

namespace molvane {
namespace {

template <std::size_t N>
bool OneOf(std::uint8_t code, const std::array<std::uint8_t, N>& accepted) {
  return std::find(accepted.begin(), accepted.end(), code) != accepted.end();
}

constexpr std::uint8_t kFirstPageCode = 0x51;  // 'Q' = 32 bytes, each next code doubles it
constexpr std::uint8_t kLastPageCode = 0x55;   // 'U' = 512 bytes
constexpr int kSmallestPage = 32;

}  // namespace

bool IsDeviceCode(std::uint8_t code) {
  return OneOf(code, std::array<std::uint8_t, 4>{0x43, 0x44, 0x4D, 0x87});
}

bool IsFlashSizeCode(std::uint8_t code) {
  return OneOf(code, std::array<std::uint8_t, 3>{0x70, 0x6C, 0x6F});
}

bool IsBootSizeCode(std::uint8_t code) {
  return OneOf(code, std::array<std::uint8_t, 3>{0x64, 0x63, 0x62});
}

bool IsEepromSizeCode(std::uint8_t code) {
  return OneOf(code, std::array<std::uint8_t, 3>{0x34, 0x31, 0x33});
}

int PageSizeFromCode(std::uint8_t code) {
  if (code < kFirstPageCode || code > kLastPageCode) return 0;
  return kSmallestPage << (code - kFirstPageCode);
}

int PageAddressField(int page, int pageSize) {
  int address = page * pageSize;
  switch (pageSize) {
    case 256:
      return address >> 8;
    case 128:
      return address >> 7;
    case 64:
      return address >> 6;
    case 32:
      return address >> 5;
    default:
      return address;
  }
}

int ProgressPercent(int done, int total) {
  if (total <= 0) return 0;
  return static_cast<int>(static_cast<double>(done) * 100.0 / total);
}

namespace {
constexpr const char* kWritingPrefix = "Writing..";
}  // namespace

std::string WritingText(int percent) {
  char text[32];
  std::snprintf(text, sizeof text, "%s  %d%%", kWritingPrefix, percent);
  return text;
}

int WritingPercent(const std::string& status) {
  if (status.rfind(kWritingPrefix, 0) != 0) return -1;
  return TextToInt(std::string_view(status).substr(std::char_traits<char>::length(kWritingPrefix)));
}

}  // namespace molvane
