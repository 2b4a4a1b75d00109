#pragma once
#include "app/outcome.h"
#include "app/progress.h"

namespace molvane {

class CartController;
class FleetRecorder;

// Before the cart's log is cleared, with a fleet store in use: the log is read whole and its
// events archived. A failure ("the log was not cleared: ...") says why it must not be cleared:
// its trail would be lost. Without a store in use nothing is read.
Outcome ArchiveBeforeClear(CartController& controller, FleetRecorder& fleet,
                           const Progress& progress = {});

}  // namespace molvane
