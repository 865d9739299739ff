// The steps of the draw engine, shared between its files (draw_engine.cpp runs the checks
// and chooses; roll.cpp starts and rolls; draw_stop.cpp stops, designates and records;
// celebration.cpp celebrates).
#pragma once

#include "app/draw/draw_levels.h"

namespace ld::app {

// Start: the roll timer runs, music plays if enabled, designated winners leave the pool
// unless repeats are allowed, the roll list is rebuilt. Refused with the no-photos message
// when that would leave nobody to roll.
void StartRoll();
// Stop, designation and recording of one winner, then the celebration.
void StopRoll(const DesignatedWinners& designated);
// The stop of a batch: `tiles` distinct winners picked at once, shown as a grid, recorded in
// tile order, then one celebration.
void StopBatch(const DesignatedWinners& designated, int tiles);
// The celebration window for four seconds, with the interface kept alive meanwhile.
void Celebrate();

// The captions of 超级按钮 that tell the engine's state.
Text StartCaption();  // 开始抽奖: idle
Text StopCaption();   // 停止抽奖: rolling, or the pause after a stop

// "信息提示：" … "2、可能是PHOTO文件夹下没有照片", style 16, caption "提示".
void ShowNoPhotosMessage();

// The roll timer's period from 编辑框_滚动速度 (0: the photos do not roll).
void SetRollInterval();
void StopRollTimer();

// The photo of a name: its whole file, and its preview as a tick shows it. Both empty for
// a name outside the photo folder or a missing file.
Bytes WholePhotoOf(const Text& name);
Bytes PreviewOf(const Text& name);

}  // namespace ld::app
