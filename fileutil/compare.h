#pragma once
// Byte-for-byte compare of two binary files over the length of the shorter
// one, with a side-by-side hexadecimal dump when they differ.

#include <cstdint>
#include <string>
#include <vector>

#include "core/pane.h"
#include "core/workspace.h"

namespace z51 {

enum class CompareResult { Identical, IdenticalUpToSmaller, Differ };

struct CompareOutcome {
    CompareResult result = CompareResult::Identical;
    std::uint32_t firstSize = 0;       // bytes of the first file (65,536 for 64 KiB)
    std::vector<std::uint8_t> second;  // the second file, for the emulator's external RAM
};

// The first file goes into ws.CodeImage from address 0; the second comes
// back in the outcome, for the emulator's external RAM; the names go into
// ws.BinName and ws.BinName2. Both panes are cleared; on Differ `left` and `right` hold the dump of the
// common part with the differing bytes in red, otherwise `left` holds one
// line. A file that cannot be read, or is larger than 65,536 bytes, raises
// FileError before anything has changed.
CompareOutcome CompareBin(Workspace& ws, Pane& left, Pane& right, const std::string& name1, const std::string& name2);

}  // namespace z51
