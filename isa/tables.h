#pragma once
// The 8051 vocabulary: special function registers, bit names, one-byte
// instructions and multi-byte instruction patterns. Constant data; record
// order is data, since every lookup takes the first record that matches.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace z51 {

// Short string: length byte, then 8 character bytes (zero after the name).
struct NameRecord {
    std::uint8_t len;
    char name[8];
    std::uint8_t addr;
    std::string_view Name() const { return {name, len}; }
};

// 19 text bytes, zero-terminated and zero-padded.
struct OneByteRecord {
    char text[19];
    std::uint8_t opcode;
    // Up to the first zero.
    constexpr std::string_view Text() const {
        return {text, static_cast<std::size_t>(std::find(text, text + sizeof text, '\0') - text)};
    }
};

// 13 pattern bytes with placeholder codes; a pattern that fills all 13
// bytes has no terminating zero.
struct MultiByteRecord {
    char pattern[13];
    std::uint8_t opcode;
    // Up to the first zero or 13 bytes.
    constexpr std::string_view Pattern() const {
        return {pattern, static_cast<std::size_t>(std::find(pattern, pattern + sizeof pattern, '\0') - pattern)};
    }
};

// Placeholder bytes of MultiByteCmds patterns.
enum OperandKind : std::uint8_t { kAddr11 = 1, kRel8 = 2, kData8 = 3, kAddr16 = 4, kBit = 5 };

inline constexpr std::size_t kSfrCount = 88;
inline constexpr std::size_t kBitCount = 224;
inline constexpr std::size_t kOneByteCount = 278;
inline constexpr std::size_t kMultiByteCount = 124;

extern const std::span<const NameRecord, kSfrCount> SfrTable;
extern const std::span<const NameRecord, kBitCount> BitTable;
extern const std::span<const OneByteRecord, kOneByteCount> OneByteCmds;
extern const std::span<const MultiByteRecord, kMultiByteCount> MultiByteCmds;

// Exact, case-sensitive lookups by whole name; first record wins.
std::optional<std::uint8_t> FindSfr(std::string_view name);
std::optional<std::uint8_t> FindBit(std::string_view name);

// First record with the opcode (the canonical spelling), or nullptr.
const OneByteRecord* OneByteByOpcode(std::uint8_t opcode);
const MultiByteRecord* MultiByteByOpcode(std::uint8_t opcode);

// Instruction length of a pattern: 1 + placeholders, +1 more per addr16.
// Every byte 1..8 of a pattern is an operand field of one byte.
constexpr int PatternLength(std::string_view pattern) {
    int length = 1;
    for (char c : pattern) {
        auto b = static_cast<std::uint8_t>(c);
        if (b >= 1 && b <= 8) ++length;
        if (b == kAddr16) ++length;
    }
    return length;
}
// Listing word of a placeholder byte: "addr11", "rel8", "data8", "addr16", "bit".
std::string_view OperandWord(std::uint8_t code);

// Name of a bit address: 20H.0 style for 00H..7FH, else the first BitTable
// name, else the first SfrTable name.
std::string BitDecode(std::uint8_t bitAddress);
// First SfrTable name of a direct address, or "" when none.
std::string DecodData8(std::uint8_t address);

// Cyrillic letters that look like Latin ones, mapped to those letters
// (code page 1251 byte in, byte out; every other byte maps to itself).
extern const std::array<std::uint8_t, 256> CyrToLat;

}  // namespace z51
