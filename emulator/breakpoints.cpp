#include "emulator/breakpoints.h"

#include <algorithm>
#include <charconv>

#include "core/cp1251.h"
#include "isa/hex.h"
#include "isa/tables.h"

namespace z51 {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// A part of the text with its offset, blanks trimmed.
struct Part {
    std::string_view text;
    std::size_t at;
};
Part Trim(std::string_view s, std::size_t at) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return {s.substr(b, e - b), at + b};
}

bool Fail(Condition::Error& error, std::size_t at, const char* utf8) {
    error.column = at + 1;
    error.message = cp(utf8);
    return false;
}

// "0123H", "0A000H", "X:" ranges: hexadecimal with an H suffix and a "0"
// in front when the first digit is a letter.
std::string HexText(unsigned value, int digits) {
    std::string h;
    if (digits == 4) AppendHex4(h, static_cast<std::uint16_t>(value));
    else AppendHex2(h, static_cast<std::uint8_t>(value));
    if (h[0] > '9') h.insert(h.begin(), '0');
    return h + 'H';
}

// A condition written in part `p` of the text; the fault's column counts
// in the whole text.
bool CompileIn(Part p, const SymbolLookup* symbols, Condition& out, Condition::Error& error) {
    auto c = Condition::Compile(p.text, error, symbols);
    if (!c) {
        error.column += p.at;
        return false;
    }
    out = std::move(*c);
    return true;
}

// An address written as a constant expression (or, where `sfrNames`, an
// SFR name), within 0..limit.
bool ParseAddress(Part p, std::uint32_t limit, bool sfrNames, const SymbolLookup* symbols, std::uint16_t& out,
                  Condition::Error& error) {
    if (p.text.empty()) return Fail(error, p.at, "Ожидается адрес");
    if (sfrNames) {
        std::string name(p.text);
        for (char& c : name) c = Up(c);
        const auto named = name == "A" ? std::optional<std::uint8_t>(sfr::ACC) : FindSfr(name);
        if (named) {
            out = *named;
            return true;
        }
    }
    Condition c;
    if (!CompileIn(p, symbols, c, error)) return false;
    const auto v = c.Constant();
    if (!v) return Fail(error, p.at, "Адрес должен быть числом или именем метки");
    if (*v < 0 || static_cast<std::uint32_t>(*v) > limit)
        return Fail(error, p.at, limit == 0xFF ? "Адрес вне 00H..0FFH" : "Адрес вне 0000H..0FFFFH");
    out = static_cast<std::uint16_t>(*v);
    return true;
}

// Position of the word IF standing on its own in `s`, or npos.
std::size_t FindIf(std::string_view s) {
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (Up(s[i]) != 'I' || Up(s[i + 1]) != 'F') continue;
        const bool before = i == 0 || IsBlank(s[i - 1]);
        const bool after = i + 2 == s.size() || IsBlank(s[i + 2]);
        if (before && after) return i;
    }
    return std::string_view::npos;
}

}  // namespace

std::string Breakpoint::Where() const {
    std::string s;
    switch (kind) {
        case BreakKind::Address:
            s = HexText(address, 4);
            if (!condition.Empty()) s += " IF " + condition.Text();
            break;
        case BreakKind::Condition:
            s = condition.Text();
            break;
        case BreakKind::Read:
        case BreakKind::Write: {
            const int digits = space == MemSpace::External ? 4 : 2;
            s = space == MemSpace::External ? "X:" : "";
            s += HexText(first, digits);
            if (last != first) s += "-" + HexText(last, digits);
            break;
        }
    }
    return s;
}

std::string Breakpoint::Text() const {
    return hitTarget > 1 ? Where() + "," + std::to_string(hitTarget) : Where();
}

