// No MIDI on Windows yet: the synthesizer would be midiOut, which cannot mix with the other
// sounds nor be tested under Wine. Without a sound font the player plays MIDI as silence.
#include "media/midi_renderer.h"

namespace ld::media {

std::vector<std::string> DefaultSoundFonts() { return {}; }

std::string FindSoundFont(const std::vector<std::string>&) { return {}; }

std::unique_ptr<MidiRenderer> MidiRenderer::create(std::string_view, const std::string&, bool) {
    return nullptr;
}

// Never made (create gives nullptr); defined for the class's completeness.
struct MidiRenderer::Synth {};
MidiRenderer::MidiRenderer(std::unique_ptr<Synth> synth, bool loop)
    : synth_(std::move(synth)), loop_(loop) {}
MidiRenderer::~MidiRenderer() = default;
bool MidiRenderer::songEnded() const { return true; }
size_t MidiRenderer::render(Sample*, size_t) { return 0; }

}  // namespace ld::media
