#include "app/startup/reset.h"

#include <ctime>
#include <optional>
#include <utility>
#include <vector>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "app/common/job_runner.h"
#include "app/common/winners_log.h"
#include "app/draw/verified_event.h"
#include "app/startup/reset_checkins.h"
#include "app/startup/reset_journal.h"
#include "app/tools/checkin_link.h"
#include "services/files.h"
#include "services/folder_lock.h"
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
// empty file has nothing to keep; one that cannot be read cannot be kept. Gives the copy's
// path (empty when there was nothing to copy), or nullopt when the copy failed.
std::optional<Text> KeepResults() {
    std::optional<Bytes> results = TryReadWholeFile(InFolder(files::Results()));
    if (!results) return std::nullopt;
    if (results->empty()) return Text();
    CreateFolder(InFolder(files::HistoryFolder()));  // may exist already
    Text copy = FreeHistoryPath(ResultsFile::LocalTime());
    if (!CopyFileTo(InFolder(files::Results()), copy)) return std::nullopt;
    return copy;
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
        // Printed check-in codes carry the token and the port: a rehearsal followed by a
        // reset must not break them.
        for (const char* key : CheckinKeys()) {
            const Text absent = "\x01";
            const Text value = ReadConfigText(ConfigStore::path(), "qiandao", Gbk(key), absent);
            if (written && value != absent)
                written = WriteConfigText(scratch, "qiandao", Gbk(key), value);
        }
        if (written) bytes = TryReadWholeFile(scratch);
    }
    DeleteFileAt(scratch);
    return bytes;
}

// The reset changes several files, and it is all or nothing: each change is recorded here
// and undone in reverse order when a later one fails. Files to be erased are first moved
// aside under a hidden name (a rename is atomic and can be undone) and deleted only when
// everything else has been done; their contents are kept until then, so that even a
// failed deletion can be undone.
class ResetSteps {
public:
    bool keepResults() { return keep(KeepResults()); }
    bool keepWinnersLog() { return keep(KeepWinnersLogInHistory()); }
    bool moveAside(const Text& name) {
        Text path = InFolder(name);
        if (!FileExists(path)) return true;
        Aside aside{path, InFolder(SetAsideName(name)), {}, false};
        DeleteFileAt(aside.hidden);  // a leftover of an earlier reset would block the move
        std::optional<Bytes> content = TryReadWholeFile(path);
        if (!content || !MoveFileTo(path, aside.hidden)) return false;
        aside.content = std::move(*content);
        asides_.push_back(std::move(aside));
        return true;
    }
    bool moveBackground() {
        const Text from = InFolder(files::Background()), to = InFolder(files::BackgroundBackup());
        if (!FileExists(from)) return true;
        if (!MoveFileTo(from, to)) return false;
        backgroundMoved_ = true;
        return true;
    }
    // Into a folder of their own in history/, each undone by moving it back.
    bool moveToHistory(const std::vector<Text>& paths) {
        CreateFolder(InFolder(files::HistoryFolder()));  // may exist already
        const Text folder = FreeHistoryPath(ResultsFile::LocalTime(), Gbk("签到-"), "");
        if (!CreateFolder(folder)) return false;
        for (const Text& path : paths) {
            const Text to = folder + path.substr(path.rfind('/'));
            if (!MoveFileTo(path, to)) return false;
            moved_.emplace_back(path, to);
        }
        return true;
    }
    bool replaceConfig(const Bytes& config) {
        std::optional<Bytes> old = TryReadWholeFile(ConfigStore::path());
        if (!old || !WriteWholeFile(ConfigStore::path(), config)) return false;
        oldConfig_ = std::move(*old);
        return true;
    }
    bool eraseAsides() {
        for (Aside& aside : asides_) {
            if (!DeleteFileAt(aside.hidden)) return false;
            aside.deleted = true;
        }
        return true;
    }
    bool commit(const Bytes& config) {
        ResetJournal journal{FileExists(InFolder(files::Background())), config};
        committed_ = WriteResetJournal(journal);
        return committed_;
    }
    void undo() {
        if (oldConfig_) WriteWholeFile(ConfigStore::path(), *oldConfig_);
        if (backgroundMoved_)
            MoveFileTo(InFolder(files::BackgroundBackup()), InFolder(files::Background()));
        for (auto it = moved_.rbegin(); it != moved_.rend(); ++it) MoveFileTo(it->second, it->first);
        for (auto it = asides_.rbegin(); it != asides_.rend(); ++it) {
            if (it->deleted) {
                WriteWholeFile(it->original, it->content);
            } else {
                MoveFileTo(it->hidden, it->original);
            }
        }
        for (const Text& copy : historyCopies_) DeleteFileAt(copy);
        // Last: until it is gone, a crash here is finished at the next start.
        if (committed_) DeleteResetJournal();
    }

private:
    bool keep(const std::optional<Text>& copy) {
        if (copy && !copy->empty()) historyCopies_.push_back(*copy);
        return copy.has_value();
    }

