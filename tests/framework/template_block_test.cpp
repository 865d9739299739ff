#include "framework/template_block.h"

#include <gtest/gtest.h>

#include "framework/byte_io.h"
#include "framework/type_properties.h"

namespace ld::tpl {
namespace {

// A window with a container tree, fonts, colours, texts, a picture and menu items.
TemplateBlock SampleBlock() {
    WindowRecord w;
    w.number = MakeUnitNumber(kKindWindow, 1);
    w.name = "Stage";
    w.self.number = MakeUnitNumber(kKindWindowUnit, 2);
    w.self.type = ControlType::Window;
    w.self.width = 640;
    w.self.height = 480;
    w.self.events = {{ev::kCreated, 0}, {ev::kRightDown, 7}};
    w.self.properties = {{prop::kBackColor, int32_t{0x000000FF}}, {prop::kCaption, Text("T")}};

    UnitRecord panel;
    panel.number = MakeUnitNumber(kKindControl, 3);
    panel.type = ControlType::ShapeBox;
    panel.name = "panel";
    panel.flags = 0;  // hidden
    UnitRecord group;
    group.number = MakeUnitNumber(kKindControl, 4);
    group.type = ControlType::GroupBox;
    group.name = "group";
    group.parent = panel.number;
    panel.children = {group.number};
    UnitRecord title;
    title.number = MakeUnitNumber(kKindControl, 5);
    title.type = ControlType::TransLabel;
    title.name = "title";
    title.left = -8;
    title.parent = group.number;
    title.tag = "t";
    title.flags = kFlagVisible | kFlagDisabled;
    title.order = -1;
    group.children = {title.number};
    title.properties = {{prop::kTransFont, FontValue{"\xcb\xce\xcc\xe5", 64, 0, true}},
                        {prop::kTextColor, static_cast<int32_t>(kSystemColor)},
                        {prop::kAlignWord, int32_t{2}},
                        {prop::kText, Text("\xc4\xe3\xba\xc3\r\n")}};
    UnitRecord button;
    button.number = MakeUnitNumber(kKindControl, 6);
    button.type = ControlType::SuperBtn;
    button.name = "button";
    button.events = {{ev::kClicked, 12}};
    button.properties = {{prop::kFacePicture, Bytes("\xff\xd8\0\x01\xff\xd9", 6)}};
    w.controls = {panel, group, title, button};

    MenuRecord root{MakeUnitNumber(kKindMenuItem, 7), 0, 0, kMenuHidden, "root", kNoHandler};
    MenuRecord item{MakeUnitNumber(kKindMenuItem, 8), 0x141, 1, kMenuChecked, "item", 20};
    w.menu = {root, item};
    return TemplateBlock{{w}};
}

uint32_t U32At(const Bytes& b, size_t at) {
    ByteReader r(std::string_view(b).substr(at));
    return r.u32();
}

const Value* Prop(const UnitRecord& u, int index) {
    for (const auto& [i, v] : u.properties)
        if (i == index) return &v;
    return nullptr;
}

TEST(TemplateBlock, RoundTripKeepsEveryField) {
    Bytes bytes = WriteTemplateBlock(SampleBlock());
    ReadResult read = ReadTemplateBlock(bytes);
    ASSERT_TRUE(read.block) << read.error << " at " << read.offset;
    const WindowRecord& w = read.block->windows.at(0);
    EXPECT_EQ(w.name, "Stage");
    EXPECT_EQ(w.self.width, 640);
    EXPECT_EQ(w.self.events, (std::vector<EventBinding>{{0, 0}, {-4, 7}}));
    ASSERT_EQ(w.controls.size(), 4u);
    const UnitRecord& title = w.controls[2];
    EXPECT_EQ(title.left, -8);
    EXPECT_EQ(title.tag, "t");
    EXPECT_TRUE(title.visible() && title.disabled());
    EXPECT_EQ(title.order, -1);
    EXPECT_EQ(title.parent, w.controls[1].number);
    EXPECT_EQ(std::get<FontValue>(*Prop(title, prop::kTransFont)),
              (FontValue{"\xcb\xce\xcc\xe5", 64, 0, true}));
    EXPECT_EQ(std::get<int32_t>(*Prop(title, prop::kTextColor)), int32_t(kSystemColor));
    EXPECT_EQ(std::get<int32_t>(*Prop(title, prop::kAlignWord)), 2);
    EXPECT_EQ(std::get<Text>(*Prop(title, prop::kText)), "\xc4\xe3\xba\xc3\r\n");
    EXPECT_FALSE(w.controls[0].visible());
    // Picture bytes with a zero inside come back whole.
    EXPECT_EQ(std::get<Text>(*Prop(w.controls[3], prop::kFacePicture)).size(), 6u);
    // Fields the writer was not given come back as their defaults.
    EXPECT_EQ(std::get<FontValue>(*Prop(w.controls[3], prop::kFont)), FontValue{});
    ASSERT_EQ(w.menu.size(), 2u);
    EXPECT_EQ(w.menu[1].caption, "item");
    EXPECT_EQ(w.menu[1].shortcut, 0x141);
    EXPECT_EQ(w.menu[1].handler, 20);
    EXPECT_EQ(w.menu[0].flags, kMenuHidden);
    EXPECT_EQ(WriteTemplateBlock(*read.block), bytes);
}

TEST(TemplateBlock, WindowTableAndUnitNumbersFollowTheLayout) {
    Bytes bytes = WriteTemplateBlock(SampleBlock());
    EXPECT_EQ(U32At(bytes, 0), 8u);            // one window
    EXPECT_EQ(U32At(bytes, 4), 0x52000001u);   // its number
    EXPECT_EQ(U32At(bytes, 8), 0u);            // placeholder
    EXPECT_EQ(U32At(bytes, 20), 5u);           // after words A and B: the name "Stage"
    EXPECT_EQ(U32At(bytes, 33), 7u);           // unit count: window, 4 controls, 2 items
    EXPECT_EQ(U32At(bytes, 41), 0x06000002u);  // the window's own unit first
}

TEST(TemplateBlock, FontIsALogFontWithTheChineseCharacterSet) {
    ByteWriter out;
    WriteFont(out, FontValue{"\xd3\xd7\xd4\xb2", 27, 0, true, true});
    Bytes b = out.take();
    ASSERT_EQ(b.size(), 64u);
    EXPECT_EQ(U32At(b, 0), 60u);
    EXPECT_EQ(static_cast<int32_t>(U32At(b, 4)), -27);  // character height in pixels
    EXPECT_EQ(U32At(b, 20), 700u);                      // bold
    EXPECT_EQ(uint8_t(b[24]), 1);                       // italic
    EXPECT_EQ(uint8_t(b[27]), 0x86);
    EXPECT_EQ(b.substr(32, 5), Bytes("\xd3\xd7\xd4\xb2\0", 5));

    ByteWriter plain;
    WriteFont(plain, FontValue{});
    EXPECT_EQ(plain.take(), Bytes(4, '\0'));  // the default font is length 0

    // A point size (from the configuration) is stored as its pixel height.
    ByteWriter points;
    FontValue pt;
    pt.points = 20;
    WriteFont(points, pt);
    EXPECT_EQ(static_cast<int32_t>(U32At(points.take(), 4)), -27);
}

TEST(TemplateBlock, TypePropertiesMayEndEarlyButNotMidField) {
    // A timer's block without the interval: the interval is 0.
    ByteWriter out;
    out.zeros(20);
    out.u32(1);
    Bytes timer = out.take();
    ByteReader in(timer);
    PropertyList values;
    Text error;
    ASSERT_TRUE(ReadTypeProperties(in, ControlType::Timer, values, error));
    EXPECT_EQ(values, (PropertyList{{prop::kInterval, int32_t{0}}}));

    ByteWriter wrongVersion;
    wrongVersion.zeros(20);
    wrongVersion.u32(9);
    Bytes wrong = wrongVersion.take();
    ByteReader in2(wrong);
    values.clear();
    EXPECT_FALSE(ReadTypeProperties(in2, ControlType::Timer, values, error));

    ByteWriter cut;
    cut.zeros(20);
    cut.u32(1);
    cut.u32(0);  // the first word of a Button, then half a word
    cut.u8(1);
    Bytes cutBytes = cut.take();
    ByteReader in3(cutBytes);
    values.clear();
    EXPECT_FALSE(ReadTypeProperties(in3, ControlType::Button, values, error));
}

TEST(TemplateBlockMalformed, EveryTruncationIsRefused) {
    Bytes bytes = WriteTemplateBlock(SampleBlock());
    for (size_t n = 0; n < bytes.size(); ++n) {
        // A copy of exactly n bytes, so a read past the end is a sanitizer error.
        std::unique_ptr<char[]> copy(new char[n + 1]);
        std::copy(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(n), copy.get());
        EXPECT_FALSE(ReadTemplateBlock(std::string_view(copy.get(), n)).block) << n;
    }
    EXPECT_FALSE(ReadTemplateBlock(bytes + "x").block);  // trailing bytes too
}

// Overwrites the word at `at` and expects the block to be refused.
void ExpectRefusedWith(size_t at, uint32_t value) {
    Bytes bytes = WriteTemplateBlock(SampleBlock());
    ByteWriter w;
    w.u32(value);
    bytes.replace(at, 4, w.take());
    EXPECT_FALSE(ReadTemplateBlock(bytes).block) << "word at " << at << " = " << value;
}

TEST(TemplateBlockMalformed, LengthsCountsAndOffsetsOutOfRange) {
    const size_t unitCount = 33;
    for (uint32_t huge : {0xFFFFFFFFu, 0x80000000u, 0x20000000u, 0x1FFFFFFFu}) {
        ExpectRefusedWith(0, huge);              // window table length
        ExpectRefusedWith(12 + 8, huge);         // text 1 length
        ExpectRefusedWith(unitCount, huge);      // unit count
        ExpectRefusedWith(unitCount + 4, huge);  // unit block length
    }
    ExpectRefusedWith(0, 0);           // no window
    ExpectRefusedWith(0, 12);          // not a multiple of 8
    ExpectRefusedWith(4, 0x16000001);  // a window number of the wrong kind
    ExpectRefusedWith(unitCount, 0);
    const size_t numbers = unitCount + 8, offsets = numbers + 7 * 4;
    ExpectRefusedWith(numbers, 0x16000002);       // the window unit is no control
    ExpectRefusedWith(numbers + 4, 0x26000003);   // a control filed as a menu item
    ExpectRefusedWith(numbers + 8, 0x16000003);   // a number used twice
    ExpectRefusedWith(offsets + 4, 0);            // records overlapping
    ExpectRefusedWith(offsets + 8, 0xFFFFFFF0u);  // outside the records
}

TEST(TemplateBlockMalformed, CountsInsideARecordThatOverflow) {
    // Find the child count of "panel" by writing a recognisable value there first.
    TemplateBlock sample = SampleBlock();
    sample.windows[0].controls[0].left = 0x5A5A5A5A;
    Bytes bytes = WriteTemplateBlock(sample);
    size_t left = bytes.find("\x5A\x5A\x5A\x5A");
    ASSERT_NE(left, Bytes::npos);
    const size_t childCount = left + 4 * 4 + 4 + 4, eventCount = childCount + 8 + 4 + 1 + 12;
    for (uint32_t huge : {0xFFFFFFFFu, 0x40000000u, 0x20000001u}) {
        for (size_t at : {childCount, eventCount, childCount + 8 /* cursor length */}) {
            Bytes bad = bytes;
            ByteWriter w;
            w.u32(huge);
            bad.replace(at, 4, w.take());
            EXPECT_FALSE(ReadTemplateBlock(bad).block) << at;
        }
    }
}

TEST(TemplateBlockMalformed, BadControlTreesAndNames) {
    auto refused = [](auto change) {
        TemplateBlock b = SampleBlock();
        change(b.windows[0]);
        return !ReadTemplateBlock(WriteTemplateBlock(b)).block;
    };
    // The title inside a label-less parent: a SuperBtn is no container.
    EXPECT_TRUE(refused([](WindowRecord& w) {
        w.controls[2].parent = w.controls[3].number;
        w.controls[1].children.clear();
        w.controls[3].children = {w.controls[2].number};
    }));
    // A container that contains itself through its child.
    EXPECT_TRUE(refused([](WindowRecord& w) {
        w.controls[0].parent = w.controls[1].number;
        w.controls[1].children.push_back(w.controls[0].number);
    }));
    // A child listed by a container that is not its parent, or listed twice.
    EXPECT_TRUE(
        refused([](WindowRecord& w) { w.controls[0].children.push_back(w.controls[3].number); }));
    EXPECT_TRUE(
        refused([](WindowRecord& w) { w.controls[1].children.push_back(w.controls[2].number); }));
    EXPECT_TRUE(refused([](WindowRecord& w) { w.controls[3].name = "panel"; }));
    EXPECT_TRUE(refused([](WindowRecord& w) { w.controls[3].name.clear(); }));
    EXPECT_TRUE(refused([](WindowRecord& w) { w.controls[3].type = ControlType(0x00010002); }));
    EXPECT_TRUE(refused([](WindowRecord& w) { w.controls[3].type = ControlType::Window; }));
    EXPECT_TRUE(refused([](WindowRecord& w) { w.name.clear(); }));
    EXPECT_FALSE(refused([](WindowRecord&) {}));
}

}  // namespace
}  // namespace ld::tpl
