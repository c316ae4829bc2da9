#include "assembler/trim.h"
#include "cli/commands.h"

namespace z51 {

// zanvek-cli trim FILE: the pre-processing command of the main window.
// The rewritten lines go to standard output and to FILE's ".Trm" file.
int CmdTrim(CliContext& c) {
    if (c.args.size() != 1) return UsageError("usage: trim FILE");
    TrimSource(c.out, c.ws, c.args[0]);
    return 0;
}

}  // namespace z51
