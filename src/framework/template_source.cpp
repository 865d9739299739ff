#include "framework/template_source.h"

#include <algorithm>
#include <set>

#include "framework/handler_table.h"
#include "framework/source_values.h"
#include "framework/type_properties.h"

namespace ld::tpl {

namespace {

struct NamedEvent {
    const char* name;
    int32_t number;
};

constexpr NamedEvent kCommonEvents[] = {
    {"leftdown", ev::kLeftDown},   {"leftup", ev::kLeftUp},       {"dblclick", ev::kDoubleClick},
    {"rightdown", ev::kRightDown}, {"rightup", ev::kRightUp},     {"mousemove", ev::kMouseMove},
    {"gotfocus", ev::kGotFocus},   {"lostfocus", ev::kLostFocus}, {"char", ev::kCharTyped},
    {"wheel", ev::kWheel},
};

std::vector<NamedEvent> OwnEvents(ControlType type) {
    switch (type) {
        case ControlType::Window:
            return {{"created", ev::kCreated},         {"mayclose", ev::kMayClose},
                    {"destroying", ev::kDestroying},   {"activated", ev::kActivated},
                    {"deactivated", ev::kDeactivated}, {"firstactivation", ev::kFirstActivation}};
        case ControlType::Button:
        case ControlType::SuperBtn:
        case ControlType::CheckBox:
            return {{"clicked", ev::kClicked}};
        case ControlType::Timer:
            return {{"tick", ev::kTick}};
        case ControlType::Label:
            return {{"notification", ev::kNotification}};
        case ControlType::SplitterBar:
            return {{"positionchanged", ev::kPositionChanged}};
        case ControlType::ComboBox:
            return {{"itemchosen", ev::kItemChosen},
                    {"editchanged", 1},
                    {"dropdown", 2},
                    {"closeup", 3},
                    {"itemdblclick", 4}};
        default:
            return {};
    }
}

std::optional<ControlType> TypeNamed(std::string_view name) {
    for (uint32_t code : {0x00010005u, 0x00010006u, 0x00010007u, 0x00010009u, 0x0001000Au,
                          0x0001000Bu, 0x0001000Cu, 0x0001000Eu, 0x0001000Fu, 0x0001001Fu,
                          0x00010020u, 0x00020005u, 0x00030001u, 0x00030003u}) {
        auto type = static_cast<ControlType>(code);
        if (name == ControlTypeName(type)) return type;
    }
    return std::nullopt;
}

class Compiler {
public:
    Compiler(const AssetLoader& assets, CompiledTemplates& out) : assets_(assets), out_(out) {}

    void statement(const std::vector<Token>& tokens) {
        line_ = tokens[0].line;
        const std::string& head = tokens[0].key;
        if (head == "window") return window(tokens);
        if (head == "menu") return menuItem(tokens);
        if (auto type = TypeNamed(head)) return control(*type, tokens);
        report("unknown statement '" + head + "'");
    }

    void finish(int lastLine) {
        line_ = lastLine;
        out_.handlerNames = handlerNames_.table();
        if (out_.errors.empty() && out_.block.windows.empty()) report("no window at all");
    }

private:
    void report(const std::string& what) {
        out_.errors.push_back("line " + std::to_string(line_) + ": " + what);
    }

    // name left top width height, after the statement's first word.
    bool geometry(const std::vector<Token>& t, UnitRecord& u) {
        if (t.size() < 6) {
            report("expected a name, left, top, width and height");
            return false;
        }
        std::optional<Text> name = ToGbkStrict(t[1].key);
        if (!name || name->empty() || t[1].hasValue) {
            report("bad name '" + t[1].key + "'");
            return false;
        }
        u.name = *name;
        int32_t* fields[] = {&u.left, &u.top, &u.width, &u.height};
        for (int i = 0; i < 4; ++i) {
            std::optional<int32_t> v = ParseInt(t[2 + i].key);
            if (!v || t[2 + i].hasValue) {
                report("'" + t[2 + i].key + "' is not a number");
                return false;
            }
            *fields[i] = *v;
        }
        return true;
    }

