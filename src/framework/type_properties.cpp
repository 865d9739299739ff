#include "framework/type_properties.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace ld::tpl {

namespace {

using K = FieldKind;
constexpr Field kZero{K::Reserved};

std::vector<Field> Zeros(int n) { return std::vector<Field>(static_cast<size_t>(n), kZero); }

std::vector<Field> Join(std::initializer_list<std::vector<Field>> parts) {
    std::vector<Field> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// The layouts. Those of window, Timer, Button, TransLabel and SuperBtn follow the block's
// long-standing field order; the others are ours and carry what the host needs to draw.
const std::vector<TypeLayout>& Layouts() {
    static const std::vector<TypeLayout> layouts = {
        {ControlType::Window, 6,
         Join(
             {{{K::Int, prop::kBorder, "border"}, kZero, {K::Color, prop::kBackColor, "backcolor"}},
              Zeros(17),
              {{K::Picture, prop::kIcon, "icon"},
               {K::Picture, prop::kBackPicture, "backpicture"},
               {K::Text, prop::kCaption, "caption"},
               kZero}})},
        {ControlType::Timer, 1, {{K::Int, prop::kInterval, "interval"}}},
        {ControlType::Button, 1,
         Join({Zeros(4),
               {{K::Font, prop::kFont, "font"}, {K::PaddedText, prop::kCaption, "caption"}}})},
        {ControlType::TransLabel, 1,
         Join({{{K::Int, prop::kAlignWord, "align"}, {K::Color, prop::kTextColor, "color"}},
               Zeros(3),
               {{K::Font, prop::kTransFont, "font"}, {K::PaddedText, prop::kText, "text"}}})},
        {ControlType::SuperBtn, 2,
         Join({{{K::Color, prop::kForeColor, "color"}, kZero},
               {{K::Picture, prop::kFacePicture, "face"},
                {K::Font, prop::kFont, "font"},
                {K::Text, prop::kSuperCaption, "caption"},
                {K::Text, prop::kTooltip, "tooltip"}},
               Zeros(2)})},
        {ControlType::EditBox,
         1,
         {{K::Bool, prop::kMultiLine, "multiline"},
          {K::Bool, prop::kPasswordChar, "password"},
          kZero,
          {K::Font, prop::kFont, "font"},
          {K::PaddedText, prop::kText, "text"}}},
        {ControlType::Label,
         1,
         {{K::Color, prop::kForeColor, "color"},
          {K::Color, prop::kBackColor, "backcolor"},
          kZero,
          {K::Font, prop::kLabelFont, "font"},
          {K::PaddedText, prop::kText, "caption"}}},
        {ControlType::PicBox,
         1,
         {{K::Int, prop::kDisplayMode, "mode"}, kZero, {K::Picture, prop::kPicture, "picture"}}},
        {ControlType::ShapeBox,
         1,
         {{K::Color, prop::kBackColor, "backcolor"},
          {K::Color, prop::kForeColor, "bordercolor"},
          kZero}},
        {ControlType::GroupBox,
         1,
         {kZero, {K::Font, prop::kFont, "font"}, {K::PaddedText, prop::kCaption, "caption"}}},
        {ControlType::CheckBox,
         1,
         {{K::Bool, prop::kChecked, "checked"},
          kZero,
          {K::Font, prop::kFont, "font"},
          {K::PaddedText, prop::kCaption, "caption"}}},
        {ControlType::ComboBox,
         1,
         {{K::Bool, prop::kDropDownList, "dropdownlist"},
          kZero,
          {K::Font, prop::kFont, "font"},
          {K::PaddedText, prop::kComboText, "text"}}},
        {ControlType::ListBox, 1, {kZero, {K::Font, prop::kFont, "font"}}},
        {ControlType::CommonDlg, 1, {kZero, {K::PaddedText, prop::kFilter, "filter"}}},
        {ControlType::SplitterBar,
         1,
         {{K::Bool, prop::kVertical, "vertical"}, {K::Color, prop::kBackColor, "color"}}},
    };
    return layouts;
}

const Value* Find(const PropertyList& values, int property) {
    for (const auto& [index, value] : values)
        if (index == property) return &value;
    return nullptr;
}

int32_t IntOf(const Value& v) {
    if (auto p = std::get_if<int32_t>(&v)) return *p;
    if (auto p = std::get_if<bool>(&v)) return *p ? 1 : 0;
    return 0;
}

Text TextOf(const Value& v) {
    if (auto p = std::get_if<Text>(&v)) return *p;
    return {};
}

void WriteField(ByteWriter& out, const Field& field, const Value& v) {
    switch (field.kind) {
        case K::Reserved:
            out.u32(0);
            break;
        case K::Int:
        case K::Color:
            out.i32(IntOf(v));
            break;
        case K::Bool:
            out.u32(IntOf(v) != 0 ? 1 : 0);
            break;
        case K::Font: {
            const FontValue* font = std::get_if<FontValue>(&v);
            WriteFont(out, font ? *font : FontValue{});
            break;
        }
        case K::Text:
            out.counted(TextOf(v));
            break;
        case K::PaddedText:
            out.counted(TextOf(v));
            out.zeros(8);
            break;
        case K::Picture:
            out.counted(TextOf(v));
            break;
    }
}

bool ReadField(ByteReader& in, const Field& field, Value& v) {
    switch (field.kind) {
        case K::Reserved:
            in.skip(4);
            break;
        case K::Int:
        case K::Color:
            v = in.i32();
            break;
        case K::Bool:
            v = in.u32() != 0;
            break;
        case K::Font: {
            FontValue font;
            if (!ReadFont(in, font)) return false;
            v = std::move(font);
            break;
        }
        case K::Text:
        case K::Picture:
            v = Text(in.counted());
            break;
        case K::PaddedText:
            v = Text(in.counted());
            in.skip(8);
            break;
    }
    return in.ok();
}

}  // namespace

const TypeLayout* LayoutOf(ControlType type) {
    for (const auto& layout : Layouts())
        if (layout.type == type) return &layout;
    return nullptr;
}

const Field* FindField(const TypeLayout& layout, std::string_view keyword) {
    for (const auto& f : layout.fields)
        if (f.kind != K::Reserved && keyword == f.keyword) return &f;
    return nullptr;
}

Value DefaultValue(FieldKind kind) {
    switch (kind) {
        case K::Reserved:
            return {};
        case K::Int:
            return int32_t{0};
        case K::Bool:
            return false;
        case K::Color:
            return static_cast<int32_t>(kSystemColor);
        case K::Font:
            return FontValue{};
        case K::Text:
        case K::PaddedText:
        case K::Picture:
            return Text();
    }
    return {};
}

void WriteTypeProperties(ByteWriter& out, ControlType type, const PropertyList& values) {
    const TypeLayout* layout = LayoutOf(type);
    if (!layout) return;
    out.zeros(20);
    out.u32(layout->version);
    for (const auto& field : layout->fields) {
        const Value* v = field.kind == K::Reserved ? nullptr : Find(values, field.property);
        WriteField(out, field, v ? *v : DefaultValue(field.kind));
    }
}

bool ReadTypeProperties(ByteReader& in, ControlType type, PropertyList& values, Text& error) {
    const TypeLayout* layout = LayoutOf(type);
    if (!layout) return true;
    for (const auto& field : layout->fields)
        if (field.kind != K::Reserved)
            values.emplace_back(field.property, DefaultValue(field.kind));
    if (in.atEnd()) return true;  // no type properties: every value is its default
    in.skip(20);
    uint32_t version = in.u32();
    if (!in.ok() || version != layout->version) {
        error = "type properties of an unknown layout";
        return false;
    }
    for (const auto& field : layout->fields) {
        if (in.atEnd()) break;  // absent trailing fields keep their defaults
        Value v;
        if (!ReadField(in, field, v)) {
            error = "type properties cut short";
            return false;
        }
        if (field.kind == K::Reserved) continue;
        for (auto& [index, value] : values) {
            if (index == field.property) {
                value = std::move(v);
                break;
            }
        }
    }
    return true;
}

void WriteFont(ByteWriter& out, const FontValue& font) {
    if (font == FontValue{}) {
        out.u32(0);
        return;
    }
    out.u32(kLogFontSize);
    out.i32(-font.pixelSize());  // negative: the character height, not the cell height
    out.zeros(12);               // width, escapement, orientation
    out.u32(font.bold ? 700 : 400);
    out.u8(font.italic ? 1 : 0);
    out.u8(font.underline ? 1 : 0);
    out.u8(font.strikeOut ? 1 : 0);
    out.u8(kGb2312Charset);
    out.zeros(4);  // precision, clipping, quality, pitch and family
    char face[kFaceNameBytes] = {};
    std::memcpy(face, font.face.data(), std::min<size_t>(font.face.size(), kFaceNameBytes - 1));
    out.bytes(std::string_view(face, kFaceNameBytes));
}

bool ReadFont(ByteReader& in, FontValue& font) {
    uint32_t length = in.u32();
    if (!in.ok()) return false;
    font = FontValue{};
    if (length == 0) return true;
    if (length != kLogFontSize) {
        in.fail();
        return false;
    }
    int32_t height = in.i32();
    in.skip(12);
    uint32_t weight = in.u32();
    font.italic = in.u8() != 0;
    font.underline = in.u8() != 0;
    font.strikeOut = in.u8() != 0;
    in.skip(5);  // character set, precision, clipping, quality, pitch and family
    std::string_view face = in.bytes(kFaceNameBytes);
    if (!in.ok()) return false;
    font.face = Text(face.substr(0, face.find('\0')));
    // INT_MIN has no positive counterpart; a height that large is nonsense anyway.
    font.pixels = height == INT32_MIN ? 0 : (height < 0 ? -height : height);
    font.bold = weight >= 600;
    return true;
}

}  // namespace ld::tpl
