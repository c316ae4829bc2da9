#include "core/source_map.h"

#include <algorithm>

namespace z51 {

bool SourceMap::Describes(const CodeMemory& code) const {
    return image.size() == code.size() && std::equal(image.begin(), image.end(), code.begin());
}

const SourceLine* SourceMap::At(std::uint16_t address) const {
    if (address >= lines.size() || lines[address].line == 0) return nullptr;
    return &lines[address];
}

std::string SourceMap::Where(std::uint16_t address) const {
    const SourceLine* l = At(address);
    if (!l || l->file >= files.size()) return {};
    return files[l->file] + ":" + std::to_string(l->line);
}

const SourceSymbol* SourceMap::LabelAt(std::uint16_t address) const {
    for (const SourceSymbol& s : symbols)
        if (s.codeLabel && s.value == address) return &s;
    return nullptr;
}

std::optional<std::int32_t> SourceMap::Value(std::string_view name) const {
    for (const SourceSymbol& s : symbols)
        if (s.name == name) return s.value;
    return std::nullopt;
}

}  // namespace z51
