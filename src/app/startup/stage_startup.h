// Start-up of the draw screen: the one place where the stored settings of peizhi.a are
// pushed into the controls, the participants are listed (or a saved draw resumed) and the
// screen is laid out. It runs once, in the draw screen's created event. Later steps
// overwrite what earlier ones set, so the order of the steps is part of the behaviour.
#pragma once

#include "services/text.h"

namespace ld::app {

// The created event of the draw screen.
void StartUpStage();

// The groups of steps, in the order StartUpStage runs them.
namespace startup {

// startup_settings.cpp: check boxes, menu marks, fonts, sizes, prize table, designated
// winners, picture markers, background.
void ApplySwitches();
void ApplyStoredFonts();
void ApplyPictureSizes();
void LoadPrizeTable();
void LoadDesignatedWinners();
void MarkPrizePictures();
void LoadBackground();
void ApplyRepeatSwitch();

// startup_layout.cpp: the selector and the prize area, the layout, the window mode.
void FillLevelSelector();
void MatchLevel();
void LayOutDefault();
void ApplyTitles();
void ApplySavedPositions();
void RepairBottomRow();
void RepairLeftEdge();
void ApplyWindowMode();
void FitTitleHeights();
void ApplyButtonHeight();

}  // namespace startup

// The resume question and the main-title placeholder (GBK).
Text ResumeQuestion();
Text RecoveryQuestion();  // 程序上次没有正常退出。是否恢复到最后一次抽奖后的状态？
Text TitlePlaceholder();      // 请在这里写入公司名称
Text AlreadyRunningNotice();  // a second program in the same folder

}  // namespace ld::app
