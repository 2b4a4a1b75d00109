#pragma once
#include <string>

#include "loader/title_bitmap.h"

namespace molvane {

// Display-memory addresses at and above this one are not written.
inline constexpr int kDisplayAddressLimit = 587;
inline constexpr int kCommandLines = 21;

// 21 lines of "ew <address> " (or "rew " when writeForm is not 0) with up to 16 bytes as pairs of
// lower-case hex digits, each line ended by CR LF.
std::string FormatCommandFile(const TitleBitmap& title, int startAddress, int writeForm);

// File names of pictures and command files are compared without regard to case.
std::string LowerCase(std::string text);

// A ".txt" name (in any case) is a ready command file, sent as it is; any other is a picture.
bool IsCommandFileName(const std::string& path);

// The picture's path with every ".bmp" (in any case) made ".txt"; empty when it holds none, so
// that a picture is never written over by its own command file.
std::string CommandFilePathFor(const std::string& picturePath);

// Reads the picture, builds the title image and writes the command file beside it through a
// temporary file. On success `commandPath` names the file, and `warning` (when given) says if
// the title does not show the picture as it looks; else `error` says why.
bool ConvertBmpToCommandFile(const std::string& picturePath, int startAddress, int writeForm,
                             std::string& commandPath, std::string& error,
                             std::string* warning = nullptr);

}  // namespace molvane
