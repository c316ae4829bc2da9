#include "cli/commands.h"

namespace z51 {

int CmdEmu(CliContext&) { return UsageError("emu: not available yet"); }

}  // namespace z51
