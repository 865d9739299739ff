// Windows' side of serving_os.h. Only checked to compile with MinGW-w64 so far.
// In this order: winsock2.h before windows.h, and bcrypt.h after it.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <bcrypt.h>
// clang-format on

#include <stdexcept>

#include "checkin/serving_os.h"

namespace ld::checkin {

// As on Linux: off the first core, which stays free for the stage, and below the normal
// priority.
void MakeThisThreadBackground() {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) {
        const DWORD_PTR others = process & ~DWORD_PTR{1};
        if (others != 0) SetThreadAffinityMask(GetCurrentThread(), others);
    }
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

void FillWithRandomBytes(unsigned char* bytes, size_t size) {
    while (size > 0) {
        const ULONG part = size > 0x10000000 ? 0x10000000 : static_cast<ULONG>(size);
        if (BCryptGenRandom(nullptr, bytes, part, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
            throw std::runtime_error("no random bits from the OS");
        }
        bytes += part;
        size -= part;
    }
}

// On Windows SO_REUSEADDR would let a second program take over a port that is listening;
// SO_EXCLUSIVEADDRUSE makes its bind fail instead.
void PrepareListeningSocket(boost::asio::ip::tcp::acceptor& acceptor) {
    BOOL yes = TRUE;
    ::setsockopt(acceptor.native_handle(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                 reinterpret_cast<const char*>(&yes), sizeof yes);
}

}  // namespace ld::checkin
