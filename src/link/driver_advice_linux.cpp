#include "link/driver_advice.h"

namespace molvane {

// Distribution kernels carry the driver as a module that is loaded when an adapter is plugged
// in, so one found missing was unloaded or kept from loading; MOLVANE_PORTS reaches an adapter
// of another make, or the simulator.
const char* DriverMissingAdvice() {
  return "Load the FTDI serial driver (sudo modprobe ftdi_sio), then plug the cart in again; "
         "a port of another make is named in MOLVANE_PORTS.";
}

}  // namespace molvane
