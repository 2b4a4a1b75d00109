#pragma once

namespace molvane::texts {

// Starting a transfer.
inline constexpr const char* kSelectFile = "Please select a file.";

// Firmware update.
inline constexpr const char* kWaitingForBootloader = "Waiting for response from bootloader.";
inline constexpr const char* kBoardTimeout = "Timeout while waiting for the board";
inline constexpr const char* kHeaderPortError = "Port Error in Receive Header function";
inline constexpr const char* kSegmentAborted =
    "Could not send correct segment after 5 tries. Update Aborted.";
inline constexpr const char* kFirmwareCanceled = "Firmware Update Canceled.";
inline constexpr const char* kFirmwareComplete = "Firmware Update Complete";
inline constexpr const char* kHeaderNotAcknowledged =
    "The bootloader did not acknowledge its header. Update Aborted.";
inline constexpr const char* kBootloaderKeepsAnnouncing =
    "The bootloader kept sending 'U' and sent no header. Update Aborted.";
inline constexpr const char* kNoValidHeader =
    "The bootloader sent no valid header. Update Aborted.";
inline constexpr const char* kPageNotAcknowledged =
    "The board did not acknowledge a page. Update Aborted.";
inline constexpr const char* kFlashPortLost =
    "The port failed while sending the firmware. Update Aborted.";

// Bitmap upload.
inline constexpr const char* kBitmapNotOpened = "Bitmap file could not be opened";
inline constexpr const char* kBitmapCanceled = "Bitmap Update Canceled";
inline constexpr const char* kBitmapLinesDone = "Complete.";
inline constexpr const char* kBitmapUpdated = "Bitmap Updated ...";
inline constexpr const char* kBitmapComplete = "Bitmap Update Complete.";
inline constexpr const char* kDisplaySilent =
    "The display stopped answering. Bitmap Update Aborted.";
inline constexpr const char* kBitmapSettleCut =
    "Bitmap Updated ... but the wait for the display to store it was cut short.";

}  // namespace molvane::texts
