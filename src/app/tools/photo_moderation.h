// Moderated check-in photos (照片审核, off by default; [qiandao] 照片审核=真 while on): an
// uploaded photo waits in 待审核照片/ beside the program while its owner stands in the draw
// with a name card; the operator lets it through (it takes the card's place in photo/) or
// refuses it (it goes to history/, the card stays). The queue is the folder itself, so it
// outlives a crash or an exit.
#pragma once

#include <optional>

#include "services/text.h"

namespace ld::app {

bool ModerationOn();
void ToggleModeration();  // 照片审核
Text PendingPhotoFolder();  // full path of 待审核照片

struct PendingPhoto {
    Text participant;  // GBK
    Bytes photo;       // the uploaded JPEG
};
int PendingPhotoCount();
// The oldest waiting photo (by file name order when the times are equal).
std::optional<PendingPhoto> NextPendingPhoto();
// 通过 (`approve`) or 拒绝 for the participant's waiting photo; nothing when it is gone.
void ModeratePhoto(const Text& participant, bool approve);

}  // namespace ld::app
