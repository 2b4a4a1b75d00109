#pragma once

namespace molvane {

// What the operator does when discovery finds no FTDI driver, told after "No USB Cart drivers
// have been installed on this system.": the remedy differs between Windows and Linux.
const char* DriverMissingAdvice();

}  // namespace molvane
