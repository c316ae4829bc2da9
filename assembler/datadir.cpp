#include "assembler/datadir.h"

#include <array>
#include <charconv>
#include <utility>

#include "assembler/parser.h"
#include "assembler/winlcd.h"

namespace z51 {
namespace {

constexpr std::array<std::pair<std::string_view, DataDirective>, 16> kDataWords = {{
    {"DBZ", DataDirective::DBZ},   {"DBE", DataDirective::DBE},   {"DB", DataDirective::DB},
    {"STR", DataDirective::STR},   {"STRW", DataDirective::STRW}, {"LCD", DataDirective::LCD},
    {"STRCR", DataDirective::STRCR}, {"STRWCR", DataDirective::STRWCR}, {"DEF8", DataDirective::DEF8},
    {"LINT", DataDirective::LINT}, {"FLT2", DataDirective::FLT2}, {"FLT3", DataDirective::FLT3},
    {"DEFL", DataDirective::DEFL}, {"DW", DataDirective::DW},     {"REL", DataDirective::REL},
    {"DS", DataDirective::DS},
}};

}  // namespace

std::optional<DataDirective> FindDataDirective(std::string_view mnemonic) {
    for (const auto& [word, d] : kDataWords)
        if (mnemonic == word) return d;
    return std::nullopt;
}

bool IsStringDirective(DataDirective d, std::string_view operand1) {
    switch (d) {
        case DataDirective::DB: return operand1.starts_with('\'');
        case DataDirective::DBZ:
        case DataDirective::DBE:
        case DataDirective::STR:
        case DataDirective::STRW:
        case DataDirective::LCD:
        case DataDirective::STRCR:
        case DataDirective::STRWCR: return true;
        default: return false;
    }
}

QuotedText ScanQuoted(std::string_view line, std::size_t open) {
    QuotedText q;
    if (open >= line.size()) return q;
    const std::size_t from = open + 1;
    q.close = line.find('\'', from);
    q.text = line.substr(from, (q.close == std::string_view::npos ? line.size() : q.close) - from);
    return q;
}

void StringBytes(DataDirective d, std::string_view text, LineData& out) {
    for (char c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        out.Add(d == DataDirective::LCD ? WinLCD[b] : b);
    }
    switch (d) {
        case DataDirective::STRCR:
        case DataDirective::STRWCR: out.Add(0x0D); break;
        case DataDirective::DBZ: out.Add(0x00); break;
        case DataDirective::DBE:
            // The end of the string is marked by bit 7 of its last byte.
            if (!out.Bytes().empty()) out.Bytes().back() ^= 0x80;
            break;
        default: break;
    }
}

ByteListScan ByteListBytes(std::string_view line, std::size_t start, const EvalFn& eval, LineData& out) {
    ByteListScan scan;
    std::string item;
    auto take = [&] {
        const EvalResult r = eval(item);
        out.Add(static_cast<std::uint8_t>(r.value));
        if (!r.valid) scan.allValid = false;
        item.clear();
    };
    std::size_t i = start;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == ';') break;
        if (c == ',') take();
        else item += UpperAscii(c);
    }
    if (!item.empty()) take();
    scan.stop = i;
    return scan;
}

std::optional<std::int32_t> ParseLint(std::string_view text) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9') return std::nullopt;
    // Magnitude in 64 bits so that -2147483648 is accepted.
    std::int64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

void LintBytes(std::int32_t value, LineData& out) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out.Add(static_cast<std::uint8_t>(u >> (8 * i)));
}

void WordBytes(std::int32_t value, LineData& out) {
    const auto u = static_cast<std::uint32_t>(value);
    out.Add(static_cast<std::uint8_t>(u >> 8));
    out.Add(static_cast<std::uint8_t>(u));
}

void RelByte(std::int32_t target, std::int32_t lineAddr, LineData& out) {
    const std::uint32_t d = static_cast<std::uint32_t>(target) - (static_cast<std::uint32_t>(lineAddr) + 1u);
    out.Add(static_cast<std::uint8_t>(d));
}

void DsBytes(std::int32_t value, LineData& out) { out.Add(0x00, static_cast<std::uint32_t>(value) & 0xFFu); }

}  // namespace z51
