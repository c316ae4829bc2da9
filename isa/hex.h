#pragma once
// Hexadecimal spelling of bytes and addresses: upper-case digits, high
// nibble first, no prefix or suffix. Every listing, dump, record and
// register box spells its numbers through these.

#include <cstdint>
#include <string>
#include <string_view>

namespace z51 {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Writes the two digits of b at out; returns the position after them.
constexpr char* PutHex2(char* out, std::uint8_t b) {
    out[0] = kHexDigits[b >> 4];
    out[1] = kHexDigits[b & 15];
    return out + 2;
}
// Writes the four digits of w at out; returns the position after them.
constexpr char* PutHex4(char* out, std::uint16_t w) {
    return PutHex2(PutHex2(out, static_cast<std::uint8_t>(w >> 8)), static_cast<std::uint8_t>(w));
}

inline void AppendHex2(std::string& out, std::uint8_t b) {
    char d[2];
    PutHex2(d, b);
    out.append(d, sizeof d);
}
inline void AppendHex4(std::string& out, std::uint16_t w) {
    char d[4];
    PutHex4(d, w);
    out.append(d, sizeof d);
}

// Two digits of a byte, ByteToHex2(0x5A) == "5A".
std::string ByteToHex2(std::uint8_t b);
// Four digits of a 16-bit value, WordToHex4(0x0123) == "0123".
std::string WordToHex4(std::uint16_t w);

// Value of one hexadecimal digit of either case, -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Value of the first two characters (upper-cased): 0..255, 256 when the
// first is not a hexadecimal digit, 512 when only the second is not.
int Hex2ToByte(std::string_view text);

}  // namespace z51
