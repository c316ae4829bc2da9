#include "cli/commands.h"
#include "fileutil/hexconv.h"

namespace z51 {

// zanvek-cli hex2bin HEX BIN: the HexToBin command of the main window.
// Exit status 1 when no binary was written (no data record), or when data
// were dropped, lines skipped or had checksum errors, or the end record was
// missing (the binary is written all the same).
int CmdHex2Bin(CliContext& c) {
    if (c.args.size() != 2 || (c.args[0].size() > 1 && c.args[0][0] == '-') ||
        (c.args[1].size() > 1 && c.args[1][0] == '-'))
        return UsageError("usage: hex2bin HEX BIN");
    HexLoad load = ReadHexIntoImage(c.ws, c.args[0]);
    WriteBinFromHex(c.ws, c.out, load, c.args[1]);
    return load.Clean() ? 0 : 1;
}

}  // namespace z51
