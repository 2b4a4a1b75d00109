#include "cart/lift_settings.h"

#include "app/cart_controller.h"

namespace molvane {

std::string LiftMoveFailureText(const std::string& failure) {
  const bool linkLost = failure == texts::kErrorTimeout || failure == texts::kWriteError;
  if (!linkLost) return failure;
  return failure + " - the link to the cart failed, so the lift may still be moving.";
}

}  // namespace molvane
