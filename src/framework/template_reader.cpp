// Reading and checking the template block. Nothing in the block is trusted: every count is
// checked against the bytes that remain before anything is allocated, unit records must not
// overlap (so no record is copied twice), and the control tree must be well formed.
#include <map>
#include <set>

#include "framework/byte_io.h"
#include "framework/template_block.h"
#include "framework/type_properties.h"

namespace ld::tpl {

namespace {

struct Failure {
    Text what;
    size_t offset;
};

class BlockReader {
public:
    explicit BlockReader(std::string_view data) : in_(data) {}

    ReadResult read() {
        TemplateBlock block;
        if (readBlock(block)) return {std::move(block), {}, 0};
        return {std::nullopt, failure_.what, failure_.offset};
    }

private:
    bool fail(Text what, size_t offset) {
        failure_ = {std::move(what), offset};
        return false;
    }
    bool cutShort(const ByteReader& r) {
        return fail("a length, count or offset lies outside the block", r.offset());
    }

    bool readBlock(TemplateBlock& block) {
        uint32_t tableLength = in_.u32();
        if (!in_.ok()) return cutShort(in_);
        if (tableLength == 0 || tableLength % 8 != 0 || tableLength > in_.remaining())
            return fail("bad window table length", 0);
        const uint32_t n = tableLength / 8;
        std::vector<uint32_t> numbers;
        for (uint32_t i = 0; i < n; ++i) numbers.push_back(in_.u32());
        in_.skip(4 * static_cast<size_t>(n));  // placeholders
        for (uint32_t number : numbers) {
            if (UnitKind(number) != kKindWindow || !unique(number))
                return fail("bad window number", 4);
            WindowRecord w;
            w.number = number;
            if (!readWindow(w)) return false;
            for (const auto& other : block.windows)
                if (other.name == w.name) return fail("two windows of one name", in_.offset());
            block.windows.push_back(std::move(w));
        }
        if (!in_.atEnd()) return fail("bytes after the last window record", in_.offset());
        return true;
    }

    bool readWindow(WindowRecord& w) {
        w.wordA = in_.i32();
        w.wordB = in_.i32();
        w.name = Text(in_.counted());
        w.text2 = Text(in_.counted());
        uint32_t units = in_.u32();
        uint32_t blockLength = in_.u32();
        ByteReader block = in_.sub(blockLength);
        if (!in_.ok()) return cutShort(in_);
        if (w.name.empty()) return fail("a window without a name", block.offset());
        if (units == 0 || units > block.remaining() / 8)
            return fail("bad unit count", block.offset());
        std::vector<uint32_t> numbers, offsets;
        for (uint32_t i = 0; i < units; ++i) numbers.push_back(block.u32());
        for (uint32_t i = 0; i < units; ++i) offsets.push_back(block.u32());
        const size_t base = block.offset();
        std::string_view records = block.bytes(block.remaining());
        size_t previousEnd = 0;
        for (uint32_t i = 0; i < units; ++i) {
            if (offsets[i] < previousEnd || offsets[i] > records.size())
                return fail("unit records out of order or outside the block", base);
            ByteReader r(records.substr(offsets[i]), base + offsets[i]);
            uint32_t length = r.u32();
            ByteReader unit = r.sub(length);
            if (!r.ok()) return cutShort(r);
            previousEnd = offsets[i] + 4 + static_cast<size_t>(length);
            if (!readUnit(w, i, numbers[i], unit)) return false;
        }
        return checkTree(w, base);
    }

    bool readUnit(WindowRecord& w, uint32_t index, uint32_t number, ByteReader& r) {
        const uint32_t kind = UnitKind(number);
        if (!unique(number)) return fail("a unit number used twice", r.offset());
        if ((index == 0) != (kind == kKindWindowUnit))
            return fail("the window's own unit must come first", r.offset());
        if (kind == kKindMenuItem) {
            MenuRecord m;
            m.number = number;
            if (!readMenuItem(r, m)) return false;
            w.menu.push_back(std::move(m));
            return true;
        }
        if (kind != kKindWindowUnit && kind != kKindControl)
            return fail("unknown unit kind", r.offset());
        UnitRecord u;
        u.number = number;
        if (!readControl(r, u)) return false;
        if ((kind == kKindWindowUnit) != (u.type == ControlType::Window))
            return fail("unit kind and type disagree", r.offset());
        if (kind == kKindWindowUnit)
            w.self = std::move(u);
        else
            w.controls.push_back(std::move(u));
        return true;
    }

