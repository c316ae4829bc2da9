// zanvek-cli: every command of the zanvek main window, without a display.

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "core/file_error.h"

namespace z51 {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "zanvek-cli: %s\n", message.c_str());
    return 2;
}

namespace {

struct Command {
    const char* name;
    int (*run)(CliContext&);
    const char* usage;
};

constexpr Command kCommands[] = {
    {"asm", CmdAsm, "asm FILE                 assemble FILE: listing, FILE.Bin and FILE.Hex"},
    {"trim", CmdTrim, "trim FILE                rewrite FILE into column layout as FILE.Trm"},
    {"disasm", CmdDisasm, "disasm [--labels] FILE   disassemble a binary into FILE.D51"},
    {"bin2hex", CmdBin2Hex, "bin2hex [--width N] [--lf] BIN HEX\n                           convert a binary to Intel HEX"},
    {"hex2bin", CmdHex2Bin, "hex2bin HEX BIN          convert Intel HEX to a binary"},
    {"compare", CmdCompare, "compare A B              compare two binaries (exit 1 when they differ)"},
    {"isa", CmdIsa, "isa                      print the instruction, register and bit tables"},
    {"emu", CmdEmu, "emu [options] PROG.bin   run a program (or a source) in the emulator (see emu --help)"},
};

void PrintHelp(std::FILE* to) {
    std::fputs("Usage: zanvek-cli [OPTIONS] COMMAND ARGS...\n\nCommands:\n", to);
    for (const Command& c : kCommands) std::fprintf(to, "  %s\n", c.usage);
    std::fputs(
        "\nOptions:\n"
        "  --color, --colour        colours on standard output (default: only on a terminal)\n"
        "  --no-color, --no-colour  no colours\n"
        "  --help, -h               this text; emu --help tells the emulator's options\n"
        "  --version                print the version\n"
        "\nHEX settings (bin2hex): --width N (bytes per record, default 16), --lf (LF line ends,\n"
        "no line end after the end record).\n"
        "Exit status: 0 success; 1 the command's negative result (assembly errors, files that\n"
        "differ, HEX lines skipped, emu --until address not reached or --expect failed); 2 usage\n"
        "or file errors.\n",
        to);
}

}  // namespace
}  // namespace z51

int main(int argc, char** argv) {
    using namespace z51;
    bool colour = ::isatty(STDOUT_FILENO) != 0;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        std::string_view a = argv[i];
        if (a == "--color" || a == "--colour") colour = true;
        else if (a == "--no-color" || a == "--no-colour") colour = false;
        else if (a == "--help" || a == "-h") { PrintHelp(stdout); return 0; }
        else if (a == "--version") { std::puts("zanvek-cli " ZANVEK_VERSION); return 0; }
        else return UsageError("unknown option " + std::string(a) + " (see --help)");
    }
    if (i >= argc) {
        PrintHelp(stderr);
        return 2;
    }
    std::string_view name = argv[i];
    for (const Command& cmd : kCommands) {
        if (name != cmd.name) continue;
        auto ws = std::make_unique<Workspace>();
        ConsolePane out(stdout, colour);
        CliContext ctx{*ws, out, colour, {argv + i + 1, argv + argc}};
        try {
            int rc = cmd.run(ctx);
            out.Finish();
            return rc;
        } catch (const FileError& e) {
            out.Finish();
            return UsageError(e.Path() + ": " + e.Reason());
        }
    }
    return UsageError("unknown command " + std::string(name) + " (see --help)");
}
