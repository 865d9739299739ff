// Generates the demo event: a data folder with everything a real event has, all of it
// drawn or synthesised here.
//   photo/<name>.jpg|.JPG  60 participants, phone-size JPEG portraits with Exif blocks
//   奖品图片/1.jpg … 8.jpg  a prize picture per level
//   底图.jpg               the stage background
//   wav/bjyy.mp3           background music (only when the lame encoder is given)
//   peizhi.a               prize table, demo titles, windowed mode, music on
// Usage: ld_demo_event <output folder> [lame executable]
// The same code makes the same files, so the build only reruns it when the tool changes.
#include <QGuiApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "demo_config.h"
#include "drawings.h"
#include "melody.h"
#include "photos.h"
#include "roster.h"

namespace fs = std::filesystem;
using namespace ld::demo;

namespace {

struct Tally {
    int files = 0;
    uintmax_t bytes = 0;
};

bool Save(const fs::path& path, const std::string& bytes, Tally& tally) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (bytes.empty() || !out) {
        std::cerr << "ld_demo_event: cannot write " << path << "\n";
        return false;
    }
    ++tally.files;
    tally.bytes += bytes.size();
    return true;
}

bool MakePhotos(const fs::path& folder, Tally& tally) {
    for (const Participant& person : Roster()) {
        const QImage upright = DrawPortrait(person);
        if (!Save(folder / "photo" / (person.name + person.extension), PhotoFile(person, upright),
                  tally)) {
            return false;
        }
    }
    return true;
}

bool MakeStagePictures(const fs::path& folder, Tally& tally) {
    for (int level = 1; level <= 8; ++level) {
        if (!Save(folder / "奖品图片" / (std::to_string(level) + ".jpg"),
                  PlainJpegFile(DrawPrize(level), 90), tally)) {
            return false;
        }
    }
    return Save(folder / "底图.jpg", PlainJpegFile(DrawBackground(), 90), tally);
}

// Without lame the demo simply has no music; everything else still works.
bool MakeMusic(const fs::path& folder, const std::string& lame, Tally& tally) {
    if (lame.empty()) {
        std::cout << "ld_demo_event: lame not found, the demo has no background music "
                     "(install lame and rebuild to get it)\n";
        return true;
    }
    Tally scratch;
    const fs::path wave = folder / "wav" / "bjyy.wav", mp3 = folder / "wav" / "bjyy.mp3";
    if (!Save(wave, WaveFile(SynthesiseMelody(), kMelodyRate), scratch)) return false;
    const bool encoded = EncodeMp3(lame, wave.string(), mp3.string());
    fs::remove(wave);
    if (!encoded) {
        std::cerr << "ld_demo_event: " << lame << " could not encode the music\n";
        return false;
    }
    ++tally.files;
    tally.bytes += fs::file_size(mp3);
    return true;
}

// The offscreen platform complains about a missing runtime folder of a desktop session, which
// a build has no use for; everything else Qt says is passed on.
void QuietMessages(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.startsWith(QStringLiteral("QStandardPaths:"))) return;
    std::cerr << "ld_demo_event: " << message.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: ld_demo_event <output folder> [lame executable]\n";
        return 2;
    }
    // Drawing text needs a Gui application; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    QGuiApplication app(argc, argv);
    const auto started = std::chrono::steady_clock::now();
    const fs::path folder = argv[1];
    std::error_code error;
    for (const char* sub : {"photo", "奖品图片", "wav"})
        fs::create_directories(folder / sub, error);

    Tally tally;
    if (!MakePhotos(folder, tally) || !MakeStagePictures(folder, tally) ||
        !MakeMusic(folder, argc == 3 ? argv[2] : "", tally)) {
        return 1;
    }
    if (!WriteDemoConfig(folder.string())) {
        std::cerr << "ld_demo_event: cannot write " << folder / "peizhi.a"
                  << "\n";
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "ld_demo_event: " << tally.files << " files, " << tally.bytes / 1024 / 1024.0
              << " MB in " << seconds << " s, in " << folder.string() << "\n";
    return 0;
}
