// zanvek: the main window, the About box and the emulator window, created
// in that order; a source named on the command line is assembled at once.

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "emulator/window/Emul51.h"
#include "shell/About.h"
#include "shell/KestrixC.h"
#include "shell/session.h"

namespace {

constexpr const char* kHelp =
    "Usage: zanvek [FILE]\n"
    "\n"
    "Opens the main window (assembler, disassembler, HEX conversion, compare) and\n"
    "the 8051 emulator window. A FILE named here, an 8051 assembler source such as\n"
    "PROG.A51, is assembled at once: its first pass runs as the window opens.\n"
    "The same commands without a display: zanvek-cli --help.\n"
    "\n"
    "Options:\n"
    "  --help     print this text\n"
    "  --version  print the version\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they work without a display.
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "--version") == 0)) {
        std::fputs(argv[1][2] == 'h' ? kHelp : "zanvek " ZANVEK_VERSION "\n", stdout);
        return 0;
    }
    QApplication app(argc, argv);
    auto session = std::make_unique<z51::Session>();

    z51::TfrmMain main(*session);
    z51::TfrmSelfAbout about(&main);
    z51::TfrmEmul emul(*session, &main);
    main.SetWindows(&about, &emul);
    main.show();

    const QStringList args = QApplication::arguments();
    if (args.size() > 1) main.StartWithSource(args.at(1));
    return app.exec();
}
