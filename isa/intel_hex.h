#pragma once
// Intel HEX records: the one writer (the assembler's .Hex and BinToHex) and
// the one reader of a record line (HexToBin and HEX record lines written in
// assembler sources).
//
// A record is ":" nn aaaa tt dd... cc: count, load address (high byte
// first), type, the data, and the checksum that makes the sum of all its
// bytes 0 modulo 256. Types: 00 data, 01 end of file, 02 extended segment
// address (upper address = value * 16), 03 start segment address, 04
// extended linear address (upper address = value * 65536), 05 start linear
// address. The writer uses digits in upper case and only types 00 and 01.

#include <array>
#include <cstdint>
#include <optional>
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

// --- Reader ---------------------------------------------------------------

enum class HexKind {
    Data,          // type 00
    End,           // type 01 with no data
    UpperAddress,  // type 02 or 04 with two data bytes
    StartAddress,  // type 03 or 05: where a monitor would jump; no program bytes
    Other,         // any other type, or a type pair that is not hexadecimal
};

// One record line taken apart.
struct HexRecordLine {
    std::uint8_t count = 0;
    std::uint16_t address = 0;  // the load address field
    int type = 0;               // 256 or more when its pair is not hexadecimal
    std::array<std::uint8_t, 255> data{};
    // An address, data or checksum pair that is not hexadecimal; such a
    // pair is read modulo 256 (a data pair gives 00).
    bool damaged = false;
    bool checksumOk = true;

    HexKind Kind() const;
};

// Reads ":" nn aaaa tt dd... cc from the start of `line` (the ":" included;
// what follows the checksum is not looked at). Nothing when the count pair
// is not hexadecimal or the line is shorter than 11 + 2n characters.
std::optional<HexRecordLine> DecodeHexRecord(std::string_view line);

// Where a record's bytes go in code memory.
struct HexPlacement {
    HexKind kind = HexKind::Other;
    std::uint32_t address = 0;  // Data: upper address + load address of the first byte
    std::size_t kept = 0;       // Data: the bytes that lie at or below FFFFH, from `address` on
    bool dropped = false;       // Data: some bytes lie above FFFFH; they are dropped, never wrapped
};

// Takes one record in the order of the file: an upper-address record sets
// `upperAddress` for the records that follow (a reader starts with 0).
HexPlacement PlaceHexRecord(const HexRecordLine& record, std::uint32_t& upperAddress);

// Notices of the readers (code page 1251), shown in purple.
const std::string& HexDroppedNotice();       // data above FFFFH were dropped
const std::string& HexStartIgnoredNotice();  // a start address record was not loaded
const std::string& HexNoEndNotice();         // the records ended without an end record

}  // namespace z51
