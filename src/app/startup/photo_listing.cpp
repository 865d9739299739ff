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
        // let an empty name win.
        if (!name.empty()) pool.append(name).append("\r\n");
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
