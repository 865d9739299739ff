// The spreadsheet and the PDF on Windows until they have writers of their own: the export
// reports that it could not write them, as for a full disk.
#include "export/winners_pdf.h"
#include "export/winners_xlsx.h"

namespace ld::exporting {

bool WriteWinnersXlsx(const std::string&, const std::vector<WinnerRecord>&,
                      const std::vector<std::string>&) {
    return false;
}

bool WriteWinnersPdf(const std::string&, const std::string&, const std::vector<WinnerRecord>&,
                     const std::vector<std::string>&, const std::string&) {
    return false;
}

}  // namespace ld::exporting
