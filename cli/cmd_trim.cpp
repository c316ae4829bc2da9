#include "cli/commands.h"

namespace z51 {

int CmdTrim(CliContext&) { return UsageError("trim: not available yet"); }

}  // namespace z51
