// Speed of the emulator window's full-speed run with its refreshes on, in
// the offscreen platform: the program of emu_bench.sh (50,040,202
// instructions, then SJMP $) run by the "Пуск" button until the halt loop
// stops it. Prints instructions and refreshes per second.
// Usage: debug_run_in_window

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>

#include "emulator/window/Emul51.h"
#include "emulator/window/EmulDebug.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Three nested DJNZ loops (see bench/emu_bench.sh).
    constexpr std::array<std::uint8_t, 28> kProgram = {
        0x90, 0x10, 0x00, 0x7F, 0x64, 0x7E, 0xC8, 0x7D, 0xFA, 0xED, 0x2E, 0x34, 0x03, 0xF0,
        0xA3, 0x93, 0x62, 0x30, 0x9F, 0xE2, 0xDD, 0xF3, 0xDE, 0xEF, 0xDF, 0xEB, 0x80, 0xFE};
    auto session = std::make_unique<z51::Session>();
    std::copy(kProgram.begin(), kProgram.end(), session->ws.CodeImage.begin());
    z51::TfrmEmul w(*session);
    w.show();
    w.IndicPorts();
    auto* run = w.findChild<QPushButton*>("btnRun");
    const long refreshes = w.RefreshCount();
    QElapsedTimer wall;
    const std::clock_t cpu0 = std::clock();
    wall.start();
    run->click();
    while (w.DebugPanel()->Running()) QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
    const double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
    const auto n = session->debugger.Instructions();
    std::printf("window full-speed run: %llu instructions, wall %.3fs, CPU %.3fs: %.1f M instr/s (wall), "
                "%.1f M instr/s (CPU), %.1f refreshes/s\n",
                static_cast<unsigned long long>(n), seconds, cpu, n / seconds / 1e6, n / cpu / 1e6,
                (w.RefreshCount() - refreshes) / seconds);
    return session->cpu.PC == 0x001A ? 0 : 1;
}
