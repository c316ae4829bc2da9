#pragma once
// Source pre-processing: rewrites a source file into the column layout that
// the line parser expects (labels, comments, declarations and the column-1
// directives in column 1, every other statement after one tab) as a ".Trm"
// file beside it.

#include <string>
#include <string_view>

#include "core/pane.h"
#include "core/workspace.h"

namespace z51 {

// The layout of one line: trimmed of blanks and control characters at both
// ends, then either kept in column 1 or preceded by one TAB.
std::string TrimLine(std::string_view line);

// PROG.A51 gives PROG.Trm: the extension of the file name (or nothing, when
// it has none) is replaced by ".Trm"; a source named PROG.Trm gives
// PROG.Trm.Trm.
std::string TrimFileName(const std::string& sourceName);

// mnuTrimClick's work: `sourceName` becomes ws.SourceName; the pane is
// cleared and receives every rewritten line in black; the lines are written
// with CR LF ends to TrimFileName(sourceName), which is replaced only when
// complete. Raises FileError when the source cannot be read or the output
// cannot be written (an earlier .Trm then stays as it was).
void TrimSource(Pane& pane, Workspace& ws, const std::string& sourceName);

}  // namespace z51
