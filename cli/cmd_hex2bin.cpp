#include "cli/commands.h"

namespace z51 {

int CmdHex2Bin(CliContext&) { return UsageError("hex2bin: not available yet"); }

}  // namespace z51
