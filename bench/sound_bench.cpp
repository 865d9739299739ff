// MP3 decoding speed as a multiple of real time (counter x_realtime), against libmpg123
// decoding the same file in its native format with nothing around it (the baseline; Linux
// only). A 30-second file is made with the lame encoder at the start; at 48 kHz the decoder
// also resamples to the output rate.
#include <benchmark/benchmark.h>
#include <unistd.h>
#ifdef LD_BENCH_MPG123
#include <mpg123.h>
#endif

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "media/mixer.h"
#include "media/mp3_decoder.h"
#include "media/mp3_file.h"
#include "media/mp3_player.h"

namespace {

using namespace ld::media;

constexpr int kSeconds = 30;
constexpr const char* kNoMusic = "no MP3: lame is not installed, or LD_SOUND_BENCH_MUSIC has none";

std::string Le(uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
    return s;
}

// A chord with a little noise, so the encoder has something to spend bits on.
std::string MusicWav(int rate) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-600, 600);
    std::string pcm;
    for (int i = 0; i < rate * kSeconds; ++i) {
        const double t = static_cast<double>(i) / rate;
        for (int ch = 0; ch < 2; ++ch) {
            double v = 0;
            for (double hz : {220.0, 277.2, 329.6, 440.0 + ch})
                v += std::sin(2 * std::numbers::pi * hz * t);
            pcm += Le(static_cast<uint16_t>(static_cast<int16_t>(v * 5000 + noise(random))), 2);
        }
    }
    const std::string fmt =
        Le(1, 2) + Le(2, 2) + Le(rate, 4) + Le(rate * 4, 4) + Le(4, 2) + Le(16, 2);
    const std::string body = "WAVEfmt " + Le(16, 4) + fmt + "data" + Le(pcm.size(), 4) + pcm;
    return "RIFF" + Le(body.size(), 4) + body;
}

// The encoded files, one per rate, in a scratch folder removed at exit. With the folder
// LD_SOUND_BENCH_MUSIC they are kept there and reused: the Windows build under Wine, which
// cannot start lame, then decodes the very files the Linux build made.
class EncodedMusic {
public:
    // Path of the file for `rate`; empty when there is none and lame cannot make it.
    static const std::string& path(int rate) {
        static EncodedMusic music;
        auto [it, fresh] = music.files_.emplace(rate, std::string());
        if (fresh) it->second = music.encode(rate);
        return it->second;
    }

private:
    EncodedMusic() {
        const char* kept = std::getenv("LD_SOUND_BENCH_MUSIC");
        keep_ = kept && *kept;
        dir_ = keep_ ? std::filesystem::path(kept)
                     : std::filesystem::temp_directory_path() /
                           ("ld-sound-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
    }
    ~EncodedMusic() {
        std::error_code ignored;
        if (!keep_) std::filesystem::remove_all(dir_, ignored);
    }

    std::string encode(int rate) const {
        const std::string wav = (dir_ / "music.wav").string();
        const std::string mp3 = (dir_ / ("music" + std::to_string(rate) + ".mp3")).string();
        if (keep_ && std::filesystem::exists(mp3)) return mp3;
#ifdef _WIN32
        return {};
#endif
        std::ofstream(wav, std::ios::binary) << MusicWav(rate);
        const bool ok =
            std::system(("lame --quiet -b 192 '" + wav + "' '" + mp3 + "'").c_str()) == 0;
        return ok ? mp3 : std::string();
    }

    bool keep_ = false;
    std::filesystem::path dir_;
    std::map<int, std::string> files_;
};

void Report(benchmark::State& state) {
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(kSeconds) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

#ifdef LD_BENCH_MPG123
std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// libmpg123 alone: the whole file in memory, native output format.
void BM_Mp3Baseline(benchmark::State& state) {
    const std::string& path = EncodedMusic::path(static_cast<int>(state.range(0)));
    if (path.empty()) return state.SkipWithError(kNoMusic);
    const std::string file = ReadAll(path);
    mpg123_init();
    std::vector<unsigned char> out(1 << 16);
    for (auto _ : state) {
        mpg123_handle* mh = mpg123_new(nullptr, nullptr);
        mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET, 0);
        mpg123_open_feed(mh);
        mpg123_feed(mh, reinterpret_cast<const unsigned char*>(file.data()), file.size());
        size_t done = 0, total = 0;
        int result;
        while ((result = mpg123_read(mh, out.data(), out.size(), &done)) == MPG123_OK ||
               result == MPG123_NEW_FORMAT) {
            total += done;
        }
        benchmark::DoNotOptimize(total);
        mpg123_delete(mh);
    }
    Report(state);
}
#endif

// Our decoding path on one thread: the file's audio range read in blocks, decoded to the
// output format.
void BM_Mp3Decoder(benchmark::State& state) {
    const std::string& path = EncodedMusic::path(static_cast<int>(state.range(0)));
    if (path.empty()) return state.SkipWithError(kNoMusic);
    std::vector<char> input(16384);
    std::vector<Sample> pcm(4096 * kOutputChannels);
    for (auto _ : state) {
        auto file = Mp3File::open(path);
        Mp3Decoder decoder;
        size_t frames = 0;
        while (const ssize_t n = file.read(input.data(), input.size())) {
            if (n < 0) break;
            decoder.feed(input.data(), static_cast<size_t>(n));
            while (const size_t got = decoder.read(pcm.data(), 4096)) frames += got;
        }
        benchmark::DoNotOptimize(frames);
    }
    Report(state);
}

// The whole player: its decoding thread hands frames to the mixer as fast as it takes them.
void BM_Mp3Player(benchmark::State& state) {
    const std::string& path = EncodedMusic::path(static_cast<int>(state.range(0)));
    if (path.empty()) return state.SkipWithError(kNoMusic);
    std::vector<Sample> pcm(4096 * kOutputChannels);
    for (auto _ : state) {
        Mp3Player player({path}, 1);
        player.start();
        SoundMixer mixer;
        mixer.attach(SoundMixer::Slot::kMusic, player.stream());
        while (mixer.renderWaiting(pcm.data(), 4096) == 4096) {
        }
    }
    Report(state);
}

#ifdef LD_BENCH_MPG123
BENCHMARK(BM_Mp3Baseline)->Arg(44100)->Arg(48000)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(BM_Mp3Decoder)->Arg(44100)->Arg(48000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mp3Player)->Arg(44100)->Arg(48000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
