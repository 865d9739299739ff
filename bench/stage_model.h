// The stage the tick benchmarks paint on, the same model window on every host: 1280 x 800
// with the photo box alone, as at start-up.
#pragma once

#include <memory>
#include <string_view>

#include "ui/window.h"

namespace ld::bench {

constexpr int kBoxWidth = 400, kBoxHeight = 300;  // the photo box at start-up
inline constexpr const char* kBoxName = "图片框_照片";

std::unique_ptr<Window> StageModel(std::string_view name);

}  // namespace ld::bench
