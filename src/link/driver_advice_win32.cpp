#include "link/driver_advice.h"

namespace molvane {

// Windows does not bring the cable's driver on every PC; a cable that was plugged in before the
// driver came is matched to it when it is plugged in again.
const char* DriverMissingAdvice() {
  return "Install the FTDI VCP driver for the cart's USB cable, then plug the cart in again.";
}

}  // namespace molvane
