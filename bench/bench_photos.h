// The photos the picture benchmarks run on, made at start-up in a temporary folder: phone
// sized JPEGs (4000 x 3000, about 2.3 MB) with and without a 160 x 120 Exif preview.
#pragma once

#include <string>
#include <vector>

namespace ld::bench {

struct BenchPhotos {
    std::string folder;                  // removed by the destructor
    std::string withPreview;             // 4000 x 3000 with a 160 x 120 embedded preview
    std::string withoutPreview;          // the same photo without one
    std::vector<std::string> originals;  // distinct photos without a preview, for the roll set

    ~BenchPhotos();
};

// Made once per process; `distinct` photos without a preview of `width` x `height`.
const BenchPhotos& Photos();

// `count` names in `folder`/photo, hard links to the distinct originals (each name is its
// own photo to the preview cache, and the disk holds only the originals).
std::vector<std::string> MakeRollSet(const std::string& folder, int count);

}  // namespace ld::bench
