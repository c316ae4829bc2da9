// zanvek: the main window, the About box and the emulator window, created
// in that order; a source named on the command line is assembled at once.

#include <QApplication>
#include <memory>

#include "emulator/window/Emul51.h"
#include "shell/About.h"
#include "shell/KestrixC.h"
#include "shell/session.h"

int main(int argc, char** argv) {
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
