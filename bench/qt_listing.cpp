// Times how long the main window takes to show the listing of a final pass
// of about 20,000 lines (generated source), in the offscreen platform.
// Usage: listing_in_window [LINES]

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>

#include "core/fileio.h"
#include "shell/KestrixC.h"

namespace {

class NoDialogs : public z51::Dialogs {
public:
    std::optional<QString> Pick(z51::Dlg) override { return std::nullopt; }
    void Error(const QString& text) override { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); }
};

std::string GenerateSource(int lines) {
    static const char* kForms[] = {
        "        MOV     A,#12H          ; load\r\n",   "        ADD     A,R3\r\n",
        "        MOV     30H,40H         ; copy\r\n",    "        DJNZ    R7,L%d\r\n",
        "        SETB    P1.0\r\n",                      "        MOV     DPTR,#1234H\r\n",
        "        MOVX    @DPTR,A          ; store @\r\n", "        CJNE    A,#5,L%d\r\n",
    };
    std::string src;
    char buf[128];
    for (int i = 0; i < lines; ++i) {
        if (i % 10 == 0) {
            std::snprintf(buf, sizeof buf, "L%d:\r\n", i / 10);
        } else {
            std::snprintf(buf, sizeof buf, kForms[i % 8], i / 10);
        }
        src += buf;
    }
    return src;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 20000;
    QTemporaryDir dir;
    const std::string path = dir.filePath("BIG.A51").toStdString();
    z51::WriteFileAtomic(path, std::string_view(GenerateSource(lines)));

    auto session = std::make_unique<z51::Session>();
    z51::TfrmMain win(*session, std::make_unique<NoDialogs>());
    win.show();
    win.StartWithSource(QString::fromStdString(path));
    while (win.tmrAsm->isActive()) win.tmrAsmTimer();
    QApplication::processEvents();

    QElapsedTimer t;
    t.start();
    win.mnuTrnClick();
    QApplication::processEvents();
    const qint64 ms = t.elapsed();
    std::printf("final pass of %d lines shown in the window: %lld ms (%d blocks)\n", lines, static_cast<long long>(ms),
                win.reText->document()->blockCount());
    return 0;
}
