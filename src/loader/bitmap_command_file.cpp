#include "loader/bitmap_command_file.h"

#include <cctype>
#include <cstdio>
#include <fstream>

#include "base/file_content.h"

namespace molvane {

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string FormatCommandFile(const TitleBitmap& title, int startAddress, int writeForm) {
  std::string text;
  char piece[32];
  for (int i = 0; i < kCommandLines; ++i) {
    std::snprintf(piece, sizeof piece, writeForm == 0 ? "ew %d " : "rew %d ",
                  startAddress + 16 * i);
    text += piece;
    for (int j = 0; j < 16; ++j) {
      int index = 16 * i + j;
      if (startAddress + index >= kDisplayAddressLimit || index >= TitleBitmap::kSize) continue;
      std::snprintf(piece, sizeof piece, "%02x", title.bytes[index]);
      text += piece;
    }
    text += "\r\n";
  }
  return text;
}

// Names are compared without regard to case, but the file is opened by the name as given:
// on a case-sensitive file system the lower-cased name would be another file.
bool IsCommandFileName(const std::string& path) {
  const std::size_t at = LowerCase(path).find(".txt");
  return at != std::string::npos && at >= 1;
}

std::string CommandFilePathFor(const std::string& picturePath) {
  std::string lower = LowerCase(picturePath);
  std::string result = picturePath;
  bool replaced = false;
  for (std::size_t pos = lower.find(".bmp"); pos != std::string::npos;
       pos = lower.find(".bmp", pos + 4)) {
    result.replace(pos, 4, ".txt");
    replaced = true;
  }
  return replaced ? result : std::string();
}

bool ConvertBmpToCommandFile(const std::string& picturePath, int startAddress, int writeForm,
                             std::string& commandPath, std::string& error, std::string* warning) {
  commandPath = CommandFilePathFor(picturePath);
  if (commandPath.empty()) {
    error = "the name holds no .bmp";
    return false;
  }
  PixelGrid grid;
  BmpInfo info;
  if (!ReadBmpFile(picturePath, grid, info, error)) return false;
  if (warning != nullptr) *warning = info.warning;
  TitleBitmap title = BuildTitleBitmap(grid, info.height);
  if (!ReplaceFileContent(commandPath, FormatCommandFile(title, startAddress, writeForm))) {
    error = "the command file " + commandPath + " could not be written";
    return false;
  }
  return true;
}

}  // namespace molvane
