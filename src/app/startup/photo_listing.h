// The participants of a fresh draw: the photo folder listed in the order the file system
// gives its entries. The search is held open by its owner (start-up keeps it from before
// the resume question until its very end) and released when the owner is done.
#pragma once

#include <string_view>

#include "services/text.h"

namespace ld::app {

class PhotoListing {
public:
    // Starts the search of ProgramDirectory()/photo/*.JPG (extension in any case,
    // directories skipped) and fetches the first name.
    PhotoListing();
    ~PhotoListing();
    PhotoListing(const PhotoListing&) = delete;
    PhotoListing& operator=(const PhotoListing&) = delete;

    // The participants still to come, each name + CR LF, in listing order. Consumes the
    // listing.
    Text takePool();
    // Releases the search (also done on destruction).
    void end();

private:
    Text current_;
    bool open_ = true;
};

// The participant a photo file stands for: its name up to the first "." (张三.jpg → 张三,
// a.b.JPG → a). Empty for a file without a name part (".jpg", "._IMG_1.JPG").
Text ParticipantName(std::string_view fileName);

// Line ends made CR LF: a lone CR or LF (a file edited on another system) counts as one,
// so every line stays one participant. A last line without a line end stays without.
Text WithCrLfLineEnds(std::string_view text);

// A name that can take part: not empty, not only spaces, and without control characters
// (below 0x20, or 0x7F), which would break the CR LF lines of the results file.
bool IsParticipantName(std::string_view name);

// The pool without the lines that are no participant; `dropped` counts them.
Text WithoutInvalidNames(std::string_view pool, int& dropped);

}  // namespace ld::app
