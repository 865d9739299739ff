#include "media/midi_sequencer.h"

#include <utility>

namespace ld::media {

MidiSequencer::MidiSequencer(MidiSong song, bool loop)
    : song_(std::move(song)), loop_(loop && !song_.events.empty() && song_.lengthMicros > 0) {}

void MidiSequencer::playUntil(uint64_t micros, const std::function<void(uint32_t)>& send) {
    for (;;) {
        const auto due = nextDue();
        if (!due || *due > micros) return;
        send(song_.events[next_++].message);
        if (next_ == song_.events.size() && loop_) {
            // The next pass starts where this one's tracks end.
            offset_ += song_.lengthMicros;
            next_ = 0;
        }
    }
}

std::optional<uint64_t> MidiSequencer::nextDue() const {
    if (next_ >= song_.events.size()) return std::nullopt;
    return offset_ + song_.events[next_].micros;
}

}  // namespace ld::media
