#include "app/startup/reset_checkins.h"

#include <set>

#include "app/common/data_files.h"
#include "app/tools/checkin_link.h"
#include "checkin/checkin_desk.h"
#include "services/files.h"

namespace ld::app {

EventCheckins FindEventCheckins() {
    EventCheckins found;
    const Text log = files::InProgramDirectory(CheckinLogName());
    std::set<Text> seen;  // a replaced photo is listed twice
    for (const checkin::LoggedCheckin& c : checkin::ReadCheckinLog(log)) {
        const Text photo =
            files::InProgramDirectory(files::PhotoFolder()) + "/" + c.participant + ".jpg";
        if (seen.insert(photo).second && FileExists(photo)) found.files.push_back(photo);
    }
    found.people = static_cast<int>(found.files.size());
    if (found.people > 0) found.files.push_back(log);
    return found;
}

Text RemoveCheckinsQuestion(int people) {
    return Gbk("本场活动有 ") + ToText(people) +
           Gbk(" 人通过签到或名单导入加入抽奖。\r\n是否同时移除这些签到？签到生成的照片、名片和签到"
               "记录将移到 history 文件夹，手动放入的照片不受影响。\r\n\r\n"
               "是：移除签到　　否：保留签到　　取消：不初始化");
}

}  // namespace ld::app