    void window(const std::vector<Token>& t) {
        WindowRecord w;
        w.self.type = ControlType::Window;
        if (!geometry(t, w.self)) return;
        w.name = w.self.name;
        w.self.name.clear();  // the window's own unit carries no name
        for (const auto& other : out_.block.windows)
            if (other.name == w.name) return report("a second window '" + t[1].key + "'");
        w.number = MakeUnitNumber(kKindWindow, serial_++);
        w.self.number = MakeUnitNumber(kKindWindowUnit, serial_++);
        attributes(t, w.self, nullptr);
        out_.block.windows.push_back(std::move(w));
        names_.clear();
    }

    void control(ControlType type, const std::vector<Token>& t) {
        if (out_.block.windows.empty()) return report("a control before any window");
        WindowRecord& w = out_.block.windows.back();
        UnitRecord u;
        u.type = type;
        if (!geometry(t, u)) return;
        if (!names_.insert(u.name).second) return report("a second control '" + t[1].key + "'");
        u.number = MakeUnitNumber(kKindControl, serial_++);
        attributes(t, u, &w);
        w.controls.push_back(std::move(u));
    }

    void attributes(const std::vector<Token>& t, UnitRecord& u, WindowRecord* w) {
        for (size_t i = 6; i < t.size(); ++i) attribute(t[i], u, w);
    }

    void attribute(const Token& a, UnitRecord& u, WindowRecord* w) {
        line_ = a.line;
        if (a.key == "hidden" && !a.hasValue) {
            u.flags &= ~kFlagVisible;
        } else if (a.key == "disabled" && !a.hasValue) {
            u.flags |= kFlagDisabled;
        } else if (a.key == "tag") {
            if (auto tag = ToGbkStrict(a.value))
                u.tag = *tag;
            else
                report("a tag GBK cannot hold");
        } else if (a.key == "order") {
            if (auto v = ParseInt(a.value))
                u.order = *v;
            else
                report("order needs a number");
        } else if (a.key == "parent" && w) {
            parent(a.value, u, *w);
        } else if (a.key.rfind("on.", 0) == 0) {
            event(a, u);
        } else {
            typeValue(a, u);
        }
    }

    void parent(const std::string& name, UnitRecord& u, WindowRecord& w) {
        std::optional<Text> gbk = ToGbkStrict(name);
        for (auto& c : w.controls) {
            if (!gbk || c.name != *gbk) continue;
            if (c.type != ControlType::ShapeBox && c.type != ControlType::GroupBox)
                return report("parent '" + name + "' is no ShapeBox or GroupBox");
            u.parent = c.number;
            c.children.push_back(u.number);
            return;
        }
        report("no container '" + name + "' above this line");
    }

    void event(const Token& a, UnitRecord& u) {
        std::optional<int32_t> number = EventNumber(u.type, a.key.substr(3));
        if (!number) return report("no event '" + a.key.substr(3) + "' for this type");
        if (!IsRoutineName(a.value)) return report("bad routine name '" + a.value + "'");
        for (const auto& e : u.events)
            if (e.event == *number) return report("event '" + a.key.substr(3) + "' bound twice");
        u.events.push_back({*number, handlerNames_.referenceOf(a.value)});
    }

    void typeValue(const Token& a, UnitRecord& u) {
        const TypeLayout* layout = LayoutOf(u.type);
        const Field* field = layout ? FindField(*layout, a.key) : nullptr;
        if (!field) return report("unknown attribute '" + a.key + "'");
        std::optional<Value> v = value(*field, a);
        if (!v) return;
        for (const auto& [index, existing] : u.properties)
            if (index == field->property) return report("'" + a.key + "' given twice");
        u.properties.emplace_back(field->property, std::move(*v));
    }

    std::optional<Value> value(const Field& field, const Token& a) {
        std::optional<Value> v;
        std::string error = "bad value for '" + a.key + "'";
        switch (field.kind) {
            case FieldKind::Reserved:
                break;
            case FieldKind::Int:
                if (auto n = ParseInt(a.value)) v = *n;
                break;
            case FieldKind::Bool:
                if (!a.hasValue)
                    v = true;
                else if (auto b = ParseBool(a.value))
                    v = *b;
                break;
            case FieldKind::Color:
                if (auto c = ParseColor(a.value)) v = *c;
                break;
            case FieldKind::Font:
                if (auto f = ParseFont(a.value, error)) v = std::move(*f);
                break;
            case FieldKind::Text:
            case FieldKind::PaddedText:
                if (!a.quoted)
                    error = "'" + a.key + "' needs a quoted text";
                else if (auto s = ToGbkStrict(a.value))
                    v = std::move(*s);
                else
                    error = "'" + a.key + "' holds a character GBK lacks";
                break;
            case FieldKind::Picture:
                v = picture(a.value, error);
                break;
        }
        if (!v) report(error);
        return v;
    }

