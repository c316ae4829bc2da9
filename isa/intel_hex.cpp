#include "isa/intel_hex.h"

#include <algorithm>

#include "core/cp1251.h"
#include "isa/hex.h"

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
    if (last >= first) text.reserve(static_cast<std::size_t>(((last - first + 1) / w + 1) * (13 + 2 * w)));
    for (long a = first; a <= last; a += w) {
        const auto data = std::span<const std::uint8_t>(image).subspan(
            static_cast<std::size_t>(a), static_cast<std::size_t>(std::min(w, last - a + 1)));
        if (std::all_of(data.begin(), data.end(), [](std::uint8_t b) { return b == 0xFF; })) continue;
        AppendHexRecord(text, 0x00, static_cast<std::uint16_t>(a), data);
        text += crlf ? "\r\n" : "\n";
    }
    text += kHexEndRecord;
    if (crlf) text += "\r\n";
    return text;
}

HexKind HexRecordLine::Kind() const {
    switch (type) {
        case 0x00: return HexKind::Data;
        case 0x01: return count == 0 ? HexKind::End : HexKind::Other;
        case 0x02:
        case 0x04: return count == 2 ? HexKind::UpperAddress : HexKind::Other;
        case 0x03:
        case 0x05: return HexKind::StartAddress;
        default: return HexKind::Other;
    }
}

std::optional<HexRecordLine> DecodeHexRecord(std::string_view line) {
    if (line.empty() || line.front() != ':') return std::nullopt;
    const int n = Hex2ToByte(line.substr(1));
    if (n > 255 || line.size() < 11 + 2 * static_cast<std::size_t>(n)) return std::nullopt;
    HexRecordLine r;
    r.count = static_cast<std::uint8_t>(n);
    auto pair = [&](std::size_t pos) {
        const int v = Hex2ToByte(line.substr(pos));
        if (v > 255) r.damaged = true;
        return static_cast<std::uint8_t>(v & 0xFF);
    };
    const std::uint8_t hi = pair(3), lo = pair(5);
    r.address = static_cast<std::uint16_t>(hi << 8 | lo);
    r.type = Hex2ToByte(line.substr(7));
    std::uint8_t sum = static_cast<std::uint8_t>(n + hi + lo + (r.type & 0xFF));
    for (std::size_t i = 0; i < r.count; ++i) {
        r.data[i] = pair(9 + 2 * i);
        sum = static_cast<std::uint8_t>(sum + r.data[i]);
    }
    sum = static_cast<std::uint8_t>(sum + pair(9 + 2 * std::size_t{r.count}));
    r.checksumOk = sum == 0 && !r.damaged && r.type <= 255;
    return r;
}

HexPlacement PlaceHexRecord(const HexRecordLine& record, std::uint32_t& upperAddress) {
    HexPlacement p;
    p.kind = record.Kind();
    if (p.kind == HexKind::UpperAddress) {
        const std::uint32_t value = std::uint32_t{record.data[0]} << 8 | record.data[1];
        upperAddress = record.type == 0x02 ? value << 4 : value << 16;
    } else if (p.kind == HexKind::Data) {
        // 32-bit addresses never wrap in 64 bits; what lies above FFFFH is
        // beyond the 8051's code memory.
        const std::uint64_t address = std::uint64_t{upperAddress} + record.address;
        p.address = static_cast<std::uint32_t>(std::min<std::uint64_t>(address, kImageSize));
        p.kept = address >= kImageSize
                     ? 0
                     : std::min<std::size_t>(record.count, static_cast<std::size_t>(kImageSize - address));
        p.dropped = p.kept < record.count;
    }
    return p;
}

const std::string& HexDroppedNotice() {
    static const std::string text = cp("Данные за адресом FFFFH отброшены.");
    return text;
}

const std::string& HexStartIgnoredNotice() {
    static const std::string text = cp("Запись стартового адреса (тип 03/05) проигнорирована.");
    return text;
}

const std::string& HexNoEndNotice() {
    static const std::string text = cp("Записи HEX не завершены записью конца файла (:00000001FF).");
    return text;
}

}  // namespace z51
