#include "cli/commands.h"

namespace z51 {

int CmdBin2Hex(CliContext&) { return UsageError("bin2hex: not available yet"); }

}  // namespace z51
