#pragma once
// The symbol table: one flat table of label and equate names with their
// values, filled in order of first insertion and searched from entry 0.
// It lives from the start of an assembly through every final pass, which
// is how forward references resolve.
//
// An index (name -> entries holding it) stands beside the arrays; it gives
// exactly the entry that a scan from 0 would give.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "assembler/name_hash.h"

namespace z51 {

struct AsmState;

inline constexpr std::int32_t LabelCapacity = 2559;
inline constexpr std::size_t LabelNameLength = 64;

class SymbolTable {
public:
    SymbolTable();

    // Empties names, values and defined flags; LabelCount 0, MaxLabelLen 5.
    void Clear();

    // Name of entry i (its bytes up to the first NUL, at most 64); empty
    // for a free entry.
    std::string_view Name(std::int32_t i) const;
    // Entries in use; they run from index 0 without gaps.
    std::int32_t Occupied() const { return used_; }

    // First entry holding `name`, or LabelCapacity.
    std::int32_t Find(std::string_view name) const;
    // Find or insert. An entry whose name equals one of the non-empty
    // register aliases counts as free and is overwritten. Returns
    // LabelCapacity when the table is full or the name is empty.
    std::int32_t Get(std::string_view name, const std::array<std::string, 8>& regAlias);

    std::vector<std::int32_t> LabelValues;  // LabelCapacity entries
    std::vector<std::uint8_t> LabelDefined;  // 1 once a value was stored
    std::uint16_t LabelCount = 0;            // names inserted
    std::uint8_t MaxLabelLen = 5;            // longest name inserted

private:
    void Insert(std::int32_t i, std::string_view name);
    void Unindex(std::int32_t i);

    // Names of the entries in use (entries are taken from 0 without gaps),
    // grown as they are: a table mostly empty costs little to make.
    std::vector<std::array<char, LabelNameLength>> LabelNames;
    std::int32_t used_ = 0;
    // Stored name -> ascending entry numbers that hold it (names cut to 64
    // characters and alias overwrites can leave the same name twice).
    std::unordered_map<std::string, std::vector<std::int32_t>, NameHash, std::equal_to<>> index_;
};

// The three operations of the line parser and the evaluator, on AsmState.
// FindIndex_LBLEQU: lookup only; sets FoundIndex (LabelCapacity = absent).
void FindIndex_LBLEQU(AsmState& st, std::string_view name);
// GetIndex_LBLEQU: find or insert; sets FoundIndex (LabelCapacity = full).
void GetIndex_LBLEQU(AsmState& st, std::string_view name);
// SaveIndex_LBLEQU: stores `value` at FoundIndex with the duplicate test
// for code labels (DupCheck); does nothing while SkipLines is set.
void SaveIndex_LBLEQU(AsmState& st, std::int32_t value);

}  // namespace z51
