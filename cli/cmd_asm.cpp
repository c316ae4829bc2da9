#include "cli/commands.h"

namespace z51 {

int CmdAsm(CliContext&) { return UsageError("asm: not available yet"); }

}  // namespace z51
