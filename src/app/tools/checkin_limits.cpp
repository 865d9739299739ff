#include "app/tools/checkin_limits.h"

#include "app/common/config_keys.h"
#include "services/encoding.h"
#include "services/profile.h"

namespace ld::app {

namespace {

struct LimitKey {
    const char* name;
    int checkin::ServerLimits::*field;
};

// Whole numbers as the server takes them; the upload speed (KB/s) and the photo size (MB)
// have units of their own.
constexpr LimitKey kLimitKeys[] = {
    {"每地址连接数", &checkin::ServerLimits::maxConnectionsPerAddress},
    {"连接总数", &checkin::ServerLimits::maxConnections},
    {"每地址每分钟签到数", &checkin::ServerLimits::checkinsPerMinutePerAddress},
    {"请求头时限秒", &checkin::ServerLimits::headerTimeoutSeconds},
    {"上传时限秒", &checkin::ServerLimits::bodyTimeoutSeconds},
};
constexpr char kUploadKbPerSecond[] = "上传最低速度KB";
constexpr char kPhotoMegabytes[] = "照片上限MB";

// A positive whole number, else 0.
int Stored(const char* key) {
    const int value = ToInt32(ReadConfigText(ConfigStore::path(), "qiandao", Gbk(key)));
    return value > 0 ? value : 0;
}

}  // namespace

checkin::ServerLimits StoredCheckinLimits() {
    checkin::ServerLimits limits;
    for (const LimitKey& key : kLimitKeys) {
        if (const int value = Stored(key.name)) limits.*key.field = value;
    }
    if (const int kb = Stored(kUploadKbPerSecond); kb <= 1024 * 1024)
        limits.minUploadBytesPerSecond = kb > 0 ? kb * 1024 : limits.minUploadBytesPerSecond;
    if (const int mb = Stored(kPhotoMegabytes); mb > 0 && mb <= 1024)
        limits.maxBodyBytes = static_cast<size_t>(mb) * 1024 * 1024;
    return limits;
}

const std::vector<const char*>& CheckinLimitKeys() {
    static const std::vector<const char*> keys = [] {
        std::vector<const char*> names;
        for (const LimitKey& key : kLimitKeys) names.push_back(key.name);
        names.push_back(kUploadKbPerSecond);
        names.push_back(kPhotoMegabytes);
        return names;
    }();
    return keys;
}

}  // namespace ld::app
