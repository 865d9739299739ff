// A key held down counts as one press until it is released. Held, a key repeats: as more
// presses without a release (XKB's detectable auto-repeat, Windows' repeat bit), or under
// X as a release and a press that carry the same server time. Qt on xcb marks only some of
// those pairs as repeats, so the host decides from the key's own presses and releases.
#pragma once

#include <cstdint>
#include <vector>

namespace ld {

class HeldKeyGate {
public:
    // Whether this press counts. `time` is the window system's, in milliseconds; 0 means
    // none is known (a synthesised event), and then only a press while down is a repeat.
    bool press(int key, uint64_t time);
    void release(int key, uint64_t time);
    // The keyboard went to another program: the releases of held keys never come here.
    void forgetAll();

private:
    std::vector<int> down_;
    int releasedKey_ = 0;
    uint64_t releasedAt_ = 0;
};

}  // namespace ld
