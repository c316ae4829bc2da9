#pragma once
// Intel HEX conversion: binary image to HEX records and back, and the
// record writer that the assembler's .Hex output shares.
//
// Records are the 16-bit subset of Intel HEX: ":" nn aaaa tt dd... cc, all
// digits upper-case, type 00 for data, the end record ":00000001FF", no
// extended-address records. Records whose data bytes are all FFH are not
// written; the reader fills what no record covers with FFH.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/fileio.h"
#include "core/pane.h"
#include "core/workspace.h"

namespace z51 {

// Binary file into CodeImage from 0 (the rest of the image keeps its
// bytes), then the HEX file with ws.HexWidth / ws.HexCR. A HEX name without
// "." gets ".Hex". Sets ws.BinName and ws.HexName; reports into pane.
// A binary larger than 65,536 bytes raises FileError and changes nothing.
void BinToHex(Workspace& ws, Pane& pane, const std::string& binName, const std::string& hexName);

// What ReadHexIntoImage found. Line numbers count from 1 over every line of
// the file up to the end record.
struct HexLoad {
    std::string hexName;
    long lowest = 0xFFFF;      // lowest address that received a data byte
    long highest = -1;         // highest address that received a data byte
    bool hasData = false;      // at least one data byte was loaded
    bool clipped = false;      // some record ran past FFFFH and was cut there
    std::vector<long> skippedLines;        // malformed lines, not loaded
    std::vector<long> checksumErrorLines;  // loaded, but the checksum (or a digit pair) is wrong
};

// Fills CodeImage with FFH and loads the records of hexName into it. Sets
// ws.HexName. Reading stops at the exact end record ":00000001FF"; records
// of any other type are loaded as data at their address.
HexLoad ReadHexIntoImage(Workspace& ws, const std::string& hexName);

// Writes CodeImage[0 .. load.highest] to binName (".Bin" appended when the
// name has no "."), sets ws.BinName and reports: the result line, then, in
// purple, the skipped lines and the checksum errors. Without any data
// record no file is written and a red line says so.
void WriteBinFromHex(Workspace& ws, Pane& pane, const HexLoad& load, const std::string& binName);

// Data records for image[first .. last] (clamped to 0..FFFFH; nothing when
// last < first), `width` bytes per record (0 taken as 1), each record
// ending in CR LF when cr != 0, else in LF.
void WriteHexRecords(AtomicFile& out, const CodeMemory& image, long first, long last, std::uint8_t width, std::uint8_t cr);
// The end record ":00000001FF", with CR LF when cr != 0, else with no line end.
void WriteHexEnd(AtomicFile& out, std::uint8_t cr);

// The same records as text (tests, and callers that build a file in memory).
std::string HexRecordsText(const CodeMemory& image, long first, long last, std::uint8_t width, std::uint8_t cr);

}  // namespace z51
