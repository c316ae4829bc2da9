#pragma once
// Intel HEX records: the one writer (the assembler's .Hex and BinToHex).
//
// A record is ":" nn aaaa tt dd... cc: count, load address (high byte
// first), type, the data, and the checksum that makes the sum of all its
// bytes 0 modulo 256. Types: 00 data, 01 end of file, 02 extended segment
// address (upper address = value * 16), 03 start segment address, 04
// extended linear address (upper address = value * 65536), 05 start linear
// address. The writer uses digits in upper case and only types 00 and 01.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/code_image.h"

namespace z51 {

inline constexpr std::string_view kHexEndRecord = ":00000001FF";

// --- Writer ---------------------------------------------------------------

// Appends ":" nn aaaa tt data cc (no line end).
void AppendHexRecord(std::string& out, std::uint8_t type, std::uint16_t address,
                     std::span<const std::uint8_t> data);

// The HEX file of image[first .. last] (clamped to 0000..FFFFH; no data
// records when last < first): data records of `width` bytes (0 taken as 1),
// the last one holding the rest, records made only of FFH bytes left out
// (a reader fills what no record covers with FFH), then the end record.
// With `crlf` every record ends in CR LF; without it the data records end
// in LF and the end record has no line end at all.
std::string HexFileText(const CodeMemory& image, long first, long last, std::uint8_t width, bool crlf);

}  // namespace z51
