#pragma once
// Code page 1251 to the character codes of a character LCD module with a
// Cyrillic character generator (the LCD data directive).

#include <array>
#include <cstdint>

namespace z51 {

// Latin letters, digits and punctuation keep their codes; Cyrillic letters
// go to the module's codes A0H..C7H and E0H..E6H, the ones that look like
// Latin letters to those letters.
extern const std::array<std::uint8_t, 256> WinLCD;

}  // namespace z51
