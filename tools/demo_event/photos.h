// The demo's picture files as a phone or a camera app writes them: JPEG with an Exif block
// (orientation, embedded preview), the pixels stored turned when the phone was held so.
#pragma once

#include <QImage>
#include <string>

#include "roster.h"

namespace ld::demo {

// The stored pixels of an upright picture for an Exif orientation (1, 3, 6 or 8): the turn
// that the orientation undoes.
QImage TurnForStorage(const QImage& upright, int orientation);

// The whole photo file of a participant, drawn from its upright portrait.
std::string PhotoFile(const Participant& participant, const QImage& upright);

// A plain JPEG (prize pictures, background).
std::string PlainJpegFile(const QImage& picture, int quality);

}  // namespace ld::demo
