// zanvek: the main window, the About box and the emulator window, created
// in that order; a source named on the command line is assembled at once.

#include <QApplication>
#include <memory>

#include "core/workspace.h"
#include "emulator/Emul51.h"
#include "shell/About.h"
#include "shell/KestrixC.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    auto ws = std::make_unique<z51::Workspace>();

    z51::TfrmMain main(*ws);
    z51::TfrmSelfAbout about(&main);
    z51::TfrmEmul emul(*ws, &main);
    main.SetWindows(&about, &emul);
    main.show();

    const QStringList args = QApplication::arguments();
    if (args.size() > 1) main.StartWithSource(args.at(1));
    return app.exec();
}
