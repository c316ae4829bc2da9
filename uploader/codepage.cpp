#include "uploader/codepage.h"

#include <array>
#include <cstdio>

namespace tolvane {

namespace {

// Bytes 80H..BFH: punctuation and the letters outside the Russian
// alphabet. From C0H on the code page runs through А..я in order.
// clang-format off
constexpr std::array<char16_t, 64> kPunctuationAndOtherLetters = {
    /* 80 */ 0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    /* 88 */ 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    /* 90 */ 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    /* 98 */ 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    /* A0 */ 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    /* A8 */ 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    /* B0 */ 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    /* B8 */ 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};
// clang-format on

constexpr char16_t kCapitalA = 0x0410;

}  // namespace

char16_t Cp1251Char(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte < 0xC0) return kPunctuationAndOtherLetters[byte - 0x80];
    return static_cast<char16_t>(kCapitalA + (byte - 0xC0));
}

std::string Cp1251ToUtf8(std::string_view text) {
    std::string utf8;
    utf8.reserve(text.size() * 2);
    for (const char byte : text) {
        const char16_t c = Cp1251Char(static_cast<unsigned char>(byte));
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

std::string Cp1251ToUcs2Hex(std::string_view text) {
    std::string hex;
    hex.reserve(text.size() * 4);
    for (const char byte : text) {
        char digits[5];
        std::snprintf(digits, sizeof digits, "%04X",
                      static_cast<unsigned>(Cp1251Char(static_cast<unsigned char>(byte))));
        hex += digits;
    }
    return hex;
}

}  // namespace tolvane
