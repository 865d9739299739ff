// 中奖名单.pdf: the winners to print for the prize desk, with their photos.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "export/winner_record.h"

namespace ld::exporting {

// A4 pages: `title` at the top of the first, then each level (see LevelsInOrder) under a
// heading, every winner as a photo thumbnail with the name and ordinal; a forfeited winner
// is struck through and marked 放弃. Each page carries 第 N 页 / 共 M 页. Photos are read from
// `photoFolder`/`photoFile`; a missing or broken one gets a neutral placeholder. The text is
// drawn by the media layer (see text_glyphs.h: on Linux it needs a QGuiApplication, false
// without one). Written atomically; false when it could not be. `cardDone`, if given, is
// called after each winner's card with the cards done and their count: the photos make the
// time. `verifiedLines` (UTF-8, from a verified draw) make a last page of their own (see
// pdf_verified_page.h); without them the document is as it always was.
bool WriteWinnersPdf(const std::string& fsPath, const std::string& title,
                     const std::vector<WinnerRecord>& rows,
                     const std::vector<std::string>& levelOrder, const std::string& photoFolder,
                     const std::function<void(int done, int count)>& cardDone = {},
                     const std::vector<std::string>& verifiedLines = {});

}  // namespace ld::exporting
