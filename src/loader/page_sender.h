#pragma once

#include "link/serial_port.h"

namespace molvane {

class TransferSession;
struct FirmwareImage;

// PortError: the port failed, or refused a byte of a page.
enum class PagesOutcome { Done, Canceled, Refused, NotAcknowledged, PortError };

// Sends pages 0 to pageCount of the image, each as two address bytes, the page's bytes and their
// sum, tried up to five times until the board answers '!'. The cancel request is looked at
// before each page; the status text and the transfer's progress show how far it got.
PagesOutcome SendPages(TransferSession& session, const FirmwareImage& image);

}  // namespace molvane
