#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

inline constexpr const char* kHexEndRecord = ":00000001FF";

// One Intel HEX record: ":", count, address, type, the data digits as given (so a test can use
// lower case), and the checksum, then `lineEnd`.
std::string HexRecord(int address, int type, const std::string& dataHex,
                      const std::string& lineEnd = "\n");

// `data` placed at `base` as data records of up to 16 bytes, then the end-of-file record.
std::string HexFile(const std::vector<std::uint8_t>& data, int base = 0,
                    const std::string& lineEnd = "\n");

// Scattered bytes (address -> byte): a data record per run of up to 16 consecutive addresses,
// then the end-of-file record.
std::string HexFile(const std::map<int, std::uint8_t>& bytes, const std::string& lineEnd = "\n");

// Bytes that differ from page to page, so a page written to the wrong place shows.
inline std::vector<std::uint8_t> PagePattern(int size) {
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>((i * 37 + i / 256) & 0xFF);
  return data;
}

}  // namespace testing_support
