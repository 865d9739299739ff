// 公证信息.txt: the verified draw's lines beside the exported files, for those who take the
// CSV (whose own format has no room for them).
#pragma once

#include <string>
#include <vector>

namespace ld::exporting {

// `lines` (UTF-8) as a text file that Notepad shows right: a byte order mark and CR LF line
// ends. Written atomically; false when it could not be.
bool WriteVerifiedNote(const std::string& fsPath, const std::vector<std::string>& lines);

}  // namespace ld::exporting
