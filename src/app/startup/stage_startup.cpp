#include "app/startup/stage_startup.h"

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "app/common/draw_recovery.h"
#include "app/draw/verified_event.h"
#include "app/common/layout.h"
#include "app/common/results_ledger.h"
#include "app/common/winners_log.h"
#include "app/draw/draw_levels.h"
#include "app/draw/level_selection.h"
#include "app/startup/exit_program.h"
#include "app/startup/photo_listing.h"
#include "app/startup/reset_journal.h"
#include "app/tools/operator_desk.h"
#include "media/preview_disk_cache.h"
#include "services/files.h"
#include "services/folder_lock.h"
#include "services/host.h"
#include "services/program.h"
#include "services/temporary_files.h"
#include "ui/gui.h"

namespace ld::app {

namespace {

// The level names as stored: the settings panel is filled later in the start-up.
LevelTexts StoredLevelNames() {
    LevelTexts names;
    for (int level = 1; level <= kLevelCount; ++level)
        names[static_cast<size_t>(level - 1)] = ConfigStore::readText(keys::LevelName(level));
    return names;
}

// A continued draw (resumed or recovered) is brought level with its results: an older
// 进度.txt or record must not make an announced winner drawable again.
Reconciled ReconcileWithResults(const Text& resultsText, Text& poolText,
                                std::array<int32_t, kLevelCount>& savedDrawn) {
    return ReconcileWithLedger(ReadLedger(resultsText, StoredLevelNames()),
                               ConfigStore::readLogical(keys::AllowRepeat()), poolText, savedDrawn);
}

void TellReconciled(const Reconciled& reconciled) {
    if (reconciled.removedFromPool == 0 && !reconciled.countersRaised) return;
    Text text;
    if (reconciled.removedFromPool > 0) {
        text = Gbk("抽奖结果中已有 ") + ToText(static_cast<int64_t>(reconciled.removedFromPool)) +
               Gbk(" 位中奖人仍在奖池中，已从奖池中移除。");
    }
    if (reconciled.countersRaised) {
        if (!text.empty()) text += "\r\n";
        text += Gbk("各奖项的已抽取人数已按抽奖结果更正。");
    }
    host().dialogs->showMessage(text, msg::kIconWarning, Gbk("提示"));
}

// A record that cannot be read whole is of no use, but it is not thrown away unseen.
void SetAsideUnreadableRecord() {
    const std::optional<Text> kept = KeepRecoveryRecordAside();
    const Text where =
        kept ? Gbk("已移到：") + *kept
             : Gbk("也无法移走：") + files::InProgramDirectory(files::RecoveryRecord());
    host().dialogs->showMessage(Gbk("上次的崩溃恢复记录已损坏，无法恢复，") + where,
                                msg::kIconWarning, Gbk("提示"));
}

// The draw after the last recorded stop, when the program did not end cleanly and the
// operator takes it back: written as an exit save would, and the results file completed.
std::optional<RecoveryRecord> OfferRecovery(Reconciled& reconciled) {
    std::optional<RecoveryRecord> record = ReadRecoveryRecord();
    if (!record) {
        SetAsideUnreadableRecord();
        return std::nullopt;
    }
    if (host().dialogs->showMessage(RecoveryQuestion(), msg::kYesNo | msg::kIconQuestion,
                                    Gbk("提示")) != msg::kAnswerYes) {
        DeleteRecoveryRecord();
        return std::nullopt;
    }
    // The results file goes on past the record when the record's last write failed: the
    // recovery never takes a line away from it.
    const Text onDisk = ReadResults();
    if (onDisk.starts_with(record->resultsText)) record->resultsText = onDisk;
    reconciled = ReconcileWithResults(record->resultsText, record->poolText, record->savedDrawn);
    // The results first: once 进度.txt has lost a winner, the results must have him, or a
    // crash here and No to the question next time would lose him from both.
    if (onDisk != record->resultsText)
        ReportResultsWrite(State().results->write(record->resultsText));
    if (std::optional<Text> failed = SaveDrawForResume(record->savedDrawn, record->poolText))
        host().dialogs->showMessage(SaveFailure(*failed), msg::kIconStop, Gbk("保存失败"));
    RecoverWinnersLog(record->winnersLog);
    RestoreFreedPlaces(LevelNames());
    return record;
}

// A saved draw, when the operator resumes it; lines that are no participant are left out.
Reconciled ResumeSavedDraw(DrawState& draw) {
    draw.savedDrawn = ReadCounters();
    int dropped = 0;
    // A progress file edited on another system still gives one participant per line.
    draw.poolText = WithoutInvalidNames(WithCrLfLineEnds(ReadProgress()), dropped);
    draw.resultsText = ReadResults();
    ContinueWinnersLog();
    RestoreFreedPlaces(LevelNames());
    if (dropped > 0) {
        host().dialogs->showMessage(Gbk("进度文件中有 ") + ToText(dropped) + Gbk(" 行无效，已忽略"),
                                    msg::kIconWarning, Gbk("提示"));
    }
    const Reconciled reconciled =
        ReconcileWithResults(draw.resultsText, draw.poolText, draw.savedDrawn);
    // Saved at once, so that the files agree with the results whatever comes next.
    if (reconciled.removedFromPool > 0 || reconciled.countersRaised) {
        if (std::optional<Text> failed = SaveDrawForResume(draw.savedDrawn, draw.poolText))
            host().dialogs->showMessage(SaveFailure(*failed), msg::kIconStop, Gbk("保存失败"));
    }
    return reconciled;
}

// The participants and the results: the recovered draw, or a saved draw when the operator
// resumes it, else the photo folder afresh with empty results. Gives the recovered level.
std::optional<Text> LoadParticipants(PhotoListing& listing) {
    DrawState& draw = State().draw;
    std::optional<Text> recoveredLevel;
    Reconciled reconciled;
    if (RecoveryRecordExists()) {
        if (std::optional<RecoveryRecord> record = OfferRecovery(reconciled)) {
            draw.savedDrawn = record->savedDrawn;
            draw.poolText = std::move(record->poolText);
            draw.resultsText = std::move(record->resultsText);
            recoveredLevel = std::move(record->level);
        }
    }
    bool resume = recoveredLevel ||
                  (ProgressFileExists() &&
                   host().dialogs->showMessage(ResumeQuestion(), msg::kYesNo | msg::kIconQuestion,
                                               Gbk("提示")) == msg::kAnswerYes);
    if (resume) {
        if (!recoveredLevel) reconciled = ResumeSavedDraw(draw);
        StageControl("结果").setTextValue(draw.resultsText);
    } else {
        draw.poolText = listing.takePool();
    }
    StageControl("编辑框_判断有无照片").setTextValue(draw.poolText);
    TellReconciled(reconciled);
    // A verified event goes on with the draw it belongs to, and ends with a fresh start.
    ContinueVerifiedEvent(resume, recoveredLevel.has_value(), draw.resultsText);
    return recoveredLevel;
}

// The level that was selected at the last recorded stop, with its progress.
void ShowRecoveredLevel(const Text& level) {
    if (!LevelOf(level, LevelNames())) return;
    StageControl("组合框1").setTextValue(level);
    ShowSelectedLevel();
}

// cjini.txt, by its bare name, overrides the main title; it is opened for reading and
// writing, so a read-only file is left alone.
void ApplyTitleFile() {
    int32_t handle = OpenFile(files::TitleOverride(), 3);
    if (handle == 0) return;
    Control& title = StageControl("透明标签_主标题");
    bool empty = FileLength(handle) == 0;
    title.setTextValue(empty ? TitlePlaceholder() : ReadTextFromFile(handle));
    CloseFile(handle);
    if (empty) host().dialogs->showMessage(Gbk("请写入公司名称"), msg::kOk, Gbk("信息："));
}

void SetHiddenLabelFontSize() {
    Control& label = StageControl("标签1_抽奖大标题");
    FontValue font = label.getFont(prop::kLabelFont);
    font.points = 20;
    font.pixels = 0;
    label.set(prop::kLabelFont, font);
}

// A crash or power cut in the middle of an atomic write leaves its temporary file behind;
// nothing can finish it, and it must never be taken for a real file.
void RemoveLeftoversOfInterruptedWrites() {
    RemoveStaleTemporaryFiles(ProgramDirectory(), IsAtomicWriteTemporary);
    RemoveStaleTemporaryFiles(files::InProgramDirectory(files::PreviewCacheFolder()),
                              PreviewDiskCache::IsTemporaryName);
}

}  // namespace

Text ResumeQuestion() {
    return Gbk(
        "    是否继续上次抽奖?\r\n\r\n    选 【是】 为继续上一次保存的抽奖进度\r\n\r\n    选 "
        "【否】 "
        "为完全重新开始抽奖");
}

Text RecoveryQuestion() { return Gbk("程序上次没有正常退出。是否恢复到最后一次抽奖后的状态？"); }

Text AlreadyRunningNotice() {
    return Gbk("抽奖程序已经在这个文件夹中运行，不能再打开一个。\r\n请切换到已经打开的抽奖窗口。");
}

Text TitlePlaceholder() { return Gbk("请在这里写入公司名称"); }

void StartUpStage() {
    using namespace startup;
    if (TakeFolderLock(files::InProgramDirectory(files::FolderLock())) ==
        FolderLock::HeldByAnother) {
        host().dialogs->showMessage(AlreadyRunningNotice(), msg::kIconWarning, Gbk("提示"));
        host().shell->exitProgram(0);
    }
    FinishInterruptedReset();
    RemoveLeftoversOfInterruptedWrites();
    FinishInterruptedSave();
    SetUpStageScreen();
    // The start button's rounded corners (30 x 30) are the host's: it masks every SuperBtn.
    ApplySwitches();
    // The search stays open until start-up ends, as the resume question comes between its
    // first name and the rest.
    PhotoListing listing;
    const std::optional<Text> recoveredLevel = LoadParticipants(listing);
    WriteStartupCopy(State().draw.poolText);
    SetHiddenLabelFontSize();
    if (hasGui()) gui().setFlatControlStyle(1);
    ApplyStoredFonts();
    ApplyPictureSizes();
    State().draw.nextOrdinal = 1;
    LoadPrizeTable();
    LoadDesignatedWinners();
    MarkPrizePictures();
    LoadBackground();
    ApplyRepeatSwitch();
    FramePrizeBox(Framing::Move);
    FillLevelSelector();
    MatchLevel();
    SetFileAttribute(ConfigStore::path(), 2);
    LayOutDefault();
    ApplyTitles();
    ApplySavedPositions();
    RepairBottomRow();
    RepairLeftEdge();
    // The layout and the saved positions moved the prize box after it was framed; the
    // frame follows it so that the bars do not stand apart from the picture.
    FramePrizeBox(Framing::Move);
    ApplyWindowMode();
    FitTitleHeights();
    ApplyButtonHeight();
    ApplyTitleFile();
    if (recoveredLevel) ShowRecoveredLevel(*recoveredLevel);
    ShowVerifiedBand();
    listing.end();
    SetUpDesk();
}

}  // namespace ld::app
