#include "cli/commands.h"
#include "disassembler/disasm.h"

namespace z51 {

// zanvek-cli disasm [--labels] FILE: the disassembly commands of the main
// window. Writes FILE's .D51 and prints the listing. With --labels the plain
// sweep runs first (it finds the labels), then the labelled one rewrites
// the .D51; only the labelled listing is printed.
int CmdDisasm(CliContext& c) {
    bool labels = false;
    std::string file;
    for (const std::string& a : c.args) {
        if (a == "--labels") {
            labels = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return UsageError("disasm: unknown option " + a + " (usage: disasm [--labels] FILE)");
        } else if (file.empty()) {
            file = a;
        } else {
            return UsageError("usage: disasm [--labels] FILE");
        }
    }
    if (file.empty()) return UsageError("usage: disasm [--labels] FILE");
    Disassembler dis(c.ws);
    if (labels) {
        NullPane plain;
        dis.Deas(plain, file);
        NullPane second;
        dis.DeasLbl(c.out, second);
    } else {
        dis.Deas(c.out, file);
    }
    return 0;
}

}  // namespace z51
