#pragma once
// Packed numeric constants of the FLT2 and FLT3 data directives: decimal
// text to IEEE 754 binary32 / binary64, and the byte layouts emitted.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace z51 {

// Decimal text to binary32. Digits before the first "." build the integer
// part; after a "." each digit is weighted by a binary32 weight that starts
// at the binary32 nearest 0.1 and is divided by ten per digit (a second "."
// starts the weights again). Every other character is ignored; a leading
// "-" negates. Each step is computed in extended precision and rounded to
// nearest when stored. nullopt when the value overflows binary32.
std::optional<float> ValFloat2(std::string_view text);
// The same loop with a binary64 result (the weights stay binary32).
std::optional<double> ValFloat3(std::string_view text);

// FLT2 bytes: the binary32 value, most significant byte (sign, exponent)
// first.
std::array<std::uint8_t, 4> Flt2Bytes(float value);
// FLT3 bytes: the six most significant bytes of the binary64 value (sign,
// exponent and the top 36 fraction bits), most significant first; two zero
// bytes appended restore the double.
std::array<std::uint8_t, 6> Flt3Bytes(double value);

}  // namespace z51
