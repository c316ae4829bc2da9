#include "cli/commands.h"
#include "fileutil/isa_listing.h"

namespace z51 {

int CmdIsa(CliContext& c) {
    if (!c.args.empty()) return UsageError("isa takes no arguments (usage: zanvek-cli isa)");
    PrintInstructionSet(c.out);
    return 0;
}

}  // namespace z51
