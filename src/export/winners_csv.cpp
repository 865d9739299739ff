#include "export/winners_csv.h"

#include "export/atomic_file.h"
#include "export/winners_file.h"

namespace ld::exporting {

bool WriteWinnersCsv(const std::string& fsPath, const std::vector<WinnerRecord>& rows) {
    std::string text = WinnersFileHeader();
    for (const auto& row : rows) text += WinnersFileLine(row);
    return WriteFileAtomically(fsPath, text);
}

}  // namespace ld::exporting
