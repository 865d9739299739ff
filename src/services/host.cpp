#include "services/host.h"

namespace ld {

namespace {
Host g_host;
}

Host& host() { return g_host; }
void setHost(const Host& h) { g_host = h; }

}  // namespace ld
