// The demo's peizhi.a, written key by key through the program's own INI layer, so it is
// GBK with CR LF line ends exactly as the program writes it.
#pragma once

#include <string>

namespace ld::demo {

// `folder` is the demo folder as the file system spells it. False when a write failed.
bool WriteDemoConfig(const std::string& folder);

}  // namespace ld::demo
