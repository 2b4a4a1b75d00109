#include "loader/hex_file.h"

#include <algorithm>
#include <cstdio>

#include "base/number_text.h"
#include "base/regular_file.h"

namespace molvane {
namespace {

constexpr int kDataRecord = 0;
constexpr int kSegmentAddressRecord = 2;
constexpr int kLinearAddressRecord = 4;
constexpr int kLastRecordType = 5;
constexpr std::size_t kRecordOverhead = 11;  // colon, count, address, type, checksum

// A line is read to its end: cut into pieces, a long record's tail would pass for a line of its
// own. What lies past kLongestKept characters, far beyond any record (521), is dropped: such a
// line is malformed whatever it holds, and cannot fill memory.
constexpr std::size_t kLongestKept = std::size_t{1} << 20;
bool NextLine(std::FILE* in, std::string& line) {
  line.clear();
  int c = 0;
  bool any = false;
  while ((c = std::getc(in)) != EOF && c != '\n') {
    any = true;
    if (line.size() < kLongestKept) line += static_cast<char>(c);
  }
  if (c == EOF && !any) return false;
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
    line.pop_back();
  }
  return true;
}

int ByteAt(const std::string& line, std::size_t pos) {
  char high = pos < line.size() ? line[pos] : '0';
  char low = pos + 1 < line.size() ? line[pos + 1] : '0';
  return HexDigit(high) * 16 + HexDigit(low);
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Empty when the record is sound, else why not.
std::string RecordFault(const std::string& line) {
  if (line.size() < kRecordOverhead || line.size() % 2 == 0) return "malformed record";
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (!IsHex(line[i])) return "malformed record";
  }
  int count = ByteAt(line, 1);
  if (line.size() != kRecordOverhead + 2 * static_cast<std::size_t>(count)) {
    return "record length does not match its byte count";
  }
  int type = ByteAt(line, 7);
  if (type > kLastRecordType) return "unknown record type";
  int sum = 0;
  for (std::size_t pos = 1; pos < line.size(); pos += 2) sum += ByteAt(line, pos);
  if ((sum & 0xFF) != 0) return "checksum wrong";
  int address = ByteAt(line, 3) * 256 + ByteAt(line, 5);
  if (type == kDataRecord && address + count > FirmwareImage::kSize) {
    return "data beyond the 64 KiB image";
  }
  bool extended = type == kSegmentAddressRecord || type == kLinearAddressRecord;
  if (extended && count != 2) return "malformed record";
  if (extended && (ByteAt(line, 9) != 0 || ByteAt(line, 11) != 0)) {
    return "data beyond the 64 KiB image";
  }
  return {};
}

bool IsDataRecord(const std::string& line) {
  return !line.empty() && line[0] == ':' && line.size() > 8 && line[7] == '0' && line[8] == '0';
}

void StoreRecord(const std::string& line, FirmwareImage& image) {
  int count = ByteAt(line, 1);
  int address = ByteAt(line, 3) * 256 + ByteAt(line, 5);
  for (int i = 0; i < count && address + i < FirmwareImage::kSize; ++i) {
    image.bytes[address + i] = static_cast<std::uint8_t>(ByteAt(line, 9 + 2 * i));
  }
  if (address + count > image.endAddress) {
    image.endAddress = std::min(address + count, FirmwareImage::kSize);
  }
}

}  // namespace

int HexDigit(char c) { return std::max(0, HexDigitValue(c)); }

HexCheck CheckHexFile(const std::string& path) {
  FileFault fault = FileFault::None;
  const FileHandle in = OpenRegularFile(path, fault);
  if (!in) {
    return {false, fault == FileFault::NotRegular
                       ? "Firmware file " + path + " " + FileFaultText(fault) + ". Update refused."
                       : "Firmware file " + path + " could not be opened."};
  }
  std::string line;
  bool holdsData = false;
  for (int number = 1; NextLine(in.get(), line); ++number) {
    if (line.empty() || line[0] != ':') continue;
    std::string fault = RecordFault(line);
    if (!fault.empty()) {
      return {false, "Firmware file " + path + ", line " + std::to_string(number) + ": " + fault +
                         ". Update refused."};
    }
    holdsData = holdsData || (IsDataRecord(line) && ByteAt(line, 1) > 0);
  }
  // A read that failed is not the end of the file: what was not read was not checked.
  if (std::ferror(in.get()) != 0)
    return {false, "Firmware file " + path + " could not be read. Update refused."};
  // Without data the image is all erased: the board would be wiped, not updated.
  if (!holdsData) {
    return {false, "Firmware file " + path + " holds no firmware data. Update refused."};
  }
  return {true, {}};
}

bool ReadHexFile(const std::string& path, FirmwareImage& image) {
  FileFault fault = FileFault::None;
  const FileHandle in = OpenRegularFile(path, fault);
  if (!in) return false;
  image.bytes.fill(0xFF);
  image.endAddress = 0;
  std::string line;
  while (NextLine(in.get(), line)) {
    if (IsDataRecord(line)) StoreRecord(line, image);
  }
  if (image.pageSize > 0) image.pageCount = image.endAddress / image.pageSize;
  return std::ferror(in.get()) == 0;
}

void SetPageSize(FirmwareImage& image, int pageSize) {
  image.pageSize = pageSize;
  image.pageCount = pageSize > 0 ? image.endAddress / pageSize : 0;
}

}  // namespace molvane
