#include <cstdlib>

#include "cli/commands.h"
#include "fileutil/hexconv.h"

namespace z51 {

// zanvek-cli bin2hex [--width N] [--lf] BIN HEX: the BinToHex command of the
// main window. On the console the records hold 16 bytes and end in CR LF
// unless --width or --lf (LF line ends, none after the end record) say
// otherwise.
int CmdBin2Hex(CliContext& c) {
    static const char* const kUsage = "usage: bin2hex [--width N] [--lf] BIN HEX";
    c.ws.HexWidth = 16;
    c.ws.HexCR = 1;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        if (a == "--lf") {
            c.ws.HexCR = 0;
        } else if (a == "--width") {
            if (i + 1 >= c.args.size()) return UsageError(kUsage);
            const std::string& v = c.args[++i];
            char* end = nullptr;
            long w = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || w < 1 || w > 255)
                return UsageError("bin2hex: --width takes a number of bytes from 1 to 255, not " + v);
            c.ws.HexWidth = static_cast<std::uint8_t>(w);
        } else if (a.size() > 1 && a[0] == '-') {
            return UsageError("bin2hex: unknown option " + a + " (" + kUsage + ")");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) return UsageError(kUsage);
    BinToHex(c.ws, c.out, files[0], files[1]);
    return 0;
}

}  // namespace z51
