// The UI-thread cost of one roll tick of a batch draw with the real widgets: the grid of 50
// tiles on a 1920 x 1080 stage (area 1900 x 800) is handed 50 new ready previews (160 x 120
// JPEGs, the size cameras embed) and painted at once, against the single photo box given
// one ready preview and painted, in the same run. The previews come from a set of 400
// distinct ones, picked at random, so no cache can hide the decoding.
// Each case: p50 and p99 over the ticks; the grid's figures also as a ratio to the box's.
// The workload and the report are shared; each host says how it paints.
#pragma once

#include "services/text.h"
#include "stage_model.h"
#include "ui/batch_layout.h"
#include "ui/gui.h"

namespace ld::bench {

// A 1920 x 1080 stage with the photo box alone, realised and on screen.
class BatchTickStage {
public:
    virtual ~BatchTickStage() = default;
    // The single box's tick after it has its bytes: set the picture and paint the box now.
    virtual void showInBox(Bytes picture) = 0;
    // The grid's tick: hand the stage the tiles and paint what that invalidated, as the
    // event loop would right after it.
    virtual void showGrid(const BatchGridView& view) = 0;
    // The host's events handled, as between two timer ticks.
    virtual void pump() = 0;
    // The box's centre, and the centre of the grid's first photo cell, show a picture.
    virtual bool boxShowsPicture() = 0;
    virtual bool gridShowsPicture() = 0;
    virtual const BatchLayout& gridLayout() = 0;
};

// Runs both cases, prints the report; 1 when a tick showed no picture.
int RunBatchTick(BatchTickStage& stage, int ticks);

}  // namespace ld::bench
