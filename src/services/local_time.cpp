#include "services/local_time.h"

#include "services/os.h"

namespace ld {

std::tm LocalTime(std::time_t time) { return os::LocalTime(time); }

std::tm LocalTimeNow() { return os::LocalTime(std::time(nullptr)); }

}  // namespace ld
