#pragma once
#include <cstdint>

#include "link/serial_port.h"

namespace molvane {

class TransferSession;
struct FirmwareImage;

// PortError: the port failed, or refused the restart bytes.
enum class HeaderOutcome { Accepted, NotAcknowledged, NoValidHeader, PortError, Canceled };

// Reads the bootloader's five-byte header (starting with the carried byte when it is not 0) and
// waits for its '!'. A bad or short header is answered with the restart bytes and read again, up
// to the attempt bound; the cancel request (or the port's interrupt) ends the exchange. Sets the
// image's page size from an accepted header. Every step is written to bootlog.txt and the
// traffic trace.
HeaderOutcome ReceiveHeader(TransferSession& session, FirmwareImage& image, std::uint8_t carried);

}  // namespace molvane
