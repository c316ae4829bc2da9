#include "cli/commands.h"
#include "fileutil/hexconv.h"

namespace z51 {

// zanvek-cli hex2bin HEX BIN: the HexToBin command of the main window.
// Exit status 1 when no binary was written (no data record) or when lines
// were skipped or had checksum errors (the binary is written all the same).
int CmdHex2Bin(CliContext& c) {
    if (c.args.size() != 2 || (c.args[0].size() > 1 && c.args[0][0] == '-') ||
        (c.args[1].size() > 1 && c.args[1][0] == '-'))
        return UsageError("usage: hex2bin HEX BIN");
    HexLoad load = ReadHexIntoImage(c.ws, c.args[0]);
    WriteBinFromHex(c.ws, c.out, load, c.args[1]);
    const bool clean = load.hasData && load.skippedLines.empty() && load.checksumErrorLines.empty();
    return clean ? 0 : 1;
}

}  // namespace z51
