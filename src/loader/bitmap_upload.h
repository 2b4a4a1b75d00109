#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;

// What a bitmap upload is for. The factory title goes without "load_bitmap" and "er 256".
enum class BitmapUploadMode { Bitmaps = 1, FactoryTitle = 2, CustomerTitle = 4 };

// Starts a display upload on the transfer worker: a ".txt" command file is sent as it is, a
// picture is converted into one first (from `startAddress`, "rew" lines when `writeForm` is not
// 0). A refused start says why (no file name, a picture that cannot be converted, a transfer
// already running); the worker's end is the controller's TransferOutcome().
Outcome StartBitmapUpload(CartController& controller, const std::string& path,
                          BitmapUploadMode mode, int startAddress = 0, int writeForm = 0);

}  // namespace molvane
