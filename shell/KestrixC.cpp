#include "shell/KestrixC.h"

#include <QActionGroup>
#include <QApplication>
#include <QFontDatabase>
#include <QMenuBar>
#include <QEvent>
#include <QScreen>

#include "assembler/trim.h"
#include "core/cp1251.h"
#include "core/file_error.h"
#include "emulator/chip.h"
#include "emulator/emufiles.h"
#include "emulator/window/Emul51.h"
#include "fileutil/compare.h"
#include "fileutil/hexconv.h"
#include "fileutil/isa_listing.h"
#include "shell/About.h"

namespace z51 {
namespace {

constexpr int kWidth = 981;
constexpr int kHeight = 600;
constexpr int kPanelHeight = 59;
// The window's outer size, in which the layout rule counts, is its client
// area below the menu bar plus the frame of the window the rule was made
// for: 8-pixel borders, a 31-pixel caption and a 20-pixel menu bar. Qt
// sizes a window without its frame, and window managers draw frames of
// their own, so the outer size is counted so on every platform; the panes
// then end 3 pixels from the right edge and 6 from the bottom, as the rule
// intends, instead of leaving empty bands.
constexpr int kFrameWidth = 2 * 8;
constexpr int kFrameHeight = 31 + 20 + 8;

std::string ToCore(const QString& s) { return s.toStdString(); }

}  // namespace

QFont PaneFont(int pixelSize, bool bold) {
    QFont f;
    for (const char* family : {"Courier New", "Liberation Mono", "DejaVu Sans Mono"}) {
        if (QFontDatabase::hasFamily(family)) {
            f = QFont(family);
            break;
        }
    }
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

MainLayout LayoutRule(int windowWidth, int windowHeight, bool compareShown) {
    MainLayout l{};
    l.pnlMainWidth = windowWidth - 19;
    l.pnlTxtWidth = l.pnlMainWidth;
    l.pnlTxtHeight = windowHeight - 124;
    l.reTextHeight = l.pnlTxtHeight - 10;
    if (!compareShown) {
        l.reTextWidth = l.pnlTxtWidth - 10;
        l.labelsShown = true;
    } else {
        l.reTextWidth = (l.pnlTxtWidth - 11) / 2;  // C++ division rounds toward zero, as div does
        l.reText2Width = l.reTextWidth;
        l.reText2Left = (l.pnlTxtWidth - 1) / 2;
        l.labelsShown = false;
    }
    return l;
}

TfrmMain::TfrmMain(Session& session, std::unique_ptr<Dialogs> dialogs, QWidget* parent)
    : QMainWindow(parent),
      ws_(session.ws),
      cpu_(session.cpu),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>(this)),
      // The two text panes are made here, before the QtPanes that write to them.
      pane1_(reText = new QPlainTextEdit),
      pane2_(reText2 = new QPlainTextEdit),
      asm_(session.ws, pane1_),
      deas_(session.ws) {
    setObjectName("TfrmMain");
    setWindowTitle(QStringLiteral("Kestrix CrossCompiler for I8051 chip architecture"));
    setFont(PaneFont(13, true));

    auto* central = new QWidget(this);
    central->installEventFilter(this);
    central->setAutoFillBackground(true);
    QPalette pal = central->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Highlight));
    central->setPalette(pal);
    setCentralWidget(central);

    pnlMain = new QWidget(central);
    pnlMain->setObjectName("pnlMain");
    pnlMain->setAutoFillBackground(true);
    QPalette info = pnlMain->palette();
    info.setColor(QPalette::Window, info.color(QPalette::ToolTipBase));
    pnlMain->setPalette(info);
    pnlMain->setGeometry(0, 0, kWidth - 19, kPanelHeight);

    lblSrcN = new QLabel(QStringLiteral("Выбран файл:"), pnlMain);
    lblSrcN->setObjectName("lblSrcN");
    QFont times(QStringLiteral("Times New Roman"));
    times.setStyleHint(QFont::Serif);
    times.setPixelSize(16);
    times.setBold(true);
    lblSrcN->setFont(times);
    QPalette green = lblSrcN->palette();
    green.setColor(QPalette::WindowText, ToQColor(clr::Green));
    lblSrcN->setPalette(green);
    lblSrcN->setGeometry(8, 8, 130, 22);
    lblSource = new QLabel(QStringLiteral("None"), pnlMain);
    lblSource->setObjectName("lblSource");
    lblSource->setGeometry(140, 8, kWidth - 170, 22);

    pnlTxt = new QWidget(central);
    pnlTxt->setObjectName("pnlTxt");
    pnlTxt->move(0, kPanelHeight);
    for (QPlainTextEdit* pane : {reText, reText2}) {
        pane->setParent(pnlTxt);
        pane->setReadOnly(true);
        pane->setLineWrapMode(QPlainTextEdit::NoWrap);
        pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        pane->setFont(PaneFont(13, true));
        pane->move(5, 5);
    }
    reText->setObjectName("reText");
    reText2->setObjectName("reText2");
    reText2->hide();

    tmrAsm = new QTimer(this);
    tmrAsm->setObjectName("tmrAsm");
    tmrAsm->setInterval(1);
    connect(tmrAsm, &QTimer::timeout, this, &TfrmMain::tmrAsmTimer);

    BuildMenu();
    resize(kWidth - kFrameWidth, kHeight - kFrameHeight + menuBar()->sizeHint().height());
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    // FormCreate
    mnuTrn->setEnabled(false);
    mnuDeasLbl->setEnabled(false);
    ws_.HexWidth = 16;
    OnResizing();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::BuildMenu() {
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (TfrmMain::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(name); };

    QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
    file->setObjectName("mnuFile");
    mnuOpenF = item(file, "mnuOpenF", QStringLiteral("&Oткрыть транслируемый файл"), &TfrmMain::mnuOpenFClick);
    mnuTrn = item(file, "mnuTrn", QStringLiteral("Запустить повторную компиляцию"), &TfrmMain::mnuTrnClick);
    separator(file, "mnuRazd0");
    mnuTrim = item(file, "mnuTrim", QStringLiteral("Предварительная  обработка файла в стиле Asm"), &TfrmMain::mnuTrimClick);
    separator(file, "mnuRzd1");
    mnuDeas = item(file, "mnuDeas", QStringLiteral("Дизассемблировать Bin-файл"), &TfrmMain::mnuDeasClick);
    mnuDeasLbl = item(file, "mnuDeasLbl", QStringLiteral("Повторное (меточное) дизассемблирование"), &TfrmMain::mnuDeasLblClick);
    separator(file, "mnuRzd2");
    mnuBinToHex = item(file, "mnuBinToHex", QStringLiteral("BinToHex"), &TfrmMain::mnuBinToHexClick);
    mnuHexToBin = item(file, "mnuHexToBin", QStringLiteral("HexToBin"), &TfrmMain::mnuHexToBinClick);
    separator(file, "mnuRzd3");
    mnuCompBin = item(file, "mnuCompBin", QStringLiteral("Сравнение Bin-файлов"), &TfrmMain::mnuCompBinClick);
    separator(file, "mnuRzd4");
    mnuQuit = item(file, "mnuQuit", QStringLiteral("&Bыйти из программы"), &TfrmMain::mnuQuitClick);

    QMenu* emul = menuBar()->addMenu(QStringLiteral("Режим эмуляции"));
    emul->setObjectName("mnuREmul");
    mnuEmul = item(emul, "mnuEmul", QStringLiteral("Эмуляция Kestrix"), &TfrmMain::mnuEmulClick);
    mnuEmul->setEnabled(false);
    mnuLoadBin = item(emul, "mnuLoadBin", QStringLiteral("Загрузить программу для эмуляции"), &TfrmMain::mnuLoadBinClick);
    mnuLoadRegs = item(emul, "mnuLoadRegs", QStringLiteral("Загрузить значения регистров из дампа"), &TfrmMain::mnuLoadRegsClick);
    mnuSaveRegs = item(emul, "mnuSaveRegs", QStringLiteral("Выгрузить значения регистров в дамп"), &TfrmMain::mnuSaveRegsClick);
    mnuLoadExt = item(emul, "mnuLoadExt", QStringLiteral("Загрузить файл  расширенного ОЗУ"), &TfrmMain::mnuLoadExtClick);
    mnuSaveExt = item(emul, "mnuSaveExt", QStringLiteral("Выгрузить файл расширенного ОЗУ"), &TfrmMain::mnuSaveExtClick);
    // The processor model: one of three, the simple one at start.
    separator(emul, "mnuRzdModel");
    auto* models = new QActionGroup(this);
    auto model = [&](const char* name, const QString& caption, Model m) {
        QAction* a = emul->addAction(caption);
        a->setObjectName(name);
        a->setCheckable(true);
        a->setActionGroup(models);
        connect(a, &QAction::triggered, this, [this, m] { mnuModelClick(m); });
        return a;
    };
    mnuModelSimple = model("mnuModelSimple", QStringLiteral("Упрощённая модель процессора (без периферии)"), Model::Simple);
    mnuModel8051 = model("mnuModel8051", QStringLiteral("Модель кристалла 8051 (таймеры, прерывания, порт)"), Model::I8051);
    mnuModel8052 = model("mnuModel8052", QStringLiteral("Модель кристалла 8052 (и таймер 2)"), Model::I8052);
    mnuModelSimple->setChecked(true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Помощь"));
    help->setObjectName("mnuHlp");
    mnuHelp = item(help, "mnuHelp", QStringLiteral("Help"), &TfrmMain::mnuHelpClick);
    mnuAutor = item(help, "mnuAutor", QStringLiteral("&Aвтора!"), &TfrmMain::mnuAutorClick);
}

void TfrmMain::SetWindows(TfrmSelfAbout* about, TfrmEmul* emul) {
    about_ = about;
    emul_ = emul;
}

QSize TfrmMain::OuterSize() const { return centralWidget()->size() + QSize(kFrameWidth, kFrameHeight); }

// The client area is resized after the window: the rule is applied then.
bool TfrmMain::eventFilter(QObject* watched, QEvent* e) {
    if (watched == centralWidget() && e->type() == QEvent::Resize) OnResizing();
    return QMainWindow::eventFilter(watched, e);
}

void TfrmMain::OnResizing() {
    const bool compare = !reText2->isHidden();
    const QSize outer = OuterSize();
    MainLayout l = LayoutRule(outer.width(), outer.height(), compare);
    pnlMain->resize(l.pnlMainWidth, kPanelHeight);
    pnlTxt->resize(l.pnlTxtWidth, std::max(0, l.pnlTxtHeight));
    reText->resize(std::max(0, l.reTextWidth), std::max(0, l.reTextHeight));
    if (compare) {
        reText2->setGeometry(l.reText2Left, reText->y(), std::max(0, l.reText2Width), std::max(0, l.reTextHeight));
    }
    lblSrcN->setVisible(l.labelsShown);
    lblSource->setVisible(l.labelsShown);
}

void TfrmMain::ShowCompare(bool shown) {
    reText2->setVisible(shown);
    OnResizing();
}

void TfrmMain::Guard(const std::function<void()>& command) {
    try {
        command();
    } catch (const FileError& e) {
        pane1_.Flush();
        dialogs_->Error(QString::fromStdString(e.Path()) + "\n" + QString::fromStdString(e.Reason()));
    }
    pane1_.Flush();
    pane2_.Flush();
}

std::optional<std::string> TfrmMain::Pick(Dlg d) {
    std::optional<QString> name = dialogs_->Pick(d);
    if (!name || name->isEmpty()) return std::nullopt;
    return ToCore(*name);
}

// The emulator's loads stay silent when a file cannot be read; a file too
// large for the memory it is meant for is refused with a message.
bool TfrmMain::ShowLoad(const LoadResult& r) {
    if (r.status == LoadStatus::Refused) dialogs_->Error(QString::fromUtf8(Cp1251ToUtf8(r.message)));
    return r.Ok();
}

void TfrmMain::RefreshEmulator() {
    if (emul_) emul_->IndicPorts();
}

// --- Assembly ---

void TfrmMain::StartWithSource(const QString& sourceName) {
    // openAsm is not told the name: cancelling it before any file was
    // chosen there does nothing, as it does after a start without one.
    ws_.SourceName = ToCore(sourceName);
    mnuOpenF->setEnabled(false);
    StartAssembly();
    // A file that cannot be opened leaves an empty window that can open another.
    if (!asm_.FirstPassRunning()) mnuOpenF->setEnabled(true);
}

void TfrmMain::StartAssembly() {
    Guard([&] {
        tmrAsm->stop();
        lblSource->setText(QString::fromStdString(ws_.SourceName));
        ShowCompare(false);
        asm_.Prohod1();
        mnuTrn->setEnabled(true);
        tmrAsm->start();
    });
}

void TfrmMain::mnuOpenFClick() {
    // openAsm keeps the name chosen last: a cancelled dialog assembles
    // that file again from the beginning.
    if (std::optional<QString> name = dialogs_->Pick(Dlg::openAsm)) asmDialogName_ = *name;
    if (asmDialogName_.isEmpty()) return;
    ws_.SourceName = ToCore(asmDialogName_);
    StartAssembly();
}

void TfrmMain::tmrAsmTimer() {
    Guard([&] {
        if (!asm_.Tick()) tmrAsm->stop();
    });
    if (!asm_.FirstPassRunning()) tmrAsm->stop();
}

void TfrmMain::mnuTrnClick() {
    tmrAsm->stop();  // the final pass finishes a first pass still running
    mnuOpenF->setEnabled(true);
    ShowCompare(false);
    Guard([&] { asm_.FinalPass(); });
    mnuEmul->setEnabled(true);
    RefreshEmulator();
}

void TfrmMain::mnuTrimClick() {
    std::optional<std::string> name = Pick(Dlg::openAsm);
    if (!name) return;
    asmDialogName_ = QString::fromStdString(*name);
    ws_.SourceName = *name;
    ShowCompare(false);
    Guard([&] { TrimSource(pane1_, ws_, *name); });
}

// --- Disassembly ---

void TfrmMain::mnuDeasClick() {
    ShowCompare(false);
    std::optional<std::string> name = Pick(Dlg::openBin);
    if (!name) return;
    Guard([&] {
        pane2_.Clear();
        deas_.Deas(pane1_, *name);
        mnuEmul->setEnabled(true);
        mnuDeasLbl->setEnabled(true);
    });
    RefreshEmulator();
}

void TfrmMain::mnuDeasLblClick() {
    Guard([&] {
        deas_.DeasLbl(pane1_, pane2_);
        mnuDeasLbl->setEnabled(true);
    });
}

// --- File utilities ---

void TfrmMain::mnuBinToHexClick() {
    ShowCompare(false);
    std::optional<std::string> bin = Pick(Dlg::openBin);
    if (!bin) return;
    std::optional<std::string> hex = Pick(Dlg::saveHex);
    if (!hex) return;
    Guard([&] {
        pane2_.Clear();
        BinToHex(ws_, pane1_, *bin, *hex);
        mnuEmul->setEnabled(true);
    });
    RefreshEmulator();
}

void TfrmMain::mnuHexToBinClick() {
    std::optional<std::string> hex = Pick(Dlg::openHex);
    if (!hex) return;
    ShowCompare(false);
    Guard([&] {
        HexLoad load = ReadHexIntoImage(ws_, *hex);
        mnuEmul->setEnabled(true);
        if (std::optional<std::string> bin = Pick(Dlg::saveBin)) WriteBinFromHex(ws_, pane1_, load, *bin);
    });
    RefreshEmulator();
}

void TfrmMain::mnuCompBinClick() {
    ShowCompare(false);
    std::optional<std::string> first = Pick(Dlg::openBin);
    if (!first) return;
    std::optional<std::string> second = Pick(Dlg::openBin);
    if (!second) return;
    Guard([&] {
        const CompareOutcome out = CompareBin(ws_, pane1_, pane2_, *first, *second);
        TakeComparedFiles(cpu_, out.firstSize, out.second);
        if (out.result == CompareResult::Differ) ShowCompare(true);
        mnuEmul->setEnabled(true);
    });
    RefreshEmulator();
}

void TfrmMain::mnuHelpClick() {
    ShowCompare(false);
    PrintInstructionSet(pane1_);
    pane1_.Flush();
}

// --- Emulation ---

void TfrmMain::mnuEmulClick() {
    if (!emul_) return;
    emul_->show();
    emul_->raise();
    emul_->IndicPorts();
}

void TfrmMain::mnuLoadBinClick() {
    std::optional<std::string> name = Pick(Dlg::openBin);
    if (!name) return;
    if (ShowLoad(LoadProgram(ws_, cpu_, *name))) mnuEmul->setEnabled(true);
    RefreshEmulator();
}

void TfrmMain::mnuLoadRegsClick() {
    std::optional<std::string> name = Pick(Dlg::openBin);
    if (!name) return;
    ShowLoad(LoadRegs(cpu_, ws_.CodeImage, *name));
    RefreshEmulator();
}

void TfrmMain::mnuSaveRegsClick() {
    std::optional<std::string> name = Pick(Dlg::saveBin);
    if (!name) return;
    Guard([&] { SaveRegs(cpu_, *name); });
}

void TfrmMain::mnuLoadExtClick() {
    std::optional<std::string> name = Pick(Dlg::openBin);
    if (!name) return;
    ShowLoad(LoadExt(cpu_, *name));
    RefreshEmulator();
}

void TfrmMain::mnuSaveExtClick() {
    std::optional<std::string> name = Pick(Dlg::saveBin);
    if (!name) return;
    Guard([&] { SaveExt(cpu_, *name); });
}

// Choosing a chip model resets the processor like its RST pin; the
// simple model takes the bytes as they are.
void TfrmMain::mnuModelClick(Model model) {
    SelectModel(cpu_, model);
    RefreshEmulator();
}

// --- Program ---

void TfrmMain::mnuQuitClick() { QApplication::quit(); }

void TfrmMain::mnuAutorClick() {
    if (!about_) return;
    about_->move(geometry().center() - QPoint(about_->width() / 2, about_->height() / 2));
    about_->show();
    about_->raise();
}

}  // namespace z51
