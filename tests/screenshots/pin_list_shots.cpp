// The page as it first shows against a freshly connected simulated cart.
#include "screenshots/shot.h"

namespace screenshots {
namespace {

const AddShot page({"pin-list.png", 1});

}  // namespace
}  // namespace screenshots
