#include "ui/held_key_gate.h"

#include <algorithm>

namespace ld {

bool HeldKeyGate::press(int key, uint64_t time) {
    if (std::find(down_.begin(), down_.end(), key) != down_.end()) return false;
    down_.push_back(key);
    // X's auto-repeat: the release just before was no release at all.
    return time == 0 || releasedKey_ != key || releasedAt_ != time;
}

void HeldKeyGate::release(int key, uint64_t time) {
    std::erase(down_, key);
    releasedKey_ = key;
    releasedAt_ = time;
}

void HeldKeyGate::forgetAll() {
    down_.clear();
    releasedKey_ = 0;
}

}  // namespace ld
