#pragma once

// What the link and the controller tell the operator, used in more than one place.
namespace molvane::texts {

inline constexpr const char* kUnknownCommand = "Unknown Command.";
inline constexpr const char* kErrorUnknown = "Error: Unknown.";
inline constexpr const char* kErrorTimeout = "Error: Timeout";
inline constexpr const char* kLineClosed =
    "Error: The cable was unplugged or the line closed. Plug the cart in again.";
inline constexpr const char* kWriteError = "Error writing the command to the port.";
inline constexpr const char* kTimeout = "Timeout";
inline constexpr const char* kNoDrivers = "No USB Cart drivers have been installed on this system.";
inline constexpr const char* kNoPorts = "No FTDI Ports available.";
inline constexpr const char* kNoPortOpened = "No FDTI ports could be opened";
inline constexpr const char* kNoCart = "Error: No cart is connected.";
inline constexpr const char* kTransferRunning = "A transfer is already running.";
inline constexpr const char* kCancelled = "Cancelled.";

}  // namespace molvane::texts
