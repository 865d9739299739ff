#include "framework/handler_table.h"

namespace ld {

void HandlerTable::add(std::string name, Handler routine) {
    auto [it, added] = routines_.insert_or_assign(std::move(name), std::move(routine));
    if (!added) registeredTwice_.push_back(it->first);
}

const Handler* HandlerTable::find(std::string_view name) const {
    auto it = routines_.find(name);
    return it == routines_.end() ? nullptr : &it->second;
}

std::vector<std::string> HandlerTable::names() const {
    std::vector<std::string> all;
    for (const auto& [name, routine] : routines_) all.push_back(name);
    return all;
}

std::optional<std::string_view> HandlerNameAt(std::string_view names, int32_t reference) {
    if (reference < 0 || static_cast<size_t>(reference) >= names.size()) return std::nullopt;
    const size_t at = static_cast<size_t>(reference);
    if (at > 0 && names[at - 1] != '\0') return std::nullopt;  // inside another name
    size_t end = names.find('\0', at);
    if (end == std::string_view::npos || end == at) return std::nullopt;
    return names.substr(at, end - at);
}

int32_t HandlerNamesBuilder::referenceOf(std::string_view name) {
    auto it = references_.find(name);
    if (it != references_.end()) return it->second;
    int32_t reference = static_cast<int32_t>(table_.size());
    table_ += name;
    table_ += '\0';
    references_.emplace(std::string(name), reference);
    return reference;
}

}  // namespace ld
