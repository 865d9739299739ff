// The typed store over ReadConfigText / WriteConfigText (declared in config_keys.h).
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/scramble.h"
#include "services/profile.h"

namespace ld {

Text ConfigStore::path() { return files::InProgramDirectory(files::ConfigFile()); }

Text ConfigStore::readText(const ConfigKey& key) {
    bool passDefault = key.defaultUse == DefaultUse::WhenAbsent;
    Text value = ReadConfigText(path(), SectionName(key.section), key.name,
                                passDefault ? key.defaultValue : Text());
    if (value.empty() && key.defaultUse == DefaultUse::WhenEmpty) return key.defaultValue;
    return value;
}

bool ConfigStore::readLogical(const ConfigKey& key) { return readText(key) == kTrueWord; }

double ConfigStore::readNumber(const ConfigKey& key) { return ToNumber(readText(key)); }

int32_t ConfigStore::readInt(const ConfigKey& key) { return ToInt32(readText(key)); }

Text ConfigStore::readScrambled(const ConfigKey& key) { return UnscrambleText(readText(key)); }

std::optional<std::vector<Text>> ConfigStore::readGroup(const KeyGroup& group) {
    if (readText(*group.gate).empty()) return std::nullopt;
    std::vector<Text> values;
    values.reserve(group.keys.size());
    for (const ConfigKey* key : group.keys) values.push_back(readText(*key));
    return values;
}

std::optional<StoredFont> ConfigStore::readFont(FontElement element) {
    auto values = readGroup(keys::Font(element));
    if (!values) return std::nullopt;
    const std::vector<Text>& v = *values;
    return StoredFont{v[0], ToInt32(v[1]), ToInt32(v[2])};
}

std::optional<StoredPosition> ConfigStore::readPosition(PlacedElement element) {
    auto values = readGroup(keys::Position(element));
    if (!values) return std::nullopt;
    return StoredPosition{ToInt32((*values)[0]), ToInt32((*values)[1])};
}

bool ConfigStore::write(const ConfigKey& key, const Text& value) {
    return WriteConfigText(path(), SectionName(key.section), key.name, value);
}

bool ConfigStore::writeLogical(const ConfigKey& key, bool value) {
    return write(key, ToText(value));
}

bool ConfigStore::writeInt(const ConfigKey& key, int32_t value) {
    return write(key, ToText(value));
}

bool ConfigStore::writeScrambled(const ConfigKey& key, const Text& plain) {
    return write(key, ScrambleText(plain));
}

bool ConfigStore::writeGroup(const KeyGroup& group, const std::vector<Text>& values) {
    bool allWritten = values.size() == group.keys.size();
    for (size_t i = 0; i < group.keys.size() && i < values.size(); ++i) {
        allWritten = write(*group.keys[i], values[i]) && allWritten;
    }
    return allWritten;
}

}  // namespace ld
