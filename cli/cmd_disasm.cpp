#include "cli/commands.h"

namespace z51 {

int CmdDisasm(CliContext&) { return UsageError("disasm: not available yet"); }

}  // namespace z51
