// zanvek-cli asm FILE: both passes through the window's driver; the console
// shows what the window shows after the final pass.

#include <cstdio>
#include <string>

#include "assembler/assembler.h"
#include "cli/commands.h"

namespace z51 {

int CmdAsm(CliContext& c) {
    if (c.args.size() != 1 || c.args[0].empty() || c.args[0][0] == '-')
        return UsageError("usage: zanvek-cli asm FILE");
    c.ws.SourceName = c.args[0];
    // The first pass writes into the window before the final pass clears
    // it; a console cannot take text back, so it goes nowhere.
    NullPane firstPass;
    Assembler assembler(c.ws, firstPass);
    assembler.Prohod1();  // FileError: reported by main, exit 2
    assembler.RunFirstPass();
    assembler.SetPane(c.out);
    bool ok = assembler.FinalPass();
    if (ok) return 0;
    switch (assembler.LastOutcome()) {
        case Assembler::Outcome::SourceErrors:
            return 1;
        default:
            c.out.Finish();
            return UsageError(assembler.LastFailure().empty() ? "asm: the final pass failed"
                                                              : assembler.LastFailure());
    }
}

}  // namespace z51
