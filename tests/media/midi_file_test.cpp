// The MIDI file reader and the sequencer behind Windows' system-synthesizer player.
#include "media/midi_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/midi_sequencer.h"
#include "sound_fixtures.h"

namespace ld::media {
namespace {

std::string Be(uint32_t v, int n) {
    std::string s;
    for (int i = n - 1; i >= 0; --i) s += static_cast<char>(v >> (8 * i) & 0xFF);
    return s;
}

std::string Track(const std::string& body) {
    return "MTrk" + Be(static_cast<uint32_t>(body.size()), 4) + body;
}

std::string Midi(int format, const std::vector<std::string>& tracks, int division = 96) {
    std::string file = "MThd" + Be(6, 4) + Be(format, 2) +
                       Be(static_cast<uint32_t>(tracks.size()), 2) + Be(division, 2);
    for (const auto& t : tracks) file += Track(t);
    return file;
}

uint32_t Msg(uint8_t status, uint8_t a, uint8_t b = 0) { return status | a << 8 | b << 16; }

std::vector<std::pair<uint64_t, uint32_t>> Flat(const MidiSong& song) {
    std::vector<std::pair<uint64_t, uint32_t>> out;
    for (const auto& e : song.events) out.emplace_back(e.micros, e.message);
    return out;
}

TEST(MidiFile, TracksMergeInTimeUnderTheTempoMap) {
    // The conductor track halves a beat's length after the first beat (96 ticks).
    const std::string conductor =
        std::string("\x60\xFF\x51\x03\x03\xD0\x90", 7) + std::string("\x60\xFF\x2F\x00", 4);
    // A program change and a note; a system exclusive (it cancels the running status); a
    // note with its status and one in running status; a note off.
    const std::string notes = std::string("\x00\xC0\x05", 3) + std::string("\x00\x90\x3C\x64", 4) +
                              std::string("\x30\xF0\x02\x41\xF7", 5) +
                              std::string("\x30\x90\x40\x64", 4) + std::string("\x00\x43\x50", 3) +
                              std::string("\x60\x80\x3C\x40", 4) +
                              std::string("\x00\xFF\x2F\x00", 4);
    const auto song = ParseMidiFile(Midi(1, {conductor, notes}));
    ASSERT_TRUE(song);
    const std::vector<std::pair<uint64_t, uint32_t>> expected = {
        {0, Msg(0xC0, 5)},
        {0, Msg(0x90, 0x3C, 0x64)},
        {500000, Msg(0x90, 0x40, 0x64)},
        {500000, Msg(0x90, 0x43, 0x50)},
        {750000, Msg(0x80, 0x3C, 0x40)},
    };
    EXPECT_EQ(Flat(*song), expected);
    EXPECT_EQ(song->lengthMicros, 750000u);

    // SMPTE time: 25 frames a second of 40 ticks, a millisecond a tick.
    const auto smpte = ParseMidiFile(Midi(0, {std::string("\x83\x60\x90\x3C\x64", 5)}, 0xE728));
    ASSERT_TRUE(smpte);
    EXPECT_EQ(Flat(*smpte),
              (std::vector<std::pair<uint64_t, uint32_t>>{{480000, Msg(0x90, 0x3C, 0x64)}}));
}

TEST(MidiFile, ABrokenTrackKeepsItsEventsBeforeTheFaultAndOtherFilesAreRefused) {
    // A note and one in running status cut short; a track starting with a data byte.
    const auto broken = ParseMidiFile(
        Midi(0, {std::string("\x00\x90\x3C\x64\x00\x40", 6), std::string("\x00\x3C\x64", 3)}));
    ASSERT_TRUE(broken);
    EXPECT_EQ(Flat(*broken),
              (std::vector<std::pair<uint64_t, uint32_t>>{{0, Msg(0x90, 0x3C, 0x64)}}));

    EXPECT_FALSE(ParseMidiFile("MThd" + std::string(40, '\x7F')));
    EXPECT_FALSE(ParseMidiFile(Midi(0, {})));                                       // no track
    EXPECT_FALSE(ParseMidiFile(Midi(0, {std::string("\x00\xFF\x2F\x00", 4)}, 0)));  // no division
    EXPECT_FALSE(ParseMidiFile(fixtures::Wav16(8000, 1, {0})));
}

TEST(MidiSequencer, SendsWhatIsDueAndLoopsFromTheTracksEnd) {
    const MidiSong song{{{0, 1}, {400000, 2}}, 1000000};
    std::vector<uint32_t> sent;
    const auto record = [&](uint32_t m) { sent.push_back(m); };

    MidiSequencer once(song, false);
    once.playUntil(399999, record);
    EXPECT_EQ(once.nextDue(), 400000u);
    once.playUntil(5000000, record);
    EXPECT_EQ(sent, (std::vector<uint32_t>{1, 2}));
    EXPECT_FALSE(once.nextDue());
    EXPECT_EQ(once.endMicros(), 1000000u);

    sent.clear();
    MidiSequencer looping(song, true);
    looping.playUntil(2400000, record);  // three passes, to the third's last event
    EXPECT_EQ(sent, (std::vector<uint32_t>{1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(looping.nextDue(), 3000000u);

    // A song with no length to repeat plays once instead of repeating in no time.
    sent.clear();
    MidiSequencer instant(MidiSong{{{0, 7}}, 0}, true);
    instant.playUntil(1000000, record);
    EXPECT_EQ(sent, (std::vector<uint32_t>{7}));
    EXPECT_FALSE(instant.nextDue());
}

}  // namespace
}  // namespace ld::media
