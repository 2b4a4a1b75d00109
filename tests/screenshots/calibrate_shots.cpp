// The page as it first shows against a freshly connected simulated cart.
#include "screenshots/shot.h"

namespace screenshots {
namespace {

const AddShot page({"factory-calibration.png", 5});

}  // namespace
}  // namespace screenshots
