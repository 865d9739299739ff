// The check-in server's limits as the operator may set them in [qiandao] of peizhi.a; a key
// that is absent, empty or not a positive number keeps its default.
#pragma once

#include <vector>

#include "checkin/checkin_server.h"

namespace ld::app {

checkin::ServerLimits StoredCheckinLimits();
// The keys read by StoredCheckinLimits, for CheckinKeys.
const std::vector<const char*>& CheckinLimitKeys();

}  // namespace ld::app
