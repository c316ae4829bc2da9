#include "cli/commands.h"

namespace z51 {

int CmdIsa(CliContext&) { return UsageError("isa: not available yet"); }

}  // namespace z51
