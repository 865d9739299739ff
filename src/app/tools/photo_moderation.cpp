#include "app/tools/photo_moderation.h"

#include <algorithm>
#include <vector>

#include "app/common/app_state.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "app/draw/draw_engine.h"
#include "app/tools/checkin_link.h"
#include "services/files.h"
#include "services/host.h"
#include "services/profile.h"

namespace ld::app {

namespace {

Text Setting() { return ReadConfigText(ConfigStore::path(), "qiandao", Gbk("照片审核")); }

// The waiting participants, in file name order.
std::vector<Text> Waiting() {
    std::vector<Text> names;
    const Text jpg = ".jpg";
    for (Text name = FindFiles(PendingPhotoFolder() + "/*.jpg", 0, true); !name.empty();
         name = FindFiles()) {
        if (name.size() > jpg.size()) names.push_back(name.substr(0, name.size() - jpg.size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

Text PendingPath(const Text& participant) { return PendingPhotoFolder() + "/" + participant + ".jpg"; }

}  // namespace

bool ModerationOn() { return Setting() == Gbk("真"); }

Text PendingPhotoFolder() { return files::InProgramDirectory(Gbk("待审核照片")); }

void ToggleModeration() {
    const bool on = !ModerationOn();
    if (!WriteConfigText(ConfigStore::path(), "qiandao", Gbk("照片审核"), on ? Gbk("真") : Gbk("假"))) {
        host().dialogs->showMessage(Gbk("照片审核的设置无法写入配置文件，请检查磁盘！"),
                                    msg::kIconWarning, Gbk("警告"));
        return;
    }
    // The desk takes the setting when it opens.
    ReopenCheckin();
    if (on) {
        host().dialogs->showMessage(
            Gbk("照片审核已打开：手机上传的照片先在控制台上等待审核，通过后才显示在大屏幕上并参加"
                "滚动；签到的人先以名字卡参加抽奖。"),
            msg::kIconInfo, Gbk("照片审核"));
    }
}

int PendingPhotoCount() { return static_cast<int>(Waiting().size()); }

std::optional<PendingPhoto> NextPendingPhoto() {
    for (const Text& participant : Waiting()) {
        std::optional<Bytes> photo = TryReadWholeFile(PendingPath(participant));
        if (photo && !photo->empty()) return PendingPhoto{participant, std::move(*photo)};
    }
    return std::nullopt;
}

void ModeratePhoto(const Text& participant, bool approve) {
    const Text pending = PendingPath(participant);
    const std::optional<Bytes> photo = TryReadWholeFile(pending);
    if (!photo || photo->empty()) return;
    bool done = false;
    if (approve) {
        const Text target =
            files::InProgramDirectory(files::PhotoFolder()) + "/" + participant + ".jpg";
        done = WriteWholeFile(target, *photo) && DeleteFileAt(pending);
        // The roll shows the photo from its next tick, not the card it remembers.
        if (done) RollPreviews().forget(PhotoPathOf(participant).value_or(target));
    } else {
        CreateFolder(files::InProgramDirectory(files::HistoryFolder()));  // may exist already
        done = MoveFileTo(pending, FreeHistoryPath(ResultsFile::LocalTime(),
                                                   Gbk("未通过审核-") + participant + "-", ".jpg"));
    }
    if (!done) {
        host().dialogs->showMessage(Gbk("无法移动待审核的照片，请检查磁盘：\r\n") + pending,
                                    msg::kIconWarning, Gbk("照片审核"));
    }
}

}  // namespace ld::app
