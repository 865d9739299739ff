#include "app/tools/winners_export.h"

#include "app/common/app_state.h"
#include "app/common/data_files.h"
#include "app/common/job_runner.h"
#include "app/common/winners_log.h"
#include "app/draw/draw_levels.h"
#include "app/tools/verified_draw.h"
#include "export/export_rows.h"
#include "export/verified_note.h"
#include "export/winners_csv.h"
#include "export/winners_file.h"
#include "export/winners_pdf.h"
#include "export/winners_xlsx.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/host.h"
#include "services/program.h"

namespace ld::app {

namespace {

Text Caption() { return Gbk("导出中奖名单"); }

// The last only after a verified draw.
constexpr const char* kFiles[] = {"中奖名单.xlsx", "中奖名单.csv", "中奖名单.pdf", "公证信息.txt"};

Text FileList(const std::vector<bool>& made, bool which) {
    Text list;
    for (size_t i = 0; i < made.size(); ++i)
        if (made[i] == which) list += "\r\n" + Gbk(kFiles[i]);
    return list;
}

// Where the files are and which of them were made; the folder opens only when asked for (the
// stage may be on the projector).
void TellExported(const std::vector<bool>& made) {
    const Text madeList = FileList(made, true), failed = FileList(made, false);
    const Text done =
        Gbk("中奖名单已导出到文件夹：\r\n") + ProgramDirectoryShown() + "\r\n" + madeList;
    if (failed.empty()) {
        if (host().dialogs->showMessage(done + Gbk("\r\n\r\n现在打开这个文件夹吗？"),
                                        msg::kYesNo | msg::kIconInfo, Caption()) == msg::kAnswerYes)
            host().shell->openInShell(ProgramDirectory());
        return;
    }
    host().dialogs->showMessage((madeList.empty() ? Text() : done + "\r\n\r\n") +
                                    Gbk("以下文件没有导出成功（文件可能正被其他程序打开）：") +
                                    failed,
                                msg::kIconStop, Caption());
}

// On the worker: the file being made and, in the PDF, the winner it is at. The photos make
// the time, so the bar follows the PDF's cards.
void Report(const char* file, int done = 0, int count = 0) {
    Text text = Gbk("正在导出 ") + Gbk(file);
    if (count > 0) text += Gbk("：第 ") + ToText(done) + " / " + ToText(count) + Gbk(" 位中奖人");
    ReportJobProgress(text, count > 0 ? done * 100 / count : 0);
}

}  // namespace

void ExportWinnersCommand() {
    if (JobBusy(Caption())) return;  // a second click while the files are being made
    // What this run keeps is the newest; the file serves a run that has drawn nobody yet.
    const Bytes log =
        State().winnersLog.text
            ? *State().winnersLog.text
            : TryReadWholeFile(files::InProgramDirectory(WinnersLogName())).value_or(Bytes());
    const std::vector<exporting::WinnerRecord> rows =
        exporting::ExportRows(exporting::ParseWinnersFile(log));
    if (rows.empty()) {
        host().dialogs->showMessage(Gbk("还没有中奖记录，没有可以导出的内容。"), msg::kOk,
                                    Caption());
        return;
    }
    std::vector<std::string> levels;
    for (const Text& name : LevelNames())
        if (!name.empty()) levels.push_back(GbkToUtf8(name));
    const std::string title = GbkToUtf8(StageControl("透明标签_主标题").text());
    const std::string photos = ResolveExistingPath(files::InProgramDirectory(files::PhotoFolder()));
    auto path = [](const char* name) {
        return ResolveExistingPath(files::InProgramDirectory(Gbk(name)));
    };
    const std::string xlsx = path("中奖名单.xlsx"), csv = path("中奖名单.csv"),
                      pdf = path("中奖名单.pdf"), note = path("公证信息.txt");
    const std::vector<std::string> verified = VerifiedExportLines();
    // An earlier event's note must not pass for these winners'.
    if (verified.empty()) DeleteFileAt(files::InProgramDirectory(Gbk("公证信息.txt")));
    // A printout with hundreds of photos takes seconds: made on a worker while the stage
    // stays alive (the rows are a copy, so a draw meanwhile changes nothing in it).
    StartJob({Caption(), Gbk("正在导出中奖名单，请稍候。")}, [=](const std::atomic<bool>&) {
        std::vector<bool> made(verified.empty() ? 3 : 4);
        Report(kFiles[0]);
        made[0] = exporting::WriteWinnersXlsx(xlsx, rows, levels, verified);
        Report(kFiles[1]);
        made[1] = exporting::WriteWinnersCsv(csv, rows);
        Report(kFiles[2]);
        int shown = 0;
        made[2] = exporting::WriteWinnersPdf(
            pdf, title, rows, levels, photos,
            [&](int done, int count) {
                // A report per step of the bar is enough.
                if (done * 100 / count == shown) return;
                shown = done * 100 / count;
                Report(kFiles[2], done, count);
            },
            verified);
        if (!verified.empty()) {
            Report(kFiles[3]);
            made[3] = exporting::WriteVerifiedNote(note, verified);
        }
        return JobDone([made] { TellExported(made); });
    });
}

}  // namespace ld::app
