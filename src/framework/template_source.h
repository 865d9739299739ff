// The readable source of the template block (resources/windows.tpl), compiled by the
// template compiler at build time. One statement per line; a line that starts with white
// space continues the statement above; "#" starts a comment.
//
//   window <Name> <left> <top> <width> <height> {attribute}
//   <ControlType> <name> <left> <top> <width> <height> {attribute}
//   menu <level> "<caption>" {attribute}
//
// Controls and menu items belong to the window above them. Attributes are `key=value`
// or a bare flag:
//   every unit:   parent=<container>  tag="..."  hidden  disabled  order=<n>
//                 on.<event>=<Routine>   (leftdown, rightdown, clicked, tick, created, ...)
//   menu items:   hidden  disabled  checked  shortcut=<n>  on.selected=<Routine>
//   type values:  the keywords of type_properties.cpp, e.g. text="...", font="宋体,64,bold",
//                 color=0x0000FFFF (0x00BBGGRR, or `system`), face=asset:<file>, mode=2
// Texts are UTF-8 and become GBK; a character GBK lacks is an error.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/template_block.h"

namespace ld::tpl {

// The bytes of a generated asset named in the source (`asset:<file>`); nullopt if missing.
using AssetLoader = std::function<std::optional<Bytes>(std::string_view file)>;

struct CompiledTemplates {
    TemplateBlock block;
    std::string handlerNames;         // see framework/handler_table.h
    std::vector<std::string> errors;  // "line <n>: <what>", in source order
    bool ok() const { return errors.empty(); }
};

CompiledTemplates CompileTemplateSource(std::string_view source, const AssetLoader& assets);

// Event numbers by name for a control type; nullopt for a name the type does not have.
std::optional<int32_t> EventNumber(ControlType type, std::string_view name);

}  // namespace ld::tpl
