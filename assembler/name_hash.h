#pragma once
// Quick lookups of the short upper-case names of the assembler (labels,
// register and bit names, mnemonics, directive words).

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace z51 {

struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept {
        std::uint64_t h = 1469598103934665603ull;  // FNV-1a
        for (unsigned char c : s) {
            h ^= c;
            h *= 1099511628211ull;
        }
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

// A fixed set of names, built once: open addressing in a power-of-two
// table. The first value added for a name is the one kept, as in a scan
// of a table from its first record.
template <class V>
class NameTable {
public:
    void Add(std::string_view name, V value) { pending_.emplace_back(name, std::move(value)); }
    // Call once after the last Add.
    void Build() {
        std::size_t size = 16;
        while (size < pending_.size() * 4) size *= 2;
        slots_.assign(size, Slot{});
        mask_ = size - 1;
        for (auto& [name, value] : pending_) {
            std::size_t i = NameHash{}(name) & mask_;
            while (slots_[i].used && slots_[i].name != name) i = (i + 1) & mask_;
            if (!slots_[i].used) slots_[i] = Slot{name, std::move(value), true};
        }
        pending_.clear();
        pending_.shrink_to_fit();
    }
    const V* Find(std::string_view name) const {
        if (slots_.empty()) return nullptr;
        std::size_t i = NameHash{}(name) & mask_;
        while (slots_[i].used) {
            if (slots_[i].name == name) return &slots_[i].value;
            i = (i + 1) & mask_;
        }
        return nullptr;
    }

private:
    struct Slot {
        std::string_view name;
        V value{};
        bool used = false;
    };
    std::vector<std::pair<std::string_view, V>> pending_;
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

}  // namespace z51
