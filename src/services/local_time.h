// The local calendar time, the same way on every platform and thread.
#pragma once

#include <ctime>

namespace ld {

std::tm LocalTime(std::time_t time);
std::tm LocalTimeNow();

}  // namespace ld
