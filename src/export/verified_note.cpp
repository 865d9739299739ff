#include "export/verified_note.h"

#include "services/atomic_write.h"

namespace ld::exporting {

bool WriteVerifiedNote(const std::string& fsPath, const std::vector<std::string>& lines) {
    std::string text = "\xEF\xBB\xBF";
    for (const auto& line : lines) text += line + "\r\n";
    return WriteDiskFile(fsPath, text).ok();
}

}  // namespace ld::exporting
