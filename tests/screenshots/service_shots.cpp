// The page as it first shows against a freshly connected simulated cart.
#include "screenshots/shot.h"

namespace screenshots {
namespace {

const AddShot page({"service.png", 4});

}  // namespace
}  // namespace screenshots
