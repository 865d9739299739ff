// The template block: every window of the program with its controls, initial values, menu
// items and event bindings, as one little-endian byte sequence. The build compiles it from
// resources/windows.tpl; the program reads it once at start-up.
//
// Layout (all integers 32-bit):
//   window table length (8 x n), n window numbers, n placeholders (zero), n window records.
//   window record: word A, word B, counted text 1 (the window's name, by which the program
//     addresses it), counted text 2 (empty), unit count u, unit block length, u unit
//     numbers, u unit offsets (from the start of the unit records), u unit records.
//   unit record (window unit, control): length, type, 20 reserved, name, remark (NUL
//     terminated), reserved, left, top, width, height, reserved, parent number, child count
//     and child numbers, cursor (counted bytes), tag (NUL terminated), reserved, flags (bit 0
//     visible, bit 1 disabled), order, event count and (event, handler reference) pairs,
//     then the type properties (see type_properties.h).
//   unit record (menu item): length, type 0x00010003, 20 reserved, name, remark, shortcut,
//     level, flags (bit 0 hidden, bit 1 disabled, bit 2 checked), caption, handler
//     reference, 16 reserved.
// The top byte of a unit number tells its kind; the rest is unique within the program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/control.h"

namespace ld::tpl {

constexpr uint32_t kKindWindow = 0x52, kKindWindowUnit = 0x06, kKindControl = 0x16,
                   kKindMenuItem = 0x26;
constexpr uint32_t UnitKind(uint32_t number) { return number >> 24; }
constexpr uint32_t MakeUnitNumber(uint32_t kind, uint32_t serial) {
    return kind << 24 | (serial & 0xFFFFFF);
}

constexpr int32_t kNoHandler = -1;
constexpr uint32_t kFlagVisible = 1, kFlagDisabled = 2;                   // units
constexpr uint32_t kMenuHidden = 1, kMenuDisabled = 2, kMenuChecked = 4;  // menu items

struct EventBinding {
    int32_t event = 0;
    int32_t handler = kNoHandler;
    bool operator==(const EventBinding&) const = default;
};

// Initial values of the type-specific properties, by property index.
using PropertyList = std::vector<std::pair<int, Value>>;

struct UnitRecord {
    uint32_t number = 0;
    ControlType type = ControlType::Window;
    Text name;
    int32_t left = 0, top = 0, width = 0, height = 0;
    uint32_t parent = 0;  // 0: the window's client area
    std::vector<uint32_t> children;
    Bytes cursor;  // empty: the default cursor
    Text tag;
    uint32_t flags = kFlagVisible;
    int32_t order = 0;
    std::vector<EventBinding> events;
    PropertyList properties;

    bool visible() const { return flags & kFlagVisible; }
    bool disabled() const { return flags & kFlagDisabled; }
};

struct MenuRecord {
    uint32_t number = 0;
    int32_t shortcut = 0;
    int32_t level = 1;
    uint32_t flags = 0;
    Text caption;
    int32_t handler = kNoHandler;
};

struct WindowRecord {
    uint32_t number = 0;
    int32_t wordA = 0, wordB = 0;
    Text name;  // text 1
    Text text2;
    UnitRecord self;  // the window's own unit: geometry, window properties and events
    std::vector<UnitRecord> controls;
    std::vector<MenuRecord> menu;  // in menu order
};

struct TemplateBlock {
    std::vector<WindowRecord> windows;  // in load order: the draw screen first
};

// Serialises a block. Pure: the caller (the template compiler) has checked the content.
Bytes WriteTemplateBlock(const TemplateBlock& block);

struct ReadResult {
    std::optional<TemplateBlock> block;
    Text error;         // what was wrong, for the developer
    size_t offset = 0;  // where, in bytes from the start of the block
};
// Reads and checks a block: every length, count and offset must lie inside the block, unit
// kinds must match their records, parents must be containers of the same window, and names
// must be unique. Anything else is refused.
ReadResult ReadTemplateBlock(std::string_view data);

}  // namespace ld::tpl
