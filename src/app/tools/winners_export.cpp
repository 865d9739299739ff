#include "app/tools/winners_export.h"

#include "app/common/app_state.h"
#include "app/common/data_files.h"
#include "app/common/job_runner.h"
#include "app/common/winners_log.h"
#include "app/draw/draw_levels.h"
#include "export/export_rows.h"
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

void TellExported(const std::vector<const char*>& failed) {
    if (!failed.empty()) {
        Text names;
        for (const char* name : failed) names += "\r\n" + Gbk(name);
        host().dialogs->showMessage(
            Gbk("以下文件没有导出成功（文件可能正被其他程序打开）：") + names, msg::kIconStop,
            Caption());
        return;
    }
    host().shell->openInShell(ProgramDirectory());
}

}  // namespace

void ExportWinnersCommand() {
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
                      pdf = path("中奖名单.pdf");
    // A printout with hundreds of photos takes seconds: made on a worker while the stage
    // stays alive (the rows are a copy, so a draw meanwhile changes nothing in it).
    StartJob({Caption(), Gbk("正在导出中奖名单，请稍候。")}, [=](const std::atomic<bool>&) {
        std::vector<const char*> failed;
        if (!exporting::WriteWinnersXlsx(xlsx, rows, levels)) failed.push_back("中奖名单.xlsx");
        if (!exporting::WriteWinnersCsv(csv, rows)) failed.push_back("中奖名单.csv");
        if (!exporting::WriteWinnersPdf(pdf, title, rows, levels, photos))
            failed.push_back("中奖名单.pdf");
        return JobDone([failed] { TellExported(failed); });
    });
}

}  // namespace ld::app
