// Sound files for the sound tests, made on the spot: WAV and MIDI by our own writers,
// MP3 by the lame encoder (the tests that need it skip without it), ID3 tags by hand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "media/mixer.h"
#include "media/sound_format.h"

namespace ld::media::fixtures {

// RIFF pieces: a chunk (padded to an even length), a "fmt " body, 16-bit sample bytes.
std::string Chunk(std::string_view id, std::string_view body);
std::string FmtBody(int channels, int rate, int bits, int formatTag = 1);
std::string WaveFile(const std::vector<std::string>& chunks);
std::string Pcm16(const std::vector<int16_t>& samples);
// A plain PCM WAV file of interleaved 16-bit samples.
std::string Wav16(int rate, int channels, const std::vector<int16_t>& samples);
// A tone, interleaved, every channel alike.
std::vector<int16_t> Tone(int frames, int channels, int rate, double hz = 440, int level = 8000);

// A one-track MIDI file: one note of `ms` milliseconds at 120 beats a minute.
std::string MidiNote(int ms = 500);

// ID3v2 tag of `major` version 2, 3 or 4 around `body`; a v4 tag with flag 0x10 gets
// its footer. Frames for that version; an ID3v1 block of 128 bytes.
std::string Id3v2(int major, std::string_view body, uint8_t flags = 0);
std::string Id3Frame(int major, std::string_view id, std::string_view content);
std::string Id3v1(std::string_view title);

// A scratch folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::string path_;
};

// MP3 bytes for `wav` encoded by lame with `options`; empty when lame is not there (on
// Windows: when no encoding of them is stored in tests/data/media).
std::string EncodeMp3(const TempDir& dir, const std::string& wav, const std::string& options);

// Renders the mixer until every source ended.
std::vector<Sample> RenderToEnd(SoundMixer& mixer);
// Renders exactly `frames` frames, waiting for the sources.
std::vector<Sample> RenderFrames(SoundMixer& mixer, size_t frames);
// Frames in which some sample's magnitude reaches `level`.
size_t LoudFrames(const std::vector<Sample>& pcm, int level = 300);

}  // namespace ld::media::fixtures
