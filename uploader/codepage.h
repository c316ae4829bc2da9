#pragma once
// Names in a phone-book file are code page 1251 bytes. They go to the port
// unchanged; a UTF-8 terminal shows them converted, and phones that keep
// Cyrillic names only in UCS-2 get them as UCS-2 hexadecimal.

#include <string>
#include <string_view>

namespace tolvane {

// The Unicode character of a code page 1251 byte; the unassigned byte 98H
// gives U+FFFD.
char16_t Cp1251Char(unsigned char byte);

std::string Cp1251ToUtf8(std::string_view text);

// Four upper-case hexadecimal digits per character, as AT+CSCS="UCS2" wants
// every text field: "Ив" -> "04180432".
std::string Cp1251ToUcs2Hex(std::string_view text);

}  // namespace tolvane
