// Handler routines by name. The template block refers to a routine by a number, its
// reference: the offset of the routine's name in the handler names table that the template
// compiler writes beside the block (the names one after another, each ended by a NUL).
// At start-up every reference is turned into the routine the application registered under
// that name.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"

namespace ld {

class HandlerTable {
public:
    // Registers the routine of a name. A second registration of the same name replaces the
    // first and is remembered, so that a test can show that every name is bound once.
    void add(std::string name, Handler routine);
    const Handler* find(std::string_view name) const;
    std::vector<std::string> names() const;
    const std::vector<std::string>& registeredTwice() const { return registeredTwice_; }

private:
    std::map<std::string, Handler, std::less<>> routines_;
    std::vector<std::string> registeredTwice_;
};

// The name a reference stands for; nullopt when the reference is not the start of a name.
std::optional<std::string_view> HandlerNameAt(std::string_view names, int32_t reference);

// Collects the names of the routines a template uses and hands out their references.
class HandlerNamesBuilder {
public:
    int32_t referenceOf(std::string_view name);
    const std::string& table() const { return table_; }

private:
    std::string table_;
    std::map<std::string, int32_t, std::less<>> references_;
};

}  // namespace ld
