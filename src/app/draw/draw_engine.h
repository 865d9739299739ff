// The draw engine. One trigger (a click on 超级按钮, the space bar on it, or Enter) starts the
// roll of the participants' photos; the next stops it, picks the winner fairly among every
// name of the roll, shows and records them, plays the winner sound and, unless effects are
// disabled, covers the screen with the celebration for four seconds. The caption of 超级按钮
// is the engine's state: "开始抽奖" idle, "停止抽奖" rolling, and disabled for the 200 ms
// after a stop.
#pragma once

#include <cstdint>
#include <memory>

#include "app/draw/fair_pick.h"
#include "media/photo_previews.h"
#include "services/text.h"

namespace ld::app {

// The routines bound to the draw screen's events.
void StartOrStopDraw();   // 超级按钮 clicked, Enter on 标签1_抽奖大标题
void RollTick();          // 时钟_取随机
void RearmStartButton();  // 时钟_开始, 200 ms after a stop

// What the photo box shows for a photo (GBK path) while it rolls: the preview embedded in
// its first 56000 bytes, else the whole file; empty when it cannot be read.
Bytes LoadPhotoPreview(const Text& photoPath);

// The generator of the winners' picks, seeded by the operating system.
FairPicker& WinnerPicker();
void SeedWinnerPickerForTest(uint64_t seed);

// The previews of the rolling photos, made ahead on worker threads (one service per program
// folder, created when first needed, with its cache in ProgramDirectory()/.cache).
PhotoPreviews& RollPreviews();
// Replaces the service, e.g. by one with a single worker that a test can wait for.
void UseRollPreviews(std::unique_ptr<PhotoPreviews> previews);
PhotoPreviewOptions RollPreviewOptions();

}  // namespace ld::app
