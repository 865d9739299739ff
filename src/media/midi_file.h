// A standard MIDI file read into one timeline, for playing it through a system synthesizer
// (Windows' midiOut) where no software synthesizer renders it: the channel messages of all
// tracks in playing order, each at its time from the start with the tempo changes applied.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace ld::media {

struct MidiEvent {
    uint64_t micros = 0;  // from the start of the song
    // A channel message packed as a short MIDI message: status, then the data bytes in the
    // next bytes up (the layout midiOutShortMsg takes).
    uint32_t message = 0;
};

struct MidiSong {
    std::vector<MidiEvent> events;  // in playing order
    uint64_t lengthMicros = 0;      // up to the last track's end: where a loop starts again
};

// nullopt when the header is not a MIDI file's or there is no track. A track cut short or
// broken inside keeps the events before the fault (as players do); system exclusive and
// meta events other than the tempo are left out. The tracks of a format 2 file are played
// together, as those of a format 1 file.
std::optional<MidiSong> ParseMidiFile(std::string_view data);

}  // namespace ld::media
