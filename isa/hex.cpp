#include "isa/hex.h"

namespace z51 {

std::string ByteToHex2(std::uint8_t b) {
    std::string s;
    AppendHex2(s, b);
    return s;
}

std::string WordToHex4(std::uint16_t w) {
    std::string s;
    AppendHex4(s, w);
    return s;
}

int Hex2ToByte(std::string_view text) {
    int hi = text.empty() ? -1 : HexDigitValue(text[0]);
    if (hi < 0) return 256;
    int lo = text.size() < 2 ? -1 : HexDigitValue(text[1]);
    if (lo < 0) return 512;
    return hi * 16 + lo;
}

}  // namespace z51
