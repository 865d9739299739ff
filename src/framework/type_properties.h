// The type-property blocks of the unit records: 20 reserved bytes, a layout version, then
// the fields of the control type in a fixed order. One table per type drives the writer, the
// reader and the template compiler (which names each field by its keyword), so the three
// cannot drift apart.
#pragma once

#include <string_view>
#include <vector>

#include "framework/byte_io.h"
#include "framework/template_block.h"

namespace ld::tpl {

enum class FieldKind {
    Reserved,    // a zero word
    Int,         // a signed word
    Bool,        // a word, 0 or 1
    Color,       // 0x00BBGGRR; 0xFF000000 is the system colour
    Font,        // length (60, or 0 for the default font) + LOGFONTA
    Text,        // counted text
    PaddedText,  // counted text followed by 8 zero bytes
    Picture,     // counted bytes holding a whole image file
};

struct Field {
    FieldKind kind;
    int property = -1;         // prop:: index; -1 for reserved words
    const char* keyword = "";  // name in the template source
};

struct TypeLayout {
    ControlType type;
    uint32_t version;
    std::vector<Field> fields;
};

// nullptr for the menu item, which has no type properties.
const TypeLayout* LayoutOf(ControlType type);
const Field* FindField(const TypeLayout& layout, std::string_view keyword);

// The value a field has when the template does not give one.
Value DefaultValue(FieldKind kind);

void WriteTypeProperties(ByteWriter& out, ControlType type, const PropertyList& values);
// Reads every field of the type into `values` (absent trailing fields take their default).
// False when the block is malformed.
bool ReadTypeProperties(ByteReader& in, ControlType type, PropertyList& values, Text& error);

constexpr uint32_t kLogFontSize = 60;
constexpr uint8_t kGb2312Charset = 0x86;
constexpr int kFaceNameBytes = 32;

void WriteFont(ByteWriter& out, const FontValue& font);
// False when the length is neither 0 nor 60 or the record is cut short.
bool ReadFont(ByteReader& in, FontValue& font);

}  // namespace ld::tpl
