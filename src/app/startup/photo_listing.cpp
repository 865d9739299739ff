#include "app/startup/photo_listing.h"

#include "app/common/data_files.h"
#include "services/files.h"

namespace ld::app {

PhotoListing::PhotoListing() {
    current_ = FindFiles(files::InProgramDirectory(files::PhotoPattern()), 0, true);
}

PhotoListing::~PhotoListing() { end(); }

Text PhotoListing::takePool() {
    Text pool;
    while (!current_.empty()) {
        // The listing gives bare names, so there is no folder part to cut off.
        Text name = ParticipantName(current_);
        // A photo without a name part (the "._" files macOS leaves on USB sticks) would
        // let an empty name win; a line feed in a name would split its results line.
        if (IsParticipantName(name)) pool.append(name).append("\r\n");
        current_ = FindFiles();
    }
    return pool;
}

void PhotoListing::end() {
    if (!open_) return;
    open_ = false;
    EndFindFiles();
}

Text ParticipantName(std::string_view fileName) {
    int32_t dot = FindText(fileName, ".");
    return dot < 1 ? Text(fileName) : LeftText(fileName, dot - 1);
}

bool IsParticipantName(std::string_view name) {
    bool onlySpaces = true;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
        if (byte != ' ') onlySpaces = false;
    }
    return !onlySpaces;
}

Text WithoutInvalidNames(std::string_view pool, int& dropped) {
    dropped = 0;
    Text kept;
    kept.reserve(pool.size());
    size_t start = 0;
    while (start < pool.size()) {
        const size_t at = pool.find("\r\n", start);
        const size_t end = at == std::string_view::npos ? pool.size() : at + 2;
        const std::string_view name =
            pool.substr(start, (at == std::string_view::npos ? end : at) - start);
        if (IsParticipantName(name)) {
            kept.append(pool.substr(start, end - start));
        } else {
            ++dropped;
        }
        start = end;
    }
    return kept;
}

Text WithCrLfLineEnds(std::string_view text) {
    Text out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            out.append("\r\n");
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace ld::app
