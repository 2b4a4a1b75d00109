// The page as it first shows against a freshly connected simulated cart.
#include "screenshots/shot.h"

namespace screenshots {
namespace {

const AddShot page([] {
  Shot shot;
  shot.file = "setup.png";
  shot.tab = 0;
  return shot;
}());

}  // namespace
}  // namespace screenshots