std::optional<Breakpoint> ParseBreakpoint(BreakKind kind, std::string_view text, Condition::Error& error,
                                          const SymbolLookup* symbols) {
    Breakpoint bp;
    bp.kind = kind;
    // ",N": the hit that stops the run. Conditions have no commas, so the
    // last one is this.
    std::string_view body = text;
    if (const std::size_t comma = text.rfind(','); comma != std::string_view::npos) {
        const Part n = Trim(text.substr(comma + 1), comma + 1);
        std::uint32_t hits = 0;
        const auto [end, ec] = std::from_chars(n.text.data(), n.text.data() + n.text.size(), hits, 10);
        if (n.text.empty() || ec != std::errc() || end != n.text.data() + n.text.size() || hits == 0) {
            Fail(error, n.at, "После запятой ожидается номер попадания: десятичное число от 1");
            return std::nullopt;
        }
        bp.hitTarget = hits;
        body = text.substr(0, comma);
    }
    const Part all = Trim(body, 0);
    switch (kind) {
        case BreakKind::Address: {
            const std::size_t f = FindIf(all.text);
            const Part where = Trim(all.text.substr(0, std::min(f, all.text.size())), all.at);
            if (!ParseAddress(where, 0xFFFF, false, symbols, bp.address, error)) return std::nullopt;
            if (f != std::string_view::npos) {
                const Part cond = Trim(all.text.substr(f + 2), all.at + f + 2);
                if (!CompileIn(cond, symbols, bp.condition, error)) return std::nullopt;
            }
            return bp;
        }
        case BreakKind::Condition:
            if (!CompileIn(all, symbols, bp.condition, error)) return std::nullopt;
            return bp;
        case BreakKind::Read:
        case BreakKind::Write: {
            Part range = all;
            if (range.text.size() >= 2 && Up(range.text[0]) == 'X' && range.text[1] == ':') {
                bp.space = MemSpace::External;
                range = Trim(range.text.substr(2), range.at + 2);
            }
            const std::uint32_t limit = bp.space == MemSpace::External ? 0xFFFF : 0xFF;
            const std::size_t dash = range.text.find('-');
            const Part from = Trim(range.text.substr(0, std::min(dash, range.text.size())), range.at);
            if (!ParseAddress(from, limit, true, symbols, bp.first, error)) return std::nullopt;
            bp.last = bp.first;
            if (dash != std::string_view::npos) {
                const Part to = Trim(range.text.substr(dash + 1), range.at + dash + 1);
                if (!ParseAddress(to, limit, true, symbols, bp.last, error)) return std::nullopt;
                if (bp.last < bp.first) {
                    Fail(error, to.at, "Конец диапазона меньше его начала");
                    return std::nullopt;
                }
            }
            return bp;
        }
    }
    return std::nullopt;
}

Breakpoints::Breakpoints() : armed_(0x10000 / 64, 0) {}

std::size_t Breakpoints::Add(Breakpoint bp) {
    items_.push_back(std::move(bp));
    Rebuild();
    return items_.size() - 1;
}

void Breakpoints::Replace(std::size_t i, Breakpoint bp) {
    if (bp.kind == items_[i].kind && bp.Where() == items_[i].Where()) bp.hits = items_[i].hits;
    items_[i] = std::move(bp);
    Rebuild();
}

void Breakpoints::Remove(std::size_t i) {
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    Rebuild();
}

void Breakpoints::SetEnabled(std::size_t i, bool enabled) {
    items_[i].enabled = enabled;
    Rebuild();
}

void Breakpoints::ResetHits() {
    for (Breakpoint& b : items_) b.hits = 0;
}

std::optional<std::size_t> Breakpoints::FindAddress(std::uint16_t address) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].kind == BreakKind::Address && items_[i].address == address) return i;
    return std::nullopt;
}

void Breakpoints::ToggleAddress(std::uint16_t address) {
    if (const auto i = FindAddress(address)) {
        Remove(*i);
        return;
    }
    Breakpoint bp;
    bp.address = address;
    Add(std::move(bp));
}

int Breakpoints::OnAccess(MemSpace space, std::uint16_t address, bool write) {
    int stop = -1;
    const BreakKind kind = write ? BreakKind::Write : BreakKind::Read;
    for (std::size_t i : access_) {
        Breakpoint& b = items_[i];
        if (b.kind == kind && b.space == space && address >= b.first && address <= b.last && b.Hit())
            Note(stop, i);
    }
    return stop;
}

void Breakpoints::Rebuild() {
    addresses_.clear();
    conditions_.clear();
    access_.clear();
    std::fill(armed_.begin(), armed_.end(), 0);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Breakpoint& b = items_[i];
        if (!b.enabled) continue;
        switch (b.kind) {
            case BreakKind::Address:
                addresses_.push_back(i);
                armed_[b.address >> 6] |= std::uint64_t{1} << (b.address & 63);
                break;
            case BreakKind::Condition:
                conditions_.push_back(i);
                break;
            case BreakKind::Read:
            case BreakKind::Write:
                access_.push_back(i);
                break;
        }
    }
}

}  // namespace z51
