// A zip archive made in memory, as an xlsx file is one: each entry deflated (zlib), names in
// UTF-8 and flagged so, no ZIP64 (a winners list is far below 4 GB).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ld::exporting {

class ZipWriter {
public:
    // Adds an entry; false when zlib fails or the archive would outgrow the plain zip format.
    bool add(std::string_view name, std::string_view content);

    // The archive: the entries, their central directory and its end record.
    std::string finish();

private:
    std::string archive_;
    std::string directory_;
    uint16_t entries_ = 0;
    bool ok_ = true;
};

}  // namespace ld::exporting
