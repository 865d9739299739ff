#include "app/startup/reset.h"

#include <ctime>
#include <optional>
#include <utility>
#include <vector>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "services/files.h"
#include "services/host.h"
#include "services/profile.h"
#include "services/program.h"

namespace ld::app {

namespace {

Text InFolder(const Text& relative) { return files::InProgramDirectory(relative); }

void TellFailure(const Text& text) {
    host().dialogs->showMessage(text, msg::kIconStop, Gbk("初始化失败"));
}

// The results of the event are copied to history/ before anything is erased. A missing or
// empty file has nothing to keep; one that cannot be read cannot be kept.
bool KeepResults() {
    std::optional<Bytes> results = TryReadWholeFile(InFolder(files::Results()));
    if (!results) return false;
    if (results->empty()) return true;
    CreateFolder(InFolder(files::HistoryFolder()));  // may exist already
    return CopyFileTo(InFolder(files::Results()), FreeHistoryPath(ResultsFile::LocalTime()));
}

// What survives the reset, from the live controls, in the order it is written.
std::vector<std::pair<const ConfigKey*, Text>> SurvivingKeys() {
    std::vector<std::pair<const ConfigKey*, Text>> surviving;
    auto field = [](const char* stem, int level, const char* tail = "") {
        return Stage().control(Gbk(stem) + ToText(level) + Gbk(tail)).text();
    };
    for (int level = 1; level <= kLevelCount; ++level)
        surviving.emplace_back(&keys::LevelCount(level), field("编辑框_奖项人数", level));
    surviving.emplace_back(&keys::Subtitle(), StageControl("透明标签_副标题").text());
    surviving.emplace_back(&keys::MainTitle(), StageControl("透明标签_主标题").text());
    for (int level = 1; level <= kLevelCount; ++level)
        surviving.emplace_back(&keys::LevelName(level), field("编辑框_奖项", level));
    for (int level = 1; level <= kLevelCount; ++level)
        surviving.emplace_back(&keys::LevelPictureMarker(level),
                               field("编辑框_奖项", level, "图片"));
    return surviving;
}

// The new peizhi.a, built key by key in a file of its own through the same INI layer, so
// that the old one is replaced only by a complete new one. Its bytes, or nothing when any
// key could not be written.
std::optional<Bytes> BuildNewConfig() {
    const Text scratch = ConfigStore::path() + ".new";
    DeleteFileAt(scratch);  // a leftover would lend the new file its keys
    std::optional<Bytes> bytes;
    if (!FileExists(scratch)) {
        bool written = true;
        for (const auto& [key, value] : SurvivingKeys()) {
            written = WriteConfigText(scratch, SectionName(key->section), key->name, value);
            if (!written) break;
        }
        if (written) bytes = TryReadWholeFile(scratch);
    }
    DeleteFileAt(scratch);
    return bytes;
}

// Progress and results must really be gone: the new start would otherwise offer to resume
// a draw whose counters were erased. Returns the path of a file that stayed.
std::optional<Text> EraseDraw() {
    for (const Text& name : {files::Progress(), files::Results()}) {
        Text path = InFolder(name);
        DeleteFileAt(path);  // a missing file is no error
        if (FileExists(path)) return path;
    }
    return std::nullopt;
}

void Restart() {
    host().dialogs->showMessage(ResetDoneNotice(), msg::kOk, Gbk("信息："));
    Text program = ProgramDirectory() + "/" + ProgramFileName();
    // Quoted: the command line is split at spaces, and the folder may hold some.
    if (!host().shell->runProgram("\"" + program + "\"", false, 2)) {
        host().dialogs->showMessage(Gbk("抽奖系统无法自动重新启动，请手动启动：\r\n") + program,
                                    msg::kIconWarning, Gbk("请手动启动"));
    }
    host().shell->exitProgram(0);
}

}  // namespace

Text ResetQuestion() {
    return Gbk("初始化以后界面布局及背景图将需要重新设置(同时抽奖进度被清除，将重新开始抽奖)！");
}

Text ResetDoneNotice() { return Gbk("初始化完毕，抽奖系统将重新启动！"); }

Text BackupFailure() { return Gbk("无法备份抽奖结果，初始化已取消！"); }

void RunReset() {
    if (host().dialogs->showMessage(ResetQuestion(), msg::kOkCancel, Gbk("确定初始化？")) !=
        msg::kAnswerOk)
        return;
    if (!KeepResults()) return TellFailure(BackupFailure());
    // The configuration is replaced before anything is deleted: it is the step that can
    // fail (a read-only peizhi.a, a full disk), and then nothing has changed yet.
    std::optional<Bytes> config = BuildNewConfig();
    if (!config || !WriteWholeFile(ConfigStore::path(), *config)) {
        return TellFailure(Gbk("无法写入新的配置文件，初始化已取消：\r\n") + ConfigStore::path());
    }
    if (std::optional<Text> stayed = EraseDraw())
        return TellFailure(Gbk("无法删除文件，初始化未完成：\r\n") + *stayed);
    DeleteFileAt(InFolder(files::BackgroundBackup()));
    MoveFileTo(InFolder(files::Background()), InFolder(files::BackgroundBackup()));
    Restart();
}

}  // namespace ld::app