    struct Aside {
        Text original, hidden;
        Bytes content;
        bool deleted;
    };
    std::vector<Text> historyCopies_;
    std::vector<Aside> asides_;
    std::vector<std::pair<Text, Text>> moved_;  // from, to
    bool backgroundMoved_ = false;
    bool committed_ = false;
    std::optional<Bytes> oldConfig_;
};

void Restart() {
    SettleJobBeforeExit();  // no name card or export half made when the new instance starts
    CloseCheckin();         // the new instance needs the port
    host().dialogs->showMessage(ResetDoneNotice(), msg::kOk, Gbk("信息："));
    Text program = ProgramDirectory() + "/" + ProgramFileName();
    ReleaseFolderLock();  // the successor takes it
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
    const EventCheckins checkins = FindEventCheckins();
    bool removeCheckins = false;
    if (checkins.people > 0) {
        const int answer = host().dialogs->showMessage(RemoveCheckinsQuestion(checkins.people),
                                                       msg::kYesNoCancel | msg::kIconQuestion,
                                                       Gbk("确定初始化？"));
        if (answer != msg::kAnswerYes && answer != msg::kAnswerNo) return;
        removeCheckins = answer == msg::kAnswerYes;
    }
    // A verified event ends with its secret revealed, and its files go to history/ with the
    // results they name, before the reset moves those away.
    if (!EndVerifiedEvent())
        return TellFailure(Gbk("公证记录写入失败，密钥未能公布，初始化已取消。"));
    if (VerifiedFilesPresent() && !ArchiveVerifiedFiles())
        return TellFailure(Gbk("无法把公证记录移到 history 文件夹，初始化已取消。"));
    // No phone may write into the files as they move.
    if (removeCheckins) CloseCheckin();
    ResetSteps steps;
    if (!steps.keepResults() || !steps.keepWinnersLog()) {
        steps.undo();
        return TellFailure(BackupFailure());
    }
    // Built before anything changes: most often the step that cannot be done.
    std::optional<Bytes> config = BuildNewConfig();
    // The progress must really be gone when the program starts again, or it would offer to
    // resume a draw whose counters were erased; the recovery record too, or it would offer
    // the rehearsal back.
    bool done = config && steps.commit(*config);
    for (const Text& name : ErasedByReset()) done = done && steps.moveAside(name);
    done = done && steps.moveBackground();
    if (done && removeCheckins && !steps.moveToHistory(checkins.files)) {
        steps.undo();
        return TellFailure(Gbk("无法把签到的照片移到 history 文件夹，初始化已取消。"));
    }
    if (!config || (done && !steps.replaceConfig(*config))) {
        steps.undo();
        return TellFailure(Gbk("无法写入新的配置文件，初始化已取消：\r\n") + ConfigStore::path());
    }
    if (!done || !steps.eraseAsides()) {
        steps.undo();
        return TellFailure(Gbk("无法移动或删除抽奖进度、抽奖结果或背景图，初始化已取消。"));
    }
    // A journal left behind only finishes this reset once more at the next start.
    DeleteResetJournal();
    Restart();
}

}  // namespace ld::app
