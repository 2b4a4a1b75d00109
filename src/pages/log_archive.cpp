#include "pages/log_archive.h"

#include "app/cart_controller.h"
#include "cart/event_log.h"
#include "pages/fleet_recorder.h"

namespace molvane {

Outcome ArchiveBeforeClear(CartController& controller, FleetRecorder& fleet,
                           const Progress& progress) {
  if (!fleet.InUse(controller)) return Outcome::Success();
  const Outcome read = DumpLog(controller, progress);
  if (!read) {
    return Outcome::Failure(
        "the log was not cleared: it could not be read whole to archive it first (" + read.text +
        ")");
  }
  const Outcome archived = fleet.ArchiveLog(controller, controller.Events());
  if (archived) return archived;
  // The refusal says why; the same words are not said again as a warning.
  (void)fleet.TakeWarning();
  return Outcome::Failure(
      "the log was not cleared: its events could not be archived in the fleet store (" +
      archived.text + ")");
}

}  // namespace molvane
