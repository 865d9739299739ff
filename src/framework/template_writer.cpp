// Serialising the template block (used by the template compiler and by tests).
#include "framework/byte_io.h"
#include "framework/template_block.h"
#include "framework/type_properties.h"

namespace ld::tpl {

namespace {

void WriteUnit(ByteWriter& out, const UnitRecord& unit) {
    size_t length = out.beginLength();
    out.u32(static_cast<uint32_t>(unit.type));
    out.zeros(20);
    out.zText(unit.name);
    out.zText("");  // remark
    out.u32(0);
    out.i32(unit.left);
    out.i32(unit.top);
    out.i32(unit.width);
    out.i32(unit.height);
    out.u32(0);
    out.u32(unit.parent);
    out.u32(static_cast<uint32_t>(unit.children.size()));
    for (uint32_t child : unit.children) out.u32(child);
    out.counted(unit.cursor);
    out.zText(unit.tag);
    out.u32(0);
    out.u32(unit.flags);
    out.i32(unit.order);
    out.u32(static_cast<uint32_t>(unit.events.size()));
    for (const auto& e : unit.events) {
        out.i32(e.event);
        out.i32(e.handler);
    }
    WriteTypeProperties(out, unit.type, unit.properties);
    out.endLength(length);
}

void WriteMenuItem(ByteWriter& out, const MenuRecord& item) {
    size_t length = out.beginLength();
    out.u32(static_cast<uint32_t>(ControlType::MenuItem));
    out.zeros(20);
    out.zText("");  // name
    out.zText("");  // remark
    out.i32(item.shortcut);
    out.i32(item.level);
    out.u32(item.flags);
    out.zText(item.caption);
    out.i32(item.handler);
    out.zeros(16);
    out.endLength(length);
}

void WriteWindow(ByteWriter& out, const WindowRecord& w) {
    out.i32(w.wordA);
    out.i32(w.wordB);
    out.counted(w.name);
    out.counted(w.text2);
    const size_t units = 1 + w.controls.size() + w.menu.size();
    out.u32(static_cast<uint32_t>(units));
    size_t blockLength = out.beginLength();
    out.u32(w.self.number);
    for (const auto& c : w.controls) out.u32(c.number);
    for (const auto& m : w.menu) out.u32(m.number);
    size_t offsets = out.size();
    out.zeros(4 * units);
    const size_t recordsStart = out.size();
    size_t i = 0;
    auto mark = [&] {
        out.patch(offsets + 4 * i++, static_cast<uint32_t>(out.size() - recordsStart));
    };
    mark();
    WriteUnit(out, w.self);
    for (const auto& c : w.controls) {
        mark();
        WriteUnit(out, c);
    }
    for (const auto& m : w.menu) {  // one contiguous run, in menu order
        mark();
        WriteMenuItem(out, m);
    }
    out.endLength(blockLength);
}

}  // namespace

Bytes WriteTemplateBlock(const TemplateBlock& block) {
    ByteWriter out;
    out.u32(static_cast<uint32_t>(8 * block.windows.size()));
    for (const auto& w : block.windows) out.u32(w.number);
    out.zeros(4 * block.windows.size());  // the reader's placeholders
    for (const auto& w : block.windows) WriteWindow(out, w);
    return out.take();
}

}  // namespace ld::tpl
