#pragma once

#include "link/serial_port.h"

namespace molvane {

class CartController;

enum class PagesOutcome { Done, Canceled, Refused, NotAcknowledged, PortError };

// Sends pages 0 to pageCount of the controller's image, each as two address bytes, the page's
// bytes and their sum, tried up to five times until the board answers '!'. The cancel request is
// looked at before each page; the status text shows the progress.
PagesOutcome SendPages(CartController& controller, SerialPort& port);

}  // namespace molvane
