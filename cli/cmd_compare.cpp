#include <algorithm>

#include "cli/commands.h"
#include "fileutil/compare.h"

namespace z51 {

namespace {

std::size_t Width(const RecordingPane::Line& line) {
    std::size_t n = 0;
    for (const auto& run : line) n += run.text.size();  // code page 1251: one byte, one character
    return n;
}

void PrintRuns(Pane& out, const RecordingPane::Line& line) {
    for (const auto& run : line) {
        out.SetColor(run.color);
        out.Append(run.text);
    }
}

}  // namespace

// zanvek-cli compare A B: the binary compare of the main window. When the
// files differ the two panes are printed side by side: the two file lines
// first, then the dump rows of A and B next to each other, differing bytes
// in red (with --color). Exit status 0 only when the files are identical,
// size included; 1 otherwise.
int CmdCompare(CliContext& c) {
    if (c.args.size() != 2 || (c.args[0].size() > 1 && c.args[0][0] == '-') ||
        (c.args[1].size() > 1 && c.args[1][0] == '-'))
        return UsageError("usage: compare A B");
    RecordingPane left, right;
    const CompareResult r = CompareBin(c.ws, left, right, c.args[0], c.args[1]).result;
    if (r != CompareResult::Differ) {
        for (const auto& line : left.Lines()) {
            c.out.AddLine("");
            PrintRuns(c.out, line);
        }
        return r == CompareResult::Identical ? 0 : 1;
    }
    const auto& l = left.Lines();
    const auto& rl = right.Lines();
    for (std::size_t i = 0; i < std::min<std::size_t>(1, l.size()); ++i) {
        c.out.AddLine("");
        PrintRuns(c.out, l[i]);
        c.out.AddLine("");
        PrintRuns(c.out, rl[i]);
    }
    std::size_t width = 0;
    for (std::size_t i = 1; i < l.size(); ++i) width = std::max(width, Width(l[i]));
    for (std::size_t i = 1; i < l.size() && i < rl.size(); ++i) {
        c.out.AddLine("");
        PrintRuns(c.out, l[i]);
        c.out.SetColor(clr::Black);
        c.out.Append(std::string(width - Width(l[i]) + 3, ' '));
        PrintRuns(c.out, rl[i]);
    }
    return 1;
}

}  // namespace z51
