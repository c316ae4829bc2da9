#include "core/cp1251.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace z51 {
namespace {

// Unicode code points of bytes 80H..FFH.
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

char ToByte(char32_t c) {
    if (c < 0x80) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c && c != 0xFFFD) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view text) {
    std::string out;
    AppendCp1251AsUtf8(out, text);
    return out;
}

namespace {

// UTF-8 of bytes 80H..FFH: the bytes, padded to four, and their count.
struct Utf8Of {
    char bytes[4];
    std::uint8_t length;
};
constexpr std::array<Utf8Of, 128> kHighUtf8 = [] {
    std::array<Utf8Of, 128> t{};
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char16_t c = kHigh[i];
        Utf8Of& u = t[i];
        if (c < 0x800) {
            u.bytes[u.length++] = static_cast<char>(0xC0 | (c >> 6));
        } else {
            u.bytes[u.length++] = static_cast<char>(0xE0 | (c >> 12));
            u.bytes[u.length++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        u.bytes[u.length++] = static_cast<char>(0x80 | (c & 0x3F));
    }
    return t;
}();

}  // namespace

char* PutCp1251AsUtf8(char* out, std::string_view text) {
    // Listings of tens of thousands of lines pass through here, eight bytes
    // at a time: the bytes before the first one with its high bit set are
    // copied as they are, that one takes two or three bytes.
    const char* from = text.data();
    const char* const end = from + text.size();
    while (from != end) {
        if (std::endian::native == std::endian::little && end - from >= 8) {
            std::uint64_t word;
            std::memcpy(&word, from, 8);
            std::memcpy(out, &word, 8);
            const std::uint64_t high = word & 0x8080808080808080ull;
            if (high == 0) {
                out += 8;
                from += 8;
                continue;
            }
            const int ascii = std::countr_zero(high) / 8;
            out += ascii;
            from += ascii;
        }
        const auto b = static_cast<unsigned char>(*from++);
        if (b < 0x80) {
            *out++ = static_cast<char>(b);
        } else {
            const Utf8Of& u = kHighUtf8[b - 0x80];
            std::memcpy(out, u.bytes, 4);
            out += u.length;
        }
    }
    return out;
}

void AppendCp1251AsUtf8(std::string& out, std::string_view text) {
    // In blocks on the stack, appended when full.
    char block[3 * 2048 + 8];
    while (!text.empty()) {
        const std::string_view piece = text.substr(0, 2048);
        out.append(block, static_cast<std::size_t>(PutCp1251AsUtf8(block, piece) - block));
        text.remove_prefix(piece.size());
    }
}

std::string Utf8To1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        char32_t c;
        int extra;
        if (b < 0x80) { c = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; }
        else { out += '?'; ++i; continue; }
        if (i + extra >= utf8.size()) {  // truncated sequence
            out += '?';
            break;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char t = static_cast<unsigned char>(utf8[i + k]);
            if ((t & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (t & 0x3F);
        }
        if (!ok) { out += '?'; ++i; continue; }
        out += ToByte(c);
        i += extra + 1;
    }
    return out;
}

const std::string& CpMessage(const char* utf8) {
    // Keyed by the literal's address: each message is converted once.
    static std::unordered_map<const char*, std::string> cache;
    auto it = cache.find(utf8);
    if (it == cache.end()) it = cache.emplace(utf8, cp(utf8)).first;
    return it->second;
}

}  // namespace z51
