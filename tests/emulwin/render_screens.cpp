// Renders the emulator window, and the main window with an assembled
// example, to PNG files: zanvek-screens OUTDIR [SUFFIX] [EXAMPLE.a51];
// with an example also the emulator window running it in the 8051 model.
// Run it with QT_QPA_PLATFORM=offscreen (and QT_SCALE_FACTOR=2 for the
// double-size pictures); docs/screenshots.sh does both.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "emulator/chip.h"
#include "emulator/exec.h"
#include "emulator/window/Emul51.h"
#include "shell/KestrixC.h"
#include "shell/session.h"

namespace {

// A small program that blinks P1.0 with a delay loop.
constexpr std::array<std::uint8_t, 18> kBlink = {
    0x75, 0x81, 0x30,  // 0000  MOV  081H,#030H   SP
    0x90, 0x01, 0x00,  // 0003  MOV  DPTR,#00100H
    0x74, 0x0F,        // 0006  MOV  A,#00FH
    0xF5, 0x90,        // 0008  MOV  090H,A        P1
    0xB2, 0x90,        // 000A  CPL  P1.0
    0x78, 0x05,        // 000C  MOV  R0,#005H
    0xD8, 0xFE,        // 000E  DJNZ R0,0000EH
    0x80, 0xF8,        // 0010  SJMP 0000AH
};

void Settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool Save(QWidget& w, const QString& path) {
    const QPixmap pm = w.grab();
    if (!pm.save(path, "PNG")) {
        std::fprintf(stderr, "zanvek-screens: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(path), pm.width(), pm.height());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zanvek-screens OUTDIR [SUFFIX] [EXAMPLE.a51]\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString example =
        argc > 3 ? QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath() : QString();
    QDir().mkpath(out);
    bool ok = true;
    bool assembled = false;  // the code image holds the example

    // The main window with the listing of the example, assembled in a
    // scratch folder so that its .Bin and .Hex land there.
    auto session = std::make_unique<z51::Session>();
    z51::Workspace* ws = &session->ws;
    z51::TfrmMain main(*session);
    z51::TfrmEmul emul(*session, &main);
    main.SetWindows(nullptr, &emul);
    QTemporaryDir scratch;
    if (!example.isEmpty() && scratch.isValid()) {
        // The window names the source as given: a bare name reads best.
        const QString source = QFileInfo(example).fileName();
        if (QDir::setCurrent(scratch.path()) && QFile::copy(example, source)) {
            main.show();
            main.StartWithSource(source);
            QElapsedTimer t;
            t.start();
            while (main.Asm().FirstPassRunning() && t.elapsed() < 20000)
                QApplication::processEvents(QEventLoop::AllEvents, 10);
            main.mnuTrnClick();
            assembled = main.Asm().LastOutcome() == z51::Assembler::Outcome::Written;
            Settle(200);
            ok = Save(main, out + "/main" + suffix + ".png") && ok;
        } else {
            std::fprintf(stderr, "zanvek-screens: cannot read %s\n", qPrintable(example));
            ok = false;
        }
    }

    // The emulator window a few steps into the example (or, without it,
    // into the blink program above).
    if (!assembled) std::copy(kBlink.begin(), kBlink.end(), ws->CodeImage.begin());
    session->cpu.R.fill(0);
    session->cpu.PC = 0;
    emul.IndicPorts();
    for (int i = 0; i < 9; ++i) emul.btnGoStepClick();
    // A breakpoint three instructions ahead, shown in the code view.
    std::uint16_t ahead = session->cpu.PC;
    for (int i = 0; i < 3; ++i) ahead = static_cast<std::uint16_t>(ahead + z51::kInstructionLength[ws->CodeImage[ahead]]);
    session->debugger.breakpoints.ToggleAddress(ahead);
    emul.IndicPorts();
    emul.show();
    Settle(120);
    ok = Save(emul, out + "/emulator" + suffix + ".png") && ok;

    // The 8051 model: the example a second into its run, asked for the
    // time on its serial port.
    if (assembled) {
        session->debugger.breakpoints.ToggleAddress(ahead);
        z51::SelectModel(session->cpu, z51::Model::I8051);
        z51::Run(session->cpu, ws->CodeImage, 700'000);
        emul.TerminalTyped("T");
        z51::Run(session->cpu, ws->CodeImage, 8'000);
        emul.IndicPorts();
        emul.adjustSize();
        Settle(120);
        ok = Save(emul, out + "/emulator-8051" + suffix + ".png") && ok;
    }
    return ok ? 0 : 1;
}
