#include "support/intel_hex.h"

#include <algorithm>
#include <cstdio>

namespace testing_support {
namespace {

constexpr std::size_t kRecordBytes = 16;

std::string HexDigits(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  char pair[4];
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
    text += pair;
  }
  return text;
}

}  // namespace

std::string HexRecord(int address, int type, const std::string& dataHex,
                      const std::string& lineEnd) {
  char head[16];
  std::snprintf(head, sizeof head, ":%02X%04X%02X", static_cast<int>(dataHex.size() / 2) & 0xFF,
                address & 0xFFFF, type & 0xFF);
  const std::string line = head + dataHex;
  int sum = 0;
  for (std::size_t i = 1; i + 1 < line.size(); i += 2) {
    sum += std::stoi(line.substr(i, 2), nullptr, 16);
  }
  char tail[4];
  std::snprintf(tail, sizeof tail, "%02X", (-sum) & 0xFF);
  return line + tail + lineEnd;
}

std::string HexFile(const std::vector<std::uint8_t>& data, int base, const std::string& lineEnd) {
  std::string text;
  for (std::size_t at = 0; at < data.size(); at += kRecordBytes) {
    const std::size_t count = std::min(kRecordBytes, data.size() - at);
    text += HexRecord(base + static_cast<int>(at), 0, HexDigits(&data[at], count), lineEnd);
  }
  return text + kHexEndRecord + lineEnd;
}

std::string HexFile(const std::map<int, std::uint8_t>& bytes, const std::string& lineEnd) {
  std::string text;
  for (auto it = bytes.begin(); it != bytes.end();) {
    const int address = it->first;
    std::vector<std::uint8_t> run;
    while (it != bytes.end() && it->first == address + static_cast<int>(run.size()) &&
           run.size() < kRecordBytes) {
      run.push_back(it->second);
      ++it;
    }
    text += HexRecord(address, 0, HexDigits(run.data(), run.size()), lineEnd);
  }
  return text + kHexEndRecord + lineEnd;
}

}  // namespace testing_support
