#include "melody.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>

extern char** environ;

namespace ld::demo {

namespace {

struct Note {
    int midi;  // 0: a rest
    double beats;
};

// Four bars of a pentatonic tune in C, and the bass under it (two notes a bar).
const Note kTune[] = {
    {67, 0.5}, {69, 0.5}, {72, 1},   {72, 0.5}, {74, 0.5}, {76, 1},   // bar 1
    {74, 0.5}, {72, 0.5}, {69, 0.5}, {72, 0.5}, {67, 2},              // bar 2
    {76, 0.5}, {79, 0.5}, {81, 1},   {79, 0.5}, {76, 0.5}, {74, 1},   // bar 3
    {72, 0.5}, {74, 0.5}, {76, 0.5}, {74, 0.5}, {72, 1.5}, {0, 0.5},  // bar 4
};
const Note kBass[] = {{48, 2}, {55, 2}, {45, 2}, {52, 2}, {41, 2}, {48, 2}, {43, 2}, {48, 2}};

constexpr double kBeatSeconds = 0.42;
constexpr double kPi = 3.14159265358979323846;

double Frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A plucked tone: a few harmonics under a quick attack and an exponential fade.
void AddTone(std::vector<double>& mix, double start, double seconds, int midi, double level,
             double fade) {
    if (midi == 0) return;
    const double f = Frequency(midi);
    const size_t from = static_cast<size_t>(start * kMelodyRate);
    const size_t count = static_cast<size_t>((seconds + 0.25) * kMelodyRate);
    for (size_t i = 0; i < count && from + i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kMelodyRate;
        const double attack = std::min(1.0, t / 0.008);
        const double envelope = attack * std::exp(-t * fade);
        const double wave = std::sin(2 * kPi * f * t) + 0.45 * std::sin(4 * kPi * f * t) +
                            0.2 * std::sin(6 * kPi * f * t);
        mix[from + i] += level * envelope * wave;
    }
}

double Lay(std::vector<double>& mix, const Note* notes, size_t count, double start, double level,
           double fade) {
    double at = start;
    for (size_t i = 0; i < count; ++i) {
        AddTone(mix, at, notes[i].beats * kBeatSeconds, notes[i].midi, level, fade);
        at += notes[i].beats * kBeatSeconds;
    }
    return at;
}

void PutLittle(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

}  // namespace

std::vector<int16_t> SynthesiseMelody() {
    const double tuneSeconds = 16 * kBeatSeconds;
    std::vector<double> mix(static_cast<size_t>((2 * tuneSeconds + 0.5) * kMelodyRate), 0.0);
    for (int round = 0; round < 2; ++round) {
        const double start = round * tuneSeconds;
        Lay(mix, kTune, std::size(kTune), start, 0.5, 3.5);
        Lay(mix, kBass, std::size(kBass), start, 0.35, 1.6);
    }
    double peak = 1e-9;
    for (double v : mix) peak = std::max(peak, std::abs(v));
    std::vector<int16_t> samples(mix.size());
    for (size_t i = 0; i < mix.size(); ++i) {
        samples[i] = static_cast<int16_t>(std::lround(mix[i] / peak * 0.7 * 32767));
    }
    return samples;
}

std::string WaveFile(const std::vector<int16_t>& samples, int rate) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    PutLittle(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLittle(out, 16, 4);
    PutLittle(out, 1, 2);  // PCM
    PutLittle(out, 1, 2);  // mono
    PutLittle(out, static_cast<uint32_t>(rate), 4);
    PutLittle(out, static_cast<uint32_t>(rate * 2), 4);
    PutLittle(out, 2, 2);
    PutLittle(out, 16, 2);
    out += "data";
    PutLittle(out, dataBytes, 4);
    for (int16_t s : samples) PutLittle(out, static_cast<uint16_t>(s), 2);
    return out;
}

bool EncodeMp3(const std::string& lame, const std::string& wavePath, const std::string& mp3Path) {
    std::vector<std::string> args = {lame, "--quiet", "-m", "m", "-b", "96", wavePath, mp3Path};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, lame.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace ld::demo
