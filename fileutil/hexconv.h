#pragma once
// Intel HEX conversion: binary image to HEX records and back (the records
// themselves are isa/intel_hex.h). The files written hold data records and
// the end record only; records whose data bytes are all FFH are not
// written, and the reader fills what no record covers with FFH.

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
    bool clipped = false;      // data above FFFFH were dropped
    bool startIgnored = false; // a start address record (type 03/05) was not loaded
    bool endRecord = false;    // the end record was read
    std::vector<long> skippedLines;        // malformed lines and records of other types, not loaded
    std::vector<long> checksumErrorLines;  // taken, but the checksum (or a digit pair) is wrong

    // Nothing dropped, skipped, damaged or missing.
    bool Clean() const {
        return hasData && !clipped && endRecord && skippedLines.empty() && checksumErrorLines.empty();
    }
};

// Fills CodeImage with FFH and loads the records of hexName into it. Sets
// ws.HexName. Reading stops at the end record (type 01); types 02 and 04
// set the upper load address of the records that follow.
HexLoad ReadHexIntoImage(Workspace& ws, const std::string& hexName);

// Writes CodeImage[0 .. load.highest] to binName (".Bin" appended when the
// name has no "."), sets ws.BinName and reports: the result line, then, in
// purple, the skipped lines, the checksum errors, dropped data, an ignored
// start address and a missing end record. Without any data record no file
// is written and a red line says so.
void WriteBinFromHex(Workspace& ws, Pane& pane, const HexLoad& load, const std::string& binName);


}  // namespace z51
