#include "assembler/symtab.h"

#include <algorithm>
#include <cstring>

#include "assembler/asm_state.h"
#include "core/cp1251.h"

namespace z51 {

SymbolTable::SymbolTable() : LabelValues(LabelCapacity, 0), LabelDefined(LabelCapacity, 0) { Clear(); }

void SymbolTable::Clear() {
    LabelNames.clear();
    std::fill(LabelValues.begin(), LabelValues.end(), 0);
    std::fill(LabelDefined.begin(), LabelDefined.end(), 0);
    index_.clear();
    used_ = 0;
    LabelCount = 0;
    MaxLabelLen = 5;
}

std::string_view SymbolTable::Name(std::int32_t i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= LabelNames.size()) return {};
    const auto& n = LabelNames[static_cast<std::size_t>(i)];
    const void* nul = std::memchr(n.data(), 0, n.size());
    std::size_t len = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - n.data()) : n.size();
    return {n.data(), len};
}

std::int32_t SymbolTable::Find(std::string_view name) const {
    auto it = index_.find(name);
    if (it == index_.end() || it->second.empty()) return LabelCapacity;
    return it->second.front();
}

void SymbolTable::Unindex(std::int32_t i) {
    auto it = index_.find(Name(i));
    if (it == index_.end()) return;
    auto& v = it->second;
    v.erase(std::remove(v.begin(), v.end(), i), v.end());
    if (v.empty()) index_.erase(it);
}

void SymbolTable::Insert(std::int32_t i, std::string_view name) {
    if (i < used_) Unindex(i);
    if (static_cast<std::size_t>(i) >= LabelNames.size()) LabelNames.resize(static_cast<std::size_t>(i) + 1);
    auto& field = LabelNames[static_cast<std::size_t>(i)];
    field.fill(0);
    std::size_t n = std::min(name.size(), LabelNameLength);
    std::memcpy(field.data(), name.data(), n);
    auto& v = index_[std::string(Name(i))];
    v.insert(std::lower_bound(v.begin(), v.end(), i), i);
    if (i >= used_) used_ = i + 1;
    // Saturating: a name longer than 255 characters must not wrap the width.
    if (name.size() > MaxLabelLen) MaxLabelLen = static_cast<std::uint8_t>(std::min<std::size_t>(name.size(), 255));
    if (LabelCount < 0xFFFF) ++LabelCount;
    LabelDefined[static_cast<std::size_t>(i)] = 0;  // the old value stays until one is stored
}

std::int32_t SymbolTable::Get(std::string_view name, const std::array<std::string, 8>& regAlias) {
    // An empty name would leave the entry free while counting it; refuse it.
    if (name.empty()) return LabelCapacity;
    // The scan from entry 0 stops at the first entry that is free, whose
    // name is a register alias, or whose name equals `name`: take the
    // smallest of those three positions.
    std::int32_t stop = used_ < LabelCapacity ? used_ : LabelCapacity;
    bool insert = stop < LabelCapacity;
    for (const std::string& alias : regAlias) {
        if (alias.empty()) continue;
        std::int32_t a = Find(alias);
        if (a < stop) {
            stop = a;
            insert = true;
        }
    }
    std::int32_t found = Find(name);
    if (found < stop) return found;
    if (!insert) return LabelCapacity;
    Insert(stop, name);
    return stop;
}

void FindIndex_LBLEQU(AsmState& st, std::string_view name) { st.FoundIndex = st.Symbols.Find(name); }

void GetIndex_LBLEQU(AsmState& st, std::string_view name) { st.FoundIndex = st.Symbols.Get(name, st.RegAlias); }

void SaveIndex_LBLEQU(AsmState& st, std::int32_t value) {
    if (st.SkipLines) return;
    if (st.FoundIndex < 0 || st.FoundIndex >= LabelCapacity) return;
    auto i = static_cast<std::size_t>(st.FoundIndex);
    SymbolTable& t = st.Symbols;
    if (st.DupCheck && t.LabelDefined[i] == 1 && t.LabelValues[i] != value) {
        static const std::string kDup = cp("Дубликатное имя метки! (");
        st.LineError = kDup + std::to_string(t.LabelValues[i]) + "->" + std::to_string(value) + ")";
    } else {
        t.LabelDefined[i] = 1;
    }
    t.LabelValues[i] = value;
    if (!st.DefinedNames.contains(t.Name(st.FoundIndex))) st.DefinedNames.emplace(t.Name(st.FoundIndex));
}

}  // namespace z51
