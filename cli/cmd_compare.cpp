#include "cli/commands.h"

namespace z51 {

int CmdCompare(CliContext&) { return UsageError("compare: not available yet"); }

}  // namespace z51
