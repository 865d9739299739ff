// The demo event's pictures, drawn with QPainter: participants' portraits, the prize
// pictures and the stage background. Everything is made from code, so every build draws
// the same pictures and nothing is taken from elsewhere.
#pragma once

#include <QImage>
#include <QString>

#include "roster.h"

namespace ld::demo {

// The CJK face the pictures' texts are written in.
QString TextFace();

// An upright portrait of kPhotoWidth x kPhotoHeight: background, shoulders, head and the
// name on a white plate.
QImage DrawPortrait(const Participant& participant);

// The prize picture of a level (1 … 8): a gift box in the level's colours with the level's
// name and its prize.
QImage DrawPrize(int level);

// The stage background, 1920 x 1080.
QImage DrawBackground();

}  // namespace ld::demo
