// The page as it first shows against a freshly connected simulated cart.
#include "screenshots/shot.h"

namespace screenshots {
namespace {

const AddShot page({"setup.png", 0});

}  // namespace
}  // namespace screenshots
