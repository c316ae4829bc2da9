#pragma once
// Byte-for-byte compare of two binary files over the length of the shorter
// one, with a side-by-side hexadecimal dump when they differ.

#include <string>

#include "core/pane.h"
#include "core/workspace.h"

namespace z51 {

enum class CompareResult { Identical, IdenticalUpToSmaller, Differ };

// The first file goes into ws.CodeImage, the second into the emulator's
// external RAM (ws.emu.xram), both from address 0; their sizes (65,536
// for a 64 KiB file, as the emulator's loads count it) into
// ws.emu.codeLoadCount and ws.emu.extRamCount; the names into ws.BinName and ws.BinName2. Both
// panes are cleared; on Differ `left` and `right` hold the dump of the
// common part with the differing bytes in red, otherwise `left` holds one
// line. A file that cannot be read, or is larger than 65,536 bytes, raises
// FileError before anything has changed.
CompareResult CompareBin(Workspace& ws, Pane& left, Pane& right, const std::string& name1, const std::string& name2);

}  // namespace z51
