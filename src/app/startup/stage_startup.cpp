#include "app/startup/stage_startup.h"

#include "app/common/app_state.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "app/common/layout.h"
#include "app/startup/photo_listing.h"
#include "media/preview_disk_cache.h"
#include "services/files.h"
#include "services/host.h"
#include "services/program.h"
#include "services/temporary_files.h"
#include "ui/gui.h"

namespace ld::app {

namespace {

// The participants and the results: a saved draw when the operator resumes it, else the
// photo folder afresh with empty results.
void LoadParticipants(PhotoListing& listing) {
    DrawState& draw = State().draw;
    bool resume = ProgressFileExists() &&
                  host().dialogs->showMessage(ResumeQuestion(), msg::kYesNo | msg::kIconQuestion,
                                              Gbk("提示")) == msg::kAnswerYes;
    if (resume) {
        draw.savedDrawn = ReadCounters();
        // A progress file edited on another system still gives one participant per line.
        draw.poolText = WithCrLfLineEnds(ReadProgress());
        draw.resultsText = ReadResults();
        StageControl("结果").setTextValue(draw.resultsText);
    } else {
        draw.poolText = listing.takePool();
    }
    StageControl("编辑框_判断有无照片").setTextValue(draw.poolText);
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

Text TitlePlaceholder() { return Gbk("请在这里写入公司名称"); }

void StartUpStage() {
    using namespace startup;
    RemoveLeftoversOfInterruptedWrites();
    // The start button's rounded corners (30 x 30) are the host's: it masks every SuperBtn.
    ApplySwitches();
    // The search stays open until start-up ends, as the resume question comes between its
    // first name and the rest.
    PhotoListing listing;
    LoadParticipants(listing);
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
    listing.end();
}

}  // namespace ld::app
