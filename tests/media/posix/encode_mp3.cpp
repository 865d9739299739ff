// MP3 files for the player's tests, encoded by the lame program.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "media/sound_fixtures.h"

namespace ld::media::fixtures {

std::string EncodeMp3(const TempDir& dir, const std::string& wav, const std::string& options) {
    const std::string in = dir.write("source.wav", wav);
    const std::string out = dir.file("encoded.mp3");
    const std::string command =
        "lame --quiet " + options + " '" + in + "' '" + out + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream encoded(out, std::ios::binary);
    return {std::istreambuf_iterator<char>(encoded), {}};
}

}  // namespace ld::media::fixtures
