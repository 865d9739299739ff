// libFuzzer target: the template block reader must refuse or accept any input without
// reading outside it, and what it accepts must survive a write and a second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/template_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    ld::tpl::ReadResult first = ld::tpl::ReadTemplateBlock(input);
    if (!first.block) return 0;
    ld::Bytes written = ld::tpl::WriteTemplateBlock(*first.block);
    ld::tpl::ReadResult second = ld::tpl::ReadTemplateBlock(written);
    if (!second.block || ld::tpl::WriteTemplateBlock(*second.block) != written) std::abort();
    return 0;
}
