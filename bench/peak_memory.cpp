#include "peak_memory.h"

#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstring>

// Counting replaces glibc's allocator entry points: not under a sanitizer's own allocator,
// and not with MinGW's C library, which has none to take over.
#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)
#define LD_NO_HEAP_COUNTING 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LD_NO_HEAP_COUNTING 1
#endif
#endif

namespace {
std::atomic<int64_t> inUse{0};
std::atomic<int64_t> peak{0};
int64_t atReset = 0;
}  // namespace

#ifndef LD_NO_HEAP_COUNTING

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {
void Count(void* p, int sign) {
    if (!p) return;
    const int64_t now = inUse.fetch_add(sign * static_cast<int64_t>(malloc_usable_size(p))) +
                        sign * static_cast<int64_t>(malloc_usable_size(p));
    int64_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}
void* Aligned(size_t alignment, size_t n) {
    void* p = __libc_memalign(alignment, n);
    Count(p, +1);
    return p;
}
}  // namespace

extern "C" {
void* malloc(size_t n) {
    void* p = __libc_malloc(n);
    Count(p, +1);
    return p;
}
void* calloc(size_t n, size_t size) {
    void* p = __libc_calloc(n, size);
    Count(p, +1);
    return p;
}
void* realloc(void* old, size_t n) {
    Count(old, -1);
    void* p = __libc_realloc(old, n);
    Count(p ? p : (n ? old : nullptr), +1);  // a failed realloc keeps the old block
    return p;
}
void free(void* p) {
    Count(p, -1);
    __libc_free(p);
}
void* memalign(size_t alignment, size_t n) { return Aligned(alignment, n); }
void* aligned_alloc(size_t alignment, size_t n) { return Aligned(alignment, n); }
int posix_memalign(void** out, size_t alignment, size_t n) {
    *out = Aligned(alignment, n);
    return *out ? 0 : 12;  // ENOMEM
}
void* valloc(size_t n) { return Aligned(4096, n); }
void* pvalloc(size_t n) { return Aligned(4096, (n + 4095) / 4096 * 4096); }
}

#endif

namespace ld::bench {

bool HeapCountingAvailable() {
#ifdef LD_NO_HEAP_COUNTING
    return false;
#else
    return true;
#endif
}

void ResetHeapPeak() {
    atReset = inUse.load();
    peak.store(atReset);
}

int64_t HeapPeakSinceReset() { return peak.load() - atReset; }

}  // namespace ld::bench
