#include "media/midi_file.h"

#include <algorithm>
#include <map>

namespace ld::media {

namespace {

constexpr uint32_t kDefaultTempo = 500000;  // microseconds a quarter note: 120 beats a minute

struct TickEvent {
    uint64_t tick;
    uint32_t message;
};

class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}
    bool has(size_t n) const { return data_.size() - pos_ >= n; }
    size_t left() const { return data_.size() - pos_; }
    uint8_t byte() { return static_cast<uint8_t>(data_[pos_++]); }
    uint32_t be(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = v << 8 | byte();
        return v;
    }
    // A variable-length quantity (at most four bytes); nullopt when cut short or longer.
    std::optional<uint32_t> vlq() {
        uint32_t v = 0;
        for (int i = 0; i < 4 && has(1); ++i) {
            const uint8_t b = byte();
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80)) return v;
        }
        return std::nullopt;
    }
    void skip(size_t n) { pos_ += std::min(n, left()); }
    std::string_view take(size_t n) {
        const auto part = data_.substr(pos_, std::min(n, left()));
        pos_ += part.size();
        return part;
    }

private:
    std::string_view data_;
    size_t pos_ = 0;
};

int DataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// One track's channel messages and tempo changes (by tick); returns the tick of its end.
uint64_t ReadTrack(std::string_view track, std::vector<TickEvent>& events,
                   std::map<uint64_t, uint32_t>& tempos) {
    Reader r(track);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (r.has(1)) {
        const auto delta = r.vlq();
        if (!delta || !r.has(1)) break;
        tick += *delta;
        uint8_t status = r.byte();
        if (status == 0xFF) {
            if (!r.has(1)) break;
            const uint8_t type = r.byte();
            const auto length = r.vlq();
            if (!length || !r.has(*length)) break;
            const std::string_view body = r.take(*length);
            if (type == 0x2F) break;  // end of track
            if (type == 0x51 && body.size() == 3) {
                const uint32_t tempo = static_cast<uint8_t>(body[0]) << 16 |
                                       static_cast<uint8_t>(body[1]) << 8 |
                                       static_cast<uint8_t>(body[2]);
                if (tempo > 0) tempos[tick] = tempo;
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            const auto length = r.vlq();
            if (!length || !r.has(*length)) break;
            r.skip(*length);
            running = 0;  // system messages cancel the running status
            continue;
        }
        uint32_t message;
        if (status & 0x80) {
            if (status >= 0xF0) break;  // no other system message belongs in a file
            running = status;
            if (!r.has(static_cast<size_t>(DataBytes(status)))) break;
            message = status;
            for (int i = 0; i < DataBytes(status); ++i)
                message |= uint32_t{r.byte()} << (8 + 8 * i);
        } else {
            if (!running) break;  // a data byte with no status before it
            message = running | uint32_t{status} << 8;
            if (DataBytes(running) == 2) {
                if (!r.has(1)) break;
                message |= uint32_t{r.byte()} << 16;
            }
        }
        if ((message >> 8 & 0x80) || (message >> 16 & 0x80)) break;  // a status as data
        events.push_back({tick, message});
    }
    return tick;
}

// Ticks to microseconds under the tempo map (a tick's length for SMPTE time is fixed).
class Clock {
public:
    Clock(uint16_t division, std::map<uint64_t, uint32_t> tempos) : tempos_(std::move(tempos)) {
        if (division & 0x8000) {
            const int fps = -static_cast<int8_t>(division >> 8);
            const double frames = fps == 29 ? 29.97 : fps;
            smpteTick_ = 1e6 / (frames * (division & 0xFF));
        } else {
            ticksPerQuarter_ = division;
        }
    }
    uint64_t micros(uint64_t tick) const {
        if (smpteTick_ > 0) return static_cast<uint64_t>(static_cast<double>(tick) * smpteTick_);
        double micros = 0;
        uint64_t from = 0;
        uint32_t tempo = kDefaultTempo;
        for (const auto& [at, next] : tempos_) {
            if (at >= tick) break;
            micros += static_cast<double>(at - from) * tempo / ticksPerQuarter_;
            from = at;
            tempo = next;
        }
        return static_cast<uint64_t>(micros +
                                     static_cast<double>(tick - from) * tempo / ticksPerQuarter_);
    }

private:
    std::map<uint64_t, uint32_t> tempos_;
    double ticksPerQuarter_ = 0;
    double smpteTick_ = 0;
};

}  // namespace

std::optional<MidiSong> ParseMidiFile(std::string_view data) {
    Reader r(data);
    if (!r.has(14) || data.substr(0, 4) != "MThd") return std::nullopt;
    r.skip(4);
    const uint32_t headerLength = r.be(4);
    if (headerLength < 6 || !r.has(headerLength)) return std::nullopt;
    r.skip(4);  // the format and the number of tracks: every track there is is played
    const auto division = static_cast<uint16_t>(r.be(2));
    r.skip(headerLength - 6);
    if ((division & 0x8000) ? (division & 0xFF) == 0 || (division >> 8) == 0x80 : division == 0) {
        return std::nullopt;
    }
    std::vector<TickEvent> events;
    std::map<uint64_t, uint32_t> tempos;
    uint64_t endTick = 0;
    bool anyTrack = false;
    while (r.has(8)) {
        const bool isTrack = r.take(4) == "MTrk";
        const uint32_t length = r.be(4);
        const std::string_view body = r.take(length);
        if (!isTrack) continue;
        anyTrack = true;
        endTick = std::max(endTick, ReadTrack(body, events, tempos));
    }
    if (!anyTrack) return std::nullopt;
    // Tracks one after the other, each in order: a stable sort by tick interleaves them.
    std::stable_sort(events.begin(), events.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });
    const Clock clock(division, std::move(tempos));
    MidiSong song;
    song.events.reserve(events.size());
    for (const TickEvent& e : events) song.events.push_back({clock.micros(e.tick), e.message});
    song.lengthMicros = clock.micros(endTick);
    return song;
}

}  // namespace ld::media
