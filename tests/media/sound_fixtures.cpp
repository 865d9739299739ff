#include "sound_fixtures.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>

namespace ld::media::fixtures {

namespace {

std::string Le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::string Be(uint32_t value, int bytes, int bitsPerByte = 8) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) {
        out += static_cast<char>(value >> (bitsPerByte * i) & ((1u << bitsPerByte) - 1));
    }
    return out;
}

}  // namespace

std::string Chunk(std::string_view id, std::string_view body) {
    std::string out =
        std::string(id) + Le(static_cast<uint32_t>(body.size()), 4) + std::string(body);
    if (body.size() % 2) out += '\0';
    return out;
}

std::string FmtBody(int channels, int rate, int bits, int formatTag) {
    const int align = channels * bits / 8;
    return Le(formatTag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) +
           Le(bits, 2);
}

std::string WaveFile(const std::vector<std::string>& chunks) {
    std::string body = "WAVE";
    for (const auto& c : chunks) body += c;
    return "RIFF" + Le(static_cast<uint32_t>(body.size()), 4) + body;
}

std::string Pcm16(const std::vector<int16_t>& samples) {
    std::string out;
    for (int16_t s : samples) out += Le(static_cast<uint16_t>(s), 2);
    return out;
}

std::string Wav16(int rate, int channels, const std::vector<int16_t>& samples) {
    return WaveFile({Chunk("fmt ", FmtBody(channels, rate, 16)), Chunk("data", Pcm16(samples))});
}

std::vector<int16_t> Tone(int frames, int channels, int rate, double hz, int level) {
    std::vector<int16_t> out;
    for (int i = 0; i < frames; ++i) {
        const double v = level * std::sin(2 * std::numbers::pi * hz * i / rate);
        out.insert(out.end(), channels, static_cast<int16_t>(std::lround(v)));
    }
    return out;
}

std::string MidiNote(int ms) {
    constexpr int kDivision = 96;  // ticks a beat; a beat is 500 ms at the default tempo
    const int ticks = ms * kDivision / 500;
    const std::string track = std::string("\x00\xC0\x00", 3) +      // piano
                              std::string("\x00\x90\x3C\x64", 4) +  // note on, C4
                              Be(0x80 | (ticks >> 7), 1) + Be(ticks & 0x7F, 1) +
                              std::string("\x80\x3C\x40", 3) +     // note off
                              std::string("\x00\xFF\x2F\x00", 4);  // end of track
    return "MThd" + Be(6, 4) + Be(0, 2) + Be(1, 2) + Be(kDivision, 2) + "MTrk" +
           Be(static_cast<uint32_t>(track.size()), 4) + track;
}

std::string Id3v2(int major, std::string_view body, uint8_t flags) {
    const std::string size = Be(static_cast<uint32_t>(body.size()), 4, 7);
    const std::string tail =
        std::string{static_cast<char>(major), 0, static_cast<char>(flags)} + size;
    std::string tag = "ID3" + tail + std::string(body);
    if (major == 4 && (flags & 0x10)) tag += "3DI" + tail;
    return tag;
}

std::string Id3Frame(int major, std::string_view id, std::string_view content) {
    const auto n = static_cast<uint32_t>(content.size());
    if (major == 2) return std::string(id.substr(0, 3)) + Be(n, 3) + std::string(content);
    const std::string size = major == 4 ? Be(n, 4, 7) : Be(n, 4);
    return std::string(id) + size + std::string(2, '\0') + std::string(content);
}

std::string Id3v1(std::string_view title) {
    std::string block = "TAG" + std::string(title);
    block.resize(128, '\0');
    return block;
}

TempDir::TempDir() {
    // A fresh folder of a random name (mkdtemp is not on every platform).
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const auto folder = std::filesystem::temp_directory_path() /
                            ("ld-sound-" + std::to_string(random()) + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error)) path_ = folder.string();
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
    const std::string path = file(name);
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<Sample> RenderFrames(SoundMixer& mixer, size_t frames) {
    std::vector<Sample> pcm(frames * kOutputChannels);
    mixer.renderWaiting(pcm.data(), frames);
    return pcm;
}

std::vector<Sample> RenderToEnd(SoundMixer& mixer) {
    constexpr size_t kBlock = 4096;
    std::vector<Sample> pcm, block(kBlock * kOutputChannels);
    for (;;) {
        const size_t got = mixer.renderWaiting(block.data(), kBlock);
        pcm.insert(pcm.end(), block.begin(), block.begin() + got * kOutputChannels);
        if (got < kBlock) return pcm;
    }
}

size_t LoudFrames(const std::vector<Sample>& pcm, int level) {
    size_t loud = 0;
    for (size_t i = 0; i + 1 < pcm.size(); i += kOutputChannels) {
        if (std::abs(pcm[i]) >= level || std::abs(pcm[i + 1]) >= level) ++loud;
    }
    return loud;
}

}  // namespace ld::media::fixtures
