// The program's own template block and handler names, compiled at build time from
// resources/windows.tpl by the template compiler (tools/template_compiler).
#pragma once

#include <string_view>

namespace ld {

std::string_view BuiltInTemplateBlock();
std::string_view BuiltInHandlerNames();

}  // namespace ld
