#include "isa/intel_hex.h"

#include <algorithm>

#include "isa/tables.h"

namespace z51 {

namespace {

constexpr long kImageSize = 0x10000;

}  // namespace

void AppendHexRecord(std::string& out, std::uint8_t type, std::uint16_t address,
                     std::span<const std::uint8_t> data) {
    std::uint8_t sum = 0;
    auto put = [&](std::uint8_t b) {
        AppendHex2(out, b);
        sum = static_cast<std::uint8_t>(sum + b);
    };
    out += ':';
    put(static_cast<std::uint8_t>(data.size()));
    put(static_cast<std::uint8_t>(address >> 8));
    put(static_cast<std::uint8_t>(address & 0xFF));
    put(type);
    for (std::uint8_t b : data) put(b);
    AppendHex2(out, static_cast<std::uint8_t>(-sum));
}

std::string HexFileText(const CodeMemory& image, long first, long last, std::uint8_t width, bool crlf) {
    first = std::max(first, 0L);
    last = std::min(last, kImageSize - 1);
    const long w = width == 0 ? 1 : width;
    std::string text;
    if (last >= first) text.reserve(static_cast<std::size_t>((last - first + 1) / w + 1) * static_cast<std::size_t>(13 + 2 * w));
    for (long a = first; a <= last; a += w) {
        const auto data = std::span<const std::uint8_t>(image).subspan(static_cast<std::size_t>(a),
                                                                         static_cast<std::size_t>(std::min(w, last - a + 1)));
        if (std::all_of(data.begin(), data.end(), [](std::uint8_t b) { return b == 0xFF; })) continue;
        AppendHexRecord(text, 0x00, static_cast<std::uint16_t>(a), data);
        text += crlf ? "\r\n" : "\n";
    }
    text += kHexEndRecord;
    if (crlf) text += "\r\n";
    return text;
}

}  // namespace z51
