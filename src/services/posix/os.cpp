// The operating-system facts of system.h on Linux.
#include "services/os.h"

#include <locale.h>
#include <sys/random.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace ld::os {

const char kFolderSeparator = '/';

std::string ExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) return {};
        if (static_cast<size_t>(length) < path.size()) {
            path.resize(static_cast<size_t>(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool ChangeDirectory(const std::string& diskPath) { return ::chdir(diskPath.c_str()) == 0; }

// The boot time plus the start time that the kernel gives in clock ticks since boot.
std::tm LocalTime(time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

time_t ProcessStartTime() {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    const size_t comm = line.rfind(')');
    if (comm == std::string::npos) return 0;
    std::istringstream fields(line.substr(comm + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }  // field 22 is the start time
    std::ifstream system("/proc/stat");
    long long boot = 0;
    for (std::string key; system >> key;) {
        if (key == "btime") {
            system >> boot;
            break;
        }
    }
    const long ticks = ::sysconf(_SC_CLK_TCK);
    if (boot <= 0 || ticks <= 0 || field.empty() ||
        field.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<time_t>(boot + std::stoll(field) / ticks);
}

void RandomBytes(unsigned char* bytes, size_t size) {
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::getrandom(bytes + got, size - got, 0);
        if (n > 0) got += static_cast<size_t>(n);
    }
}

double ParseNumberInCLocale(const char* text) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text, nullptr, c);
}

}  // namespace ld::os
