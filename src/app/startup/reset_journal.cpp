#include "app/startup/reset_journal.h"

#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/record_fields.h"
#include "services/files.h"
#include "services/host.h"
#include "services/program.h"

namespace ld::app {

namespace {

constexpr std::string_view kHeader = "luckydraw reset 1\n";

Text InFolder(const Text& relative) { return files::InProgramDirectory(relative); }
Text JournalPath() { return InFolder(files::ResetJournal()); }

bool Gone(const Text& path) {
    DeleteFileAt(path);  // a missing file is no error
    return !FileExists(path);
}

std::optional<ResetJournal> Decode(std::string_view bytes) {
    FieldReader in(bytes);
    if (!in.header(kHeader)) return std::nullopt;
    auto background = in.text("background");
    auto config = in.text("config");
    if (!background || !config || !in.atEnd()) return std::nullopt;
    return ResetJournal{*background == "1", std::move(*config)};
}

// The background becomes the backup, which replaces the old backup; done in that order, so
// a backup with no background beside it is the new one when the journal says there was one.
bool FinishBackground(bool hadBackground) {
    const Text background = InFolder(files::Background());
    const Text backup = InFolder(files::BackgroundBackup());
    bool done = Gone(InFolder(SetAsideName(files::BackgroundBackup())));
    if (!hadBackground) return Gone(backup) && done;
    if (!FileExists(background)) return done;  // moved already
    return Gone(backup) && MoveFileTo(background, backup) && done;
}

// An uncommitted reset changed nothing but set files aside: they go back.
void PutBackSetAside() {
    for (const Text& name : ErasedByReset()) {
        const Text aside = InFolder(SetAsideName(name));
        if (FileExists(aside) && !FileExists(InFolder(name))) MoveFileTo(aside, InFolder(name));
    }
}

}  // namespace

const std::vector<Text>& ErasedByReset() {
    static const std::vector<Text> names = {files::Progress(),    files::Results(),
                                            Gbk("中奖记录.csv"),  files::RecoveryRecord(),
                                            files::SaveJournal(), files::BackgroundBackup()};
    return names;
}

Text SetAsideName(const Text& name) { return ".ld-reset-" + name; }

bool WriteResetJournal(const ResetJournal& journal) {
    Bytes out(kHeader);
    PutText(out, "background", journal.hadBackground ? "1" : "0");
    PutText(out, "config", journal.newConfig);
    return WriteWholeFile(JournalPath(), out);
}

bool DeleteResetJournal() { return Gone(JournalPath()); }

void FinishInterruptedReset() {
    Gone(ConfigStore::path() + ".new");  // the reset's scratch file
    const std::optional<Bytes> bytes = TryReadWholeFile(JournalPath());
    const std::optional<ResetJournal> journal = bytes ? Decode(*bytes) : std::nullopt;
    if (!journal) {
        if (bytes) Gone(JournalPath());  // not whole: never committed
        return PutBackSetAside();
    }
    bool done = true;
    for (const Text& name : ErasedByReset()) {
        if (name == files::BackgroundBackup()) continue;
        done = Gone(InFolder(name)) && Gone(InFolder(SetAsideName(name))) && done;
    }
    done = done && FinishBackground(journal->hadBackground) &&
           WriteWholeFile(ConfigStore::path(), journal->newConfig) && DeleteResetJournal();
    if (done) {
        host().dialogs->showMessage(Gbk("上次的软件初始化被中断，已在本次启动时完成。"),
                                    msg::kIconInfo, Gbk("信息："));
        return;
    }
    host().dialogs->showMessage(
        Gbk("上次的软件初始化被中断，本次启动也无法完成它，请检查磁盘后再启动：\r\n") +
            ProgramDirectory(),
        msg::kIconStop, Gbk("初始化失败"));
    host().shell->exitProgram(1);
}

}  // namespace ld::app
