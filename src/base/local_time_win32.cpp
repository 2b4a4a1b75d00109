#include "base/local_time.h"

namespace molvane {

bool LocalTime(std::time_t seconds, std::tm& fields) { return localtime_s(&fields, &seconds) == 0; }

}  // namespace molvane
