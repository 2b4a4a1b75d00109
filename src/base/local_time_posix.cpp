#include "base/local_time.h"

namespace molvane {

bool LocalTime(std::time_t seconds, std::tm& fields) {
  return localtime_r(&seconds, &fields) != nullptr;
}

}  // namespace molvane
