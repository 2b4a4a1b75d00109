// The page as it first shows against a freshly connected simulated cart.
#include "screenshots/shot.h"

namespace screenshots {
namespace {

const AddShot page({.file = "setup.png", .tab = 0});

}  // namespace
}  // namespace screenshots