    std::optional<Value> picture(const std::string& text, std::string& error) {
        if (text.rfind("asset:", 0) != 0) {
            error = "a picture is written asset:<file>";
            return std::nullopt;
        }
        std::optional<Bytes> bytes = assets_ ? assets_(text.substr(6)) : std::nullopt;
        if (!bytes) {
            error = "asset '" + text.substr(6) + "' not found";
            return std::nullopt;
        }
        return Value{std::move(*bytes)};
    }

    void menuItem(const std::vector<Token>& t) {
        if (out_.block.windows.empty()) return report("a menu item before any window");
        std::optional<int32_t> level = t.size() > 2 ? ParseInt(t[1].key) : std::nullopt;
        if (!level || *level < 0 || !t[2].quoted)
            return report("expected: menu <level> \"<caption>\"");
        MenuRecord m;
        m.level = *level;
        if (auto caption = ToGbkStrict(t[2].key))
            m.caption = *caption;
        else
            return report("a caption GBK cannot hold");
        m.number = MakeUnitNumber(kKindMenuItem, serial_++);
        for (size_t i = 3; i < t.size(); ++i) menuAttribute(t[i], m);
        out_.block.windows.back().menu.push_back(std::move(m));
    }

    void menuAttribute(const Token& a, MenuRecord& m) {
        line_ = a.line;
        std::optional<int32_t> shortcut = ParseInt(a.value);
        if (a.key == "hidden" && !a.hasValue)
            m.flags |= kMenuHidden;
        else if (a.key == "disabled" && !a.hasValue)
            m.flags |= kMenuDisabled;
        else if (a.key == "checked" && !a.hasValue)
            m.flags |= kMenuChecked;
        else if (a.key == "shortcut" && shortcut)
            m.shortcut = *shortcut;
        else if (a.key == "on.selected" && IsRoutineName(a.value))
            m.handler = handlerNames_.referenceOf(a.value);
        else
            report("bad menu attribute '" + a.key + "'");
    }

    const AssetLoader& assets_;
    CompiledTemplates& out_;
    HandlerNamesBuilder handlerNames_;
    std::set<Text> names_;  // control names of the current window
    uint32_t serial_ = 1;
    int line_ = 0;
};

}  // namespace

std::optional<int32_t> EventNumber(ControlType type, std::string_view name) {
    for (const auto& e : kCommonEvents)
        if (name == e.name) return e.number;
    for (const auto& e : OwnEvents(type))
        if (name == e.name) return e.number;
    return std::nullopt;
}

CompiledTemplates CompileTemplateSource(std::string_view source, const AssetLoader& assets) {
    CompiledTemplates out;
    Compiler compiler(assets, out);
    std::vector<Token> statement;
    int line = 0;
    for (size_t start = 0; start < source.size(); ++line) {
        size_t end = std::min(source.find('\n', start), source.size());
        std::string_view text = source.substr(start, end - start);
        start = end + 1;
        std::vector<Token> tokens;
        std::string error;
        if (!Tokenize(text, tokens, error)) {
            out.errors.push_back("line " + std::to_string(line + 1) + ": " + error);
            continue;
        }
        if (tokens.empty()) continue;  // blank and comment lines belong to no statement
        for (auto& t : tokens) t.line = line + 1;
        // A line that starts with white space continues the statement above.
        const bool continues = text[0] == ' ' || text[0] == '\t';
        if (!continues || statement.empty()) {
            if (!statement.empty()) compiler.statement(statement);
            statement.clear();
        }
        statement.insert(statement.end(), tokens.begin(), tokens.end());
    }
    if (!statement.empty()) compiler.statement(statement);
    compiler.finish(std::max(line, 1));
    return out;
}

}  // namespace ld::tpl
