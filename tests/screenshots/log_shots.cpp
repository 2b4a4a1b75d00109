// The page as it first shows against a freshly connected simulated cart.
#include "screenshots/shot.h"

namespace screenshots {
namespace {

const AddShot page({.file = "log.png", .tab = 2});

}  // namespace
}  // namespace screenshots
