#pragma once
// The main window: every command is a menu item; all textual output goes
// to the rich-text panes reText and reText2. Handlers are thin: pick the
// files, call the core, refresh.

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTimer>
#include <functional>
#include <memory>

#include "assembler/assembler.h"
#include "disassembler/disasm.h"
#include "emulator/emufiles.h"
#include "shell/dialogs.h"
#include "shell/qt_pane.h"
#include "shell/session.h"

namespace z51 {

class TfrmSelfAbout;
class TfrmEmul;

// Geometry of the panels and panes for a window size (the layout rule).
struct MainLayout {
    int pnlMainWidth, pnlTxtWidth, pnlTxtHeight;
    int reTextWidth, reTextHeight;
    int reText2Width, reText2Left;
    bool labelsShown;
};
MainLayout LayoutRule(int windowWidth, int windowHeight, bool compareShown);

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    TfrmMain(Session& session, std::unique_ptr<Dialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The other two windows of the program, created after this one.
    void SetWindows(TfrmSelfAbout* about, TfrmEmul* emul);
    // Window creation, step 4: a source named on the command line.
    void StartWithSource(const QString& sourceName);

    // Shows or hides reText2 and applies the layout rule.
    void ShowCompare(bool shown);
    void OnResizing();
    // The size the layout rule counts in (see KestrixC.cpp).
    QSize OuterSize() const;

    // Menu handlers.
    void mnuOpenFClick();
    void mnuTrnClick();
    void mnuTrimClick();
    void mnuDeasClick();
    void mnuDeasLblClick();
    void mnuBinToHexClick();
    void mnuHexToBinClick();
    void mnuCompBinClick();
    void mnuQuitClick();
    void mnuEmulClick();
    void mnuLoadBinClick();
    void mnuLoadRegsClick();
    void mnuSaveRegsClick();
    void mnuLoadExtClick();
    void mnuSaveExtClick();
    void mnuModelClick(Model model);  // mnuModelSimple, mnuModel8051, mnuModel8052
    void mnuHelpClick();
    void mnuAutorClick();
    void tmrAsmTimer();

    // Components that the commands use.
    QWidget* pnlMain;
    QLabel* lblSrcN;
    QLabel* lblSource;
    QWidget* pnlTxt;
    QPlainTextEdit* reText;
    QPlainTextEdit* reText2;
    QTimer* tmrAsm;
    QAction *mnuOpenF, *mnuTrn, *mnuTrim, *mnuDeas, *mnuDeasLbl, *mnuBinToHex, *mnuHexToBin, *mnuCompBin, *mnuQuit;
    QAction *mnuEmul, *mnuLoadBin, *mnuLoadRegs, *mnuSaveRegs, *mnuLoadExt, *mnuSaveExt;
    QAction *mnuModelSimple, *mnuModel8051, *mnuModel8052;
    QAction *mnuHelp, *mnuAutor;

    QtPane& Pane1() { return pane1_; }
    QtPane& Pane2() { return pane2_; }
    Assembler& Asm() { return asm_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildMenu();
    void StartAssembly();  // Prohod1 and the first-pass timer
    // Runs a command; a file-system failure is shown in the error box.
    void Guard(const std::function<void()>& command);
    std::optional<std::string> Pick(Dlg d);
    void RefreshEmulator();
    bool ShowLoad(const LoadResult& r);

    Workspace& ws_;
    Cpu51& cpu_;
    std::unique_ptr<Dialogs> dialogs_;
    QtPane pane1_;
    QtPane pane2_;
    Assembler asm_;
    Disassembler deas_;
    TfrmSelfAbout* about_ = nullptr;
    TfrmEmul* emul_ = nullptr;
    QString asmDialogName_;  // what openAsm holds between commands
};

// Monospace font of the panes: Courier New's metric twin where installed.
QFont PaneFont(int pixelSize, bool bold);

}  // namespace z51
