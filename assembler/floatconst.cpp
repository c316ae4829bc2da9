#include "assembler/floatconst.h"

#include <bit>
#include <cmath>
#include <limits>

namespace z51 {
namespace {

// The binary32 value nearest 0.1 (3DCCCCCDH): the first fraction weight.
const float kTenth = std::bit_cast<float>(std::uint32_t{0x3DCCCCCDu});

// Rounds an extended-precision step into the result type; nullopt when it
// no longer fits (the value becomes infinite).
template <typename R>
std::optional<R> Store(long double x) {
    R r = static_cast<R>(x);
    if (std::isinf(r)) return std::nullopt;
    return r;
}

template <typename R>
std::optional<R> ValFloat(std::string_view text) {
    R r = 0;
    float w = 1.0f;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            const long double d = ch - '0';
            std::optional<R> next;
            if (w == 1.0f) {
                next = Store<R>(static_cast<long double>(r) * 10 + d);
            } else {
                next = Store<R>(static_cast<long double>(r) + d * static_cast<long double>(w));
                w = static_cast<float>(static_cast<long double>(w) / 10);
            }
            if (!next) return std::nullopt;
            r = *next;
        } else if (ch == '.') {
            w = kTenth;
        }
    }
    if (!text.empty() && text.front() == '-') r = -r;
    return r;
}

}  // namespace

std::optional<float> ValFloat2(std::string_view text) { return ValFloat<float>(text); }
std::optional<double> ValFloat3(std::string_view text) { return ValFloat<double>(text); }

std::array<std::uint8_t, 4> Flt2Bytes(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

std::array<std::uint8_t, 6> Flt3Bytes(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    std::array<std::uint8_t, 6> out{};
    for (int i = 0; i < 6; ++i) out[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    return out;
}

}  // namespace z51
