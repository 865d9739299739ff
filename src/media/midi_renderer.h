// Renders a standard MIDI file to output frames with FluidSynth and a General MIDI sound
// font, so MIDI sounds mix with everything else instead of needing a MIDI device. On
// Windows the file plays through the system synthesizer instead and the frames are silence
// while it plays (win32/midi_renderer.cpp).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "media/sound_format.h"

namespace ld::media {

// The General MIDI sound fonts the set-up script may have installed, preferred first.
std::vector<std::string> DefaultSoundFonts();
// The first candidate that is a readable file; empty when there is none.
std::string FindSoundFont(const std::vector<std::string>& candidates);

class MidiRenderer {
public:
    // nullptr when the synthesizer cannot be set up (the sound font fails to load, say);
    // the caller then plays the sound as silence. With `loop` the file repeats forever.
    static std::unique_ptr<MidiRenderer> create(std::string_view midiFile,
                                                const std::string& soundFont, bool loop);
    ~MidiRenderer();
    MidiRenderer(const MidiRenderer&) = delete;
    MidiRenderer& operator=(const MidiRenderer&) = delete;

    // Up to `frames` output frames; fewer only at the end, once the last notes died away.
    size_t render(Sample* out, size_t frames);

private:
    struct Synth;
    MidiRenderer(std::unique_ptr<Synth> synth, bool loop);
    bool songEnded() const;

    std::unique_ptr<Synth> synth_;
    bool loop_;
    bool started_ = false;
    size_t tailFrames_ = 0;
    bool done_ = false;
};

}  // namespace ld::media
