// Windows has no MP3 encoder, and Wine cannot start the lame program: the MP3 files the
// tests ask for were encoded by lame on Linux and are stored in tests/data/media, named by
// a hash of the WAV file and lame's options. A request for another file finds none.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "media/sound_fixtures.h"

namespace ld::media::fixtures {

std::string EncodeMp3(const TempDir&, const std::string& wav, const std::string& options) {
    uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a
    for (char c : wav + '\n' + options) {
        hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001b3u;
    }
    char name[64];
    std::snprintf(name, sizeof name, "/media/tone-%016llx.mp3",
                  static_cast<unsigned long long>(hash));
    std::ifstream in(std::string(LD_TEST_DATA_DIR) + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace ld::media::fixtures
