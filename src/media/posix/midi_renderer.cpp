#include "media/midi_renderer.h"

#include <fluidsynth.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace ld::media {

namespace {

// Notes still sounding after the file ended may ring this long, and no longer; voices
// whose release has faded below hearing (they can linger for seconds) end it sooner.
constexpr size_t kMaxTailFrames = 3 * kOutputRate;
constexpr int kInaudible = 4;
constexpr int kBlockFrames = 512;

void QuietFluidSynth() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Warnings (a missing preset, no SDL audio driver) are no business of ours.
        for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
            fluid_set_log_function(level, nullptr, nullptr);
        }
    });
}

}  // namespace

std::vector<std::string> DefaultSoundFonts() {
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
            "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/default.sf2"};
}

std::string FindSoundFont(const std::vector<std::string>& candidates) {
    for (const auto& path : candidates) {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(path.c_str(), R_OK) == 0) {
            return path;
        }
    }
    return {};
}

struct MidiRenderer::Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;

    ~Synth() {
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
        }
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }
};

std::unique_ptr<MidiRenderer> MidiRenderer::create(std::string_view midiFile,
                                                   const std::string& soundFont, bool loop) {
    if (soundFont.empty()) return nullptr;
    QuietFluidSynth();
    auto s = std::make_unique<Synth>();
    s->settings = new_fluid_settings();
    if (!s->settings) return nullptr;
    fluid_settings_setnum(s->settings, "synth.sample-rate", kOutputRate);
    fluid_settings_setnum(s->settings, "synth.gain", 0.5);
    // Events follow the rendered samples, not the wall clock: we render ahead of time.
    fluid_settings_setstr(s->settings, "player.timing-source", "sample");
    // Let the last notes ring out instead of cutting them when the file ends.
    fluid_settings_setint(s->settings, "player.reset-synth", 0);
    s->synth = new_fluid_synth(s->settings);
    if (!s->synth || fluid_synth_sfload(s->synth, soundFont.c_str(), 1) == FLUID_FAILED) {
        return nullptr;
    }
    s->player = new_fluid_player(s->synth);
    if (!s->player ||
        fluid_player_add_mem(s->player, midiFile.data(), midiFile.size()) != FLUID_OK ||
        fluid_player_set_loop(s->player, loop ? -1 : 0) != FLUID_OK ||
        fluid_player_play(s->player) != FLUID_OK) {
        return nullptr;
    }
    return std::unique_ptr<MidiRenderer>(new MidiRenderer(std::move(s), loop));
}

MidiRenderer::MidiRenderer(std::unique_ptr<Synth> synth, bool loop)
    : synth_(std::move(synth)), loop_(loop) {}

bool MidiRenderer::songEnded() const {
    fluid_player_t* player = synth_->player;
    if (fluid_player_get_status(player) != FLUID_PLAYER_PLAYING) return true;
    // The player reports the end only seconds after the last event; its position tells
    // sooner. The tracks are loaded with the first block, so ask only after that.
    return !loop_ && started_ &&
           fluid_player_get_current_tick(player) >= fluid_player_get_total_ticks(player);
}

MidiRenderer::~MidiRenderer() = default;

size_t MidiRenderer::render(Sample* out, size_t frames) {
    size_t produced = 0;
    while (!done_ && produced < frames) {
        const int n = static_cast<int>(std::min<size_t>(frames - produced, kBlockFrames));
        const bool ending = songEnded();
        if (ending && (tailFrames_ >= kMaxTailFrames ||
                       fluid_synth_get_active_voice_count(synth_->synth) == 0)) {
            done_ = true;
            break;
        }
        Sample* block = out + produced * kOutputChannels;
        fluid_synth_write_s16(synth_->synth, n, block, 0, 2, block, 1, 2);
        produced += static_cast<size_t>(n);
        started_ = true;
        if (ending) {
            tailFrames_ += static_cast<size_t>(n);
            const auto loudest =
                std::max_element(block, block + n * kOutputChannels,
                                 [](int a, int b) { return std::abs(a) < std::abs(b); });
            done_ = std::abs(*loudest) <= kInaudible;
        }
    }
    return produced;
}

}  // namespace ld::media
