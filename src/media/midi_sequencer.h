// Plays a MIDI song against a clock that the caller reads: which messages are due by a
// time since the start, and when the next one is, with the song repeating when it loops.
// The Windows MIDI player runs one on its timer thread; tests drive it with times of their
// own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "media/midi_file.h"

namespace ld::media {

class MidiSequencer {
public:
    MidiSequencer(MidiSong song, bool loop);

    // Sends, in order, every message due at or before `micros` and not sent yet.
    void playUntil(uint64_t micros, const std::function<void(uint32_t)>& send);
    // When the next message is due; nullopt once the song has ended (a looping song ends
    // only when it has no length to repeat).
    std::optional<uint64_t> nextDue() const;
    // The time at which the song ends (its last track's end), meaningful once ended.
    uint64_t endMicros() const { return offset_ + song_.lengthMicros; }

private:
    MidiSong song_;
    bool loop_;
    size_t next_ = 0;
    uint64_t offset_ = 0;  // the start of the current pass
};

}  // namespace ld::media
