// MIDI on Windows goes to the system synthesizer (midiOut through the MIDI mapper): our
// parser reads the file and a timer thread sends its messages when due. The synthesizer
// cannot be mixed with the other sounds, so the renderer's frames are silence, as long as
// the song plays: the sound's life (stopping it, its end, looping) stays that of a sound
// in the mixer. Where there is no MIDI device the sound is silent, as on Linux without a
// sound font; the sound fonts themselves mean nothing here.
#include "media/midi_renderer.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "media/midi_file.h"
#include "media/midi_sequencer.h"

namespace ld::media {

namespace {
// After the last message the notes ring on this long before the sound ends.
constexpr uint64_t kTailMicros = 1500000;
}  // namespace

std::vector<std::string> DefaultSoundFonts() { return {}; }

std::string FindSoundFont(const std::vector<std::string>&) { return {}; }

struct MidiRenderer::Synth {
    HMIDIOUT out = nullptr;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::atomic<bool> finished{false};
    std::thread thread;

    ~Synth() {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        if (thread.joinable()) thread.join();
        if (out) {
            midiOutReset(out);  // every note off, at once
            midiOutClose(out);
        }
    }

    void play(MidiSequencer sequencer) {
        using Clock = std::chrono::steady_clock;
        timeBeginPeriod(1);  // waits to the millisecond, not the scheduler's 15.6 ms
        const auto start = Clock::now();
        std::unique_lock lock(mutex);
        for (;;) {
            const auto now = static_cast<uint64_t>(
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start)
                    .count());
            sequencer.playUntil(now, [this](uint32_t message) { midiOutShortMsg(out, message); });
            const auto due = sequencer.nextDue();
            const uint64_t until = due ? *due : sequencer.endMicros() + kTailMicros;
            if (!due && now >= until) break;
            if (wake.wait_until(lock, start + std::chrono::microseconds(until),
                                [this] { return stopping; })) {
                break;
            }
        }
        timeEndPeriod(1);
        finished = true;
    }
};

std::unique_ptr<MidiRenderer> MidiRenderer::create(std::string_view midiFile, const std::string&,
                                                   bool loop) {
    auto song = ParseMidiFile(midiFile);
    if (!song || song->events.empty() || midiOutGetNumDevs() == 0) return nullptr;
    auto synth = std::make_unique<Synth>();
    HMIDIOUT out = nullptr;
    if (midiOutOpen(&out, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return nullptr;
    synth->out = out;
    Synth* s = synth.get();
    synth->thread = std::thread([s, sequencer = MidiSequencer(std::move(*song), loop)]() mutable {
        s->play(std::move(sequencer));
    });
    return std::unique_ptr<MidiRenderer>(new MidiRenderer(std::move(synth), loop));
}

MidiRenderer::MidiRenderer(std::unique_ptr<Synth> synth, bool loop)
    : synth_(std::move(synth)), loop_(loop) {}
MidiRenderer::~MidiRenderer() = default;
bool MidiRenderer::songEnded() const { return synth_->finished; }

size_t MidiRenderer::render(Sample* out, size_t frames) {
    if (songEnded()) return 0;
    std::fill(out, out + frames * kOutputChannels, Sample{0});
    return frames;
}

}  // namespace ld::media