    bool readControl(ByteReader& r, UnitRecord& u) {
        uint32_t type = r.u32();
        if (!r.ok()) return cutShort(r);
        if (!IsKnownControlType(type) || type == static_cast<uint32_t>(ControlType::MenuItem))
            return fail("unknown control type", r.offset());
        u.type = static_cast<ControlType>(type);
        r.skip(20);
        u.name = Text(r.zText());
        r.zText();  // remark
        r.skip(4);
        u.left = r.i32();
        u.top = r.i32();
        u.width = r.i32();
        u.height = r.i32();
        r.skip(4);
        u.parent = r.u32();
        uint32_t children = r.count(4);
        for (uint32_t i = 0; i < children; ++i) u.children.push_back(r.u32());
        u.cursor = Bytes(r.counted());
        u.tag = Text(r.zText());
        r.skip(4);
        u.flags = r.u32();
        u.order = r.i32();
        uint32_t events = r.count(8);
        for (uint32_t i = 0; i < events; ++i) {
            EventBinding e;
            e.event = r.i32();
            e.handler = r.i32();
            u.events.push_back(e);
        }
        if (!r.ok()) return cutShort(r);
        Text error;
        if (!ReadTypeProperties(r, u.type, u.properties, error)) return fail(error, r.offset());
        return true;
    }

    bool readMenuItem(ByteReader& r, MenuRecord& m) {
        uint32_t type = r.u32();
        if (r.ok() && type != static_cast<uint32_t>(ControlType::MenuItem))
            return fail("a menu unit that is no menu item", r.offset());
        r.skip(20);
        r.zText();  // name
        r.zText();  // remark
        m.shortcut = r.i32();
        m.level = r.i32();
        m.flags = r.u32();
        m.caption = Text(r.zText());
        m.handler = r.i32();
        if (!r.ok()) return cutShort(r);
        return true;  // the reserved rest is not read
    }

    // Names unique and present; each parent a container of this window that lists the
    // control among its children, and no control its own ancestor.
    bool checkTree(const WindowRecord& w, size_t offset) {
        std::map<uint32_t, const UnitRecord*> byNumber;
        std::set<Text> names;
        for (const auto& c : w.controls) {
            byNumber[c.number] = &c;
            if (c.name.empty() || !names.insert(c.name).second)
                return fail("a control without a name, or two of one name", offset);
        }
        size_t listed = 0, parented = 0;
        for (const auto& c : w.controls) {
            listed += c.children.size();
            for (uint32_t child : c.children) {
                auto it = byNumber.find(child);
                if (it == byNumber.end() || it->second->parent != c.number)
                    return fail("a child that is not the parent's", offset);
            }
            if (c.parent == 0) continue;
            ++parented;
            auto it = byNumber.find(c.parent);
            if (it == byNumber.end() || (it->second->type != ControlType::ShapeBox &&
                                         it->second->type != ControlType::GroupBox))
                return fail("a parent that is no container of the window", offset);
        }
        if (listed != parented) return fail("children listed twice", offset);
        // Walk up from every control once; a walk that meets its own path is a cycle.
        // Every parent is known to exist by now.
        std::map<uint32_t, int> state;  // 1 on the current path, 2 known to reach the window
        for (const auto& c : w.controls) {
            std::vector<uint32_t> path;
            for (uint32_t at = c.number; at != 0 && state[at] != 2; at = byNumber.at(at)->parent) {
                if (state[at] == 1) return fail("controls that contain themselves", offset);
                state[at] = 1;
                path.push_back(at);
            }
            for (uint32_t p : path) state[p] = 2;
        }
        return true;
    }

    bool unique(uint32_t number) { return seen_.insert(number).second; }

    ByteReader in_;
    std::set<uint32_t> seen_;
    Failure failure_;
};

}  // namespace

ReadResult ReadTemplateBlock(std::string_view data) { return BlockReader(data).read(); }

}  // namespace ld::tpl
