#include "export/winners_csv.h"

#include "export/winners_file.h"
#include "services/atomic_write.h"

namespace ld::exporting {

bool WriteWinnersCsv(const std::string& fsPath, const std::vector<WinnerRecord>& rows) {
    std::string text = WinnersFileHeader();
    for (const auto& row : rows) text += WinnersFileLine(row);
    return WriteDiskFile(fsPath, text).ok();
}

}  // namespace ld::exporting
