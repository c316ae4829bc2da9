// The main window and the About box in the offscreen platform.

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "core/cp1251.h"
#include "core/fileio.h"
#include "shell/About.h"
#include "shell/KestrixC.h"

using namespace z51;

namespace {

// Answers the dialogs from a queue; a null string is a cancel.
class ScriptedDialogs : public Dialogs {
public:
    QStringList answers;
    QStringList errors;
    QList<Dlg> asked;
    std::optional<QString> Pick(Dlg d) override {
        asked << d;
        if (answers.isEmpty()) return std::nullopt;
        QString a = answers.takeFirst();
        if (a.isNull()) return std::nullopt;
        return a;
    }
    void Error(const QString& text) override { errors << text; }
};

struct MenuEntry {
    const char* name;
    const char* caption;
    bool enabled;
};

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> session;
    Workspace* ws = nullptr;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<TfrmMain> win;
    QTemporaryDir dir;

    QString WriteSource(const char* name, const std::string& utf8) {
        QString path = dir.filePath(name);
        WriteFileAtomic(path.toStdString(), std::string_view(Utf8To1251(utf8)));
        return path;
    }
    void RunFirstPass() {
        while (win->tmrAsm->isActive()) win->tmrAsmTimer();
        win->Pane1().Flush();
    }

private slots:
    void init() {
        session = std::make_unique<Session>();
        ws = &session->ws;
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        win = std::make_unique<TfrmMain>(*session, std::move(d));
    }
    void cleanup() { win.reset(); }

    void windowCaptionSizeAndPanes() {
        QCOMPARE(win->windowTitle(), QStringLiteral("Kestrix CrossCompiler for I8051 chip architecture"));
        QVERIFY(!win->reText->isHidden());
        QVERIFY(win->reText2->isHidden());
        QCOMPARE(win->lblSource->text(), QStringLiteral("None"));
        QCOMPARE(win->lblSrcN->text(), QStringLiteral("Выбран файл:"));
        QCOMPARE(win->tmrAsm->interval(), 1);
        QVERIFY(!win->tmrAsm->isActive());
    }

    void menuCaptionsOrderAndStartState() {
        const MenuEntry expected[] = {
            {"mnuOpenF", "&Oткрыть транслируемый файл", true},
            {"mnuTrn", "Запустить повторную компиляцию", false},
            {"mnuRazd0", "", true},
            {"mnuTrim", "Предварительная  обработка файла в стиле Asm", true},
            {"mnuRzd1", "", true},
            {"mnuDeas", "Дизассемблировать Bin-файл", true},
            {"mnuDeasLbl", "Повторное (меточное) дизассемблирование", false},
            {"mnuRzd2", "", true},
            {"mnuBinToHex", "BinToHex", true},
            {"mnuHexToBin", "HexToBin", true},
            {"mnuRzd3", "", true},
            {"mnuCompBin", "Сравнение Bin-файлов", true},
            {"mnuRzd4", "", true},
            {"mnuQuit", "&Bыйти из программы", true},
            {"mnuEmul", "Эмуляция Kestrix", false},
            {"mnuLoadBin", "Загрузить программу для эмуляции", true},
            {"mnuLoadRegs", "Загрузить значения регистров из дампа", true},
            {"mnuSaveRegs", "Выгрузить значения регистров в дамп", true},
            {"mnuLoadExt", "Загрузить файл  расширенного ОЗУ", true},
            {"mnuSaveExt", "Выгрузить файл расширенного ОЗУ", true},
            {"mnuRzdModel", "", true},
            {"mnuModelSimple", "Упрощённая модель процессора (без периферии)", true},
            {"mnuModel8051", "Модель кристалла 8051 (таймеры, прерывания, порт)", true},
            {"mnuModel8052", "Модель кристалла 8052 (и таймер 2)", true},
            {"mnuHelp", "Help", true},
            {"mnuAutor", "&Aвтора!", true},
        };
        QStringList menus;
        QList<QAction*> items;
        for (QAction* top : win->menuBar()->actions()) {
            menus << top->menu()->objectName() + "=" + top->text();
            items << top->menu()->actions();
        }
        QCOMPARE(menus, (QStringList{"mnuFile=Файл", "mnuREmul=Режим эмуляции", "mnuHlp=Помощь"}));
        QCOMPARE(items.size(), int(std::size(expected)));
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i]->objectName(), QString(expected[i].name));
            QCOMPARE(items[i]->isSeparator(), QString(expected[i].caption).isEmpty());
            if (!items[i]->isSeparator()) QCOMPARE(items[i]->text(), QString::fromUtf8(expected[i].caption));
            QCOMPARE(items[i]->isEnabled(), expected[i].enabled);
        }
    }

    void modelMenuChoosesTheModel() {
        QVERIFY(win->mnuModelSimple->isCheckable() && win->mnuModelSimple->isChecked());
        QVERIFY(!win->mnuModel8051->isChecked() && !win->mnuModel8052->isChecked());
        win->mnuModel8051->trigger();
        QVERIFY(win->mnuModel8051->isChecked() && !win->mnuModelSimple->isChecked());
        QCOMPARE(int(session->cpu.model), int(Model::I8051));
        QCOMPARE(int(session->cpu.SP()), 0x07);  // the chip's reset
        win->mnuModel8052->trigger();
        QCOMPARE(int(session->cpu.model), int(Model::I8052));
        win->mnuModelSimple->trigger();
        QCOMPARE(int(session->cpu.model), int(Model::Simple));
        QVERIFY(!win->mnuModel8052->isChecked());
    }

    void dialogFiltersAreExact() {
        QCOMPARE(QString(InfoOf(Dlg::openAsm).filter), QStringLiteral("*.M51|*.M51|*.A51|*.A51|*.Asm|*.Asm|ALL|*.*"));
        QCOMPARE(QString(InfoOf(Dlg::openAsm).defaultExt), QStringLiteral("*.M51|*.A51"));
        QCOMPARE(QString(InfoOf(Dlg::openHex).filter), QStringLiteral("*.Hex|*.Hex"));
        QCOMPARE(QString(InfoOf(Dlg::saveBin).filter), QStringLiteral("Binary|*.Bin|Absolute|*.Abs|Dump|*.Dmp|Exec|*.Exe|Bce|*.*"));
        QCOMPARE(QString(InfoOf(Dlg::saveBin).defaultExt), QStringLiteral("*.Bin|*.Dmp"));
        QCOMPARE(QString(InfoOf(Dlg::openBin).filter), QString(InfoOf(Dlg::saveBin).filter));
        QCOMPARE(QString(InfoOf(Dlg::saveHex).filter), QStringLiteral("Hex|*.Hex|ALL|*.*"));
        QCOMPARE(QtFilter("Hex|*.Hex|ALL|*.*"), QStringLiteral("Hex (*.Hex);;ALL (*.*)"));
    }

    void layoutRuleArithmetic() {
        MainLayout one = LayoutRule(981, 600, false);
        QCOMPARE(one.pnlMainWidth, 962);
        QCOMPARE(one.pnlTxtWidth, 962);
        QCOMPARE(one.pnlTxtHeight, 476);
        QCOMPARE(one.reTextHeight, 466);
        QCOMPARE(one.reTextWidth, 952);
        QVERIFY(one.labelsShown);
        MainLayout two = LayoutRule(981, 600, true);
        QCOMPARE(two.reTextWidth, 475);  // (962 - 11) div 2
        QCOMPARE(two.reText2Width, 475);
        QCOMPARE(two.reText2Left, 480);  // (962 - 1) div 2
        QVERIFY(!two.labelsShown);
        MainLayout odd = LayoutRule(1000, 700, true);
        QCOMPARE(odd.reTextWidth, (981 - 11) / 2);
        QCOMPARE(odd.reText2Left, 490);
    }

    // The rule counts in the outer size (client area plus the frame it was
    // made for), so the panes fill the client area up to its small margins.
    void layoutFillsTheClientArea() {
        win->show();
        QVERIFY(QTest::qWaitForWindowExposed(win.get()));
        QCOMPARE(win->OuterSize(), QSize(981, 600));
        const QWidget* client = win->centralWidget();
        for (bool compare : {false, true}) {
            win->ShowCompare(compare);
            for (QSize size : {QSize(1200, 700), QSize(700, 400)}) {
                win->resize(size);
                QTRY_COMPARE(client->width(), size.width());
                QCOMPARE(client->width() - (win->pnlTxt->x() + win->pnlTxt->width()), 3);
                QCOMPARE(client->height() - (win->pnlTxt->y() + win->pnlTxt->height()), 6);
                QCOMPARE(win->pnlMain->width(), win->pnlTxt->width());
                const QWidget* right = compare ? win->reText2 : win->reText;
                QVERIFY(win->pnlTxt->width() - (right->x() + right->width()) <= 7);
                QCOMPARE(win->pnlTxt->height() - (win->reText->y() + win->reText->height()), 5);
                QCOMPARE(win->reText->width(), compare ? win->reText2->width() : win->pnlTxt->width() - 10);
                QVERIFY(!compare || win->reText2->x() >= win->reText->x() + win->reText->width());
                QCOMPARE(win->lblSource->isHidden(), compare);
            }
        }
    }

    void commandLineStartAssemblesAndLocksOpenUntilFinalPass() {
        QString src = WriteSource("PROG.A51", "; только комментарии\r\nSTART:\r\nLOOP:   ; метка\r\n");
        win->StartWithSource(src);
        QVERIFY(!win->mnuOpenF->isEnabled());
        QVERIFY(win->mnuTrn->isEnabled());
        QVERIFY(win->tmrAsm->isActive());
        QCOMPARE(win->lblSource->text(), src);
        RunFirstPass();
        QVERIFY(win->reText->toPlainText().contains(QStringLiteral("Компиляция завершена: ")));
        QVERIFY(!win->mnuOpenF->isEnabled());
        QVERIFY(!win->mnuEmul->isEnabled());
        win->mnuTrnClick();
        QVERIFY(win->mnuOpenF->isEnabled());
        QVERIFY(win->mnuEmul->isEnabled());
        QVERIFY(dialogs->errors.isEmpty());
    }

    void missingCommandLineFileShowsErrorAndLeavesUsableWindow() {
        win->StartWithSource(dir.filePath("absent.a51"));
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY(dialogs->errors[0].contains("absent.a51"));
        QVERIFY(win->mnuOpenF->isEnabled());
        QVERIFY(!win->mnuTrn->isEnabled());
        QVERIFY(!win->tmrAsm->isActive());
    }

    void finalPassStopsARunningFirstPass() {
        std::string many;
        for (int i = 0; i < 100; ++i) many += "L" + std::to_string(i) + ":\r\n";
        win->StartWithSource(WriteSource("MANY.A51", many));
        win->tmrAsmTimer();  // nine lines only
        QVERIFY(win->Asm().FirstPassRunning());
        win->mnuTrnClick();
        QVERIFY(!win->tmrAsm->isActive());
        QVERIFY(!win->Asm().FirstPassRunning());
        QVERIFY(dialogs->errors.isEmpty());
    }

    void cancelledOpenAsmReassemblesThePreviousFile() {
        QString src = WriteSource("ONE.A51", "A1:\r\n");
        dialogs->answers = {src};
        win->mnuOpenFClick();
        RunFirstPass();
        win->reText->clear();
        dialogs->answers = {QString()};
        win->mnuOpenFClick();
        QVERIFY(win->tmrAsm->isActive());
        QCOMPARE(QString::fromStdString(ws->SourceName), src);
    }

    void cancelledOpenAsmWithoutAnyChoiceDoesNothing() {
        dialogs->answers = {QString()};
        win->mnuOpenFClick();
        QVERIFY(!win->mnuTrn->isEnabled());
        QVERIFY(!win->tmrAsm->isActive());
        // Also after a start with a file on the command line: the final
        // pass's listing stays.
        win->StartWithSource(WriteSource("CMD.A51", "START: NOP\r\n"));
        RunFirstPass();
        win->mnuTrnClick();
        const QString listing = win->reText->toPlainText();
        QVERIFY(listing.contains(QStringLiteral("Таблица меток")));
        dialogs->answers = {QString()};
        win->mnuOpenFClick();
        QVERIFY(!win->tmrAsm->isActive());
        QCOMPARE(win->reText->toPlainText(), listing);
    }

    // "*.*" lists every file, also names without an extension.
    void allFilesFilterShowsEveryName() {
        QTemporaryDir own;
        for (const char* name : {"PROG", "prog.a51", "notes.txt"})
            WriteFileAtomic(own.filePath(name).toStdString(), std::string_view("x"));
        for (Dlg d : {Dlg::openAsm, Dlg::saveHex, Dlg::openBin, Dlg::saveBin}) {
            QFileDialog dlg;
            SetUpFileDialog(dlg, d);
            dlg.setDirectory(own.path());
            auto* model = dlg.findChild<QFileSystemModel*>();
            QVERIFY(model);
            auto listed = [&] {
                QStringList names;
                const QModelIndex root = model->index(own.path());
                for (int r = 0; r < model->rowCount(root); ++r) names << model->fileName(model->index(r, 0, root));
                return names;
            };
            const QStringList filters = dlg.nameFilters();
            QCOMPARE(filters.last().right(5), QStringLiteral("(*.*)"));
            dlg.selectNameFilter(filters.last());
            QTRY_COMPARE(listed().size(), 3);
            dlg.selectNameFilter(filters.first());  // the other filters as before
            QTRY_VERIFY(!listed().contains("PROG"));
        }
    }

    void cancelledSaveDialogWritesNothing() {
        QTemporaryDir own;
        QString bin = own.filePath("x.bin");
        WriteFileAtomic(bin.toStdString(), std::string_view("\x02\x00\x30", 3));
        dialogs->answers = {bin, QString()};
        win->mnuBinToHexClick();
        QCOMPARE(QDir(own.path()).entryList(QDir::Files), QStringList{"x.bin"});
    }

    void everyProducerOfTheCodeImageEnablesEmulation() {
        QTemporaryDir own;
        QString a = own.filePath("a.bin"), b = own.filePath("b.bin"), hex = own.filePath("a.hex");
        WriteFileAtomic(a.toStdString(), std::string_view("\x02\x00\x30", 3));
        WriteFileAtomic(b.toStdString(), std::string_view("\x02\x00\x31", 3));

        dialogs->answers = {a};
        win->mnuDeasClick();
        QVERIFY(win->mnuEmul->isEnabled());
        QVERIFY(win->mnuDeasLbl->isEnabled());
        QVERIFY(QFile::exists(own.filePath("a.D51")));
        win->mnuDeasLblClick();
        QVERIFY(dialogs->errors.isEmpty());

        win->mnuEmul->setEnabled(false);
        dialogs->answers = {a, hex};
        win->mnuBinToHexClick();
        QVERIFY(win->mnuEmul->isEnabled());

        win->mnuEmul->setEnabled(false);
        dialogs->answers = {hex, own.filePath("back.bin")};
        win->mnuHexToBinClick();
        QVERIFY(win->mnuEmul->isEnabled());
        QCOMPARE(QFile(own.filePath("back.bin")).size(), 3);

        win->mnuEmul->setEnabled(false);
        dialogs->answers = {a, b};
        win->mnuCompBinClick();
        QVERIFY(win->mnuEmul->isEnabled());
        QVERIFY(!win->reText2->isHidden());  // the two dumps side by side
        QVERIFY(win->lblSource->isHidden());

        win->mnuEmul->setEnabled(false);
        dialogs->answers = {a};
        win->mnuLoadBinClick();
        QVERIFY(win->mnuEmul->isEnabled());
        QCOMPARE(ws->CodeImage[2], 0x30);
        QVERIFY(dialogs->errors.isEmpty());
    }

    void refusedAndFailedLoadsOfTheEmulator() {
        QTemporaryDir own;
        QString big = own.filePath("big.bin");
        WriteFileAtomic(big.toStdString(), std::string(65537, '\x11'));
        dialogs->answers = {big};
        win->mnuLoadBinClick();
        QCOMPARE(dialogs->errors.size(), 1);  // too large: refused with a message
        QVERIFY(!win->mnuEmul->isEnabled());
        QCOMPARE(ws->CodeImage[0], 0x00);
        dialogs->answers = {own.filePath("missing.bin")};
        win->mnuLoadBinClick();
        QCOMPARE(dialogs->errors.size(), 1);  // a load that cannot read stays silent
        QVERIFY(!win->mnuEmul->isEnabled());
    }

    void paneColoursAreBlueGreenRed() {
        QtPane& p = win->Pane1();
        p.Clear();
        p.SetColor(clr::Red);
        p.Append("red");
        p.SetColor(clr::Navy);
        p.AddLine("navy");
        p.Flush();
        QCOMPARE(win->reText->toPlainText(), QStringLiteral("red\nnavy"));
        QTextCursor c(win->reText->document());
        c.setPosition(1);
        QCOMPARE(c.charFormat().foreground().color(), QColor(255, 0, 0));
        c.setPosition(6);
        QCOMPARE(c.charFormat().foreground().color(), QColor(0, 0, 128));
    }

    void helpListsTheTables() {
        win->ShowCompare(true);
        win->mnuHelpClick();
        QVERIFY(win->reText2->isHidden());
        QVERIFY(win->reText->toPlainText().startsWith(QStringLiteral("Перечень ассемблерных команд")));
    }

    void aboutCreditLineIsRegular19Pixels() {
        TfrmSelfAbout about;
        QVERIFY(about.font().bold() && about.font().italic());
        const QFont credit = about.lblCopyRight->font();
        QCOMPARE(credit.pixelSize(), 19);
        QVERIFY(!credit.bold());
        QVERIFY(!credit.italic());
    }

    void aboutAnimationCycle() {
        TfrmSelfAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("O программе"));
        QCOMPARE(about.size(), QSize(485, 145));
        QCOMPARE(about.CreditText().size(), 33);
        QCOMPARE(about.tmrAuthor->interval(), 2000);
        QVERIFY(about.tmrAuthor->isActive());
        QVERIFY(about.lblCopyRight->isHidden());
        for (int i = 1; i <= 33; ++i) {
            about.tmrAuthorTimer();
            QCOMPARE(about.lblCopyRight->text(), about.CreditText().left(i));
            QCOMPARE(about.tmrAuthor->interval(), 150);
        }
        QVERIFY(!about.lblCopyRight->isHidden());
        about.tmrAuthorTimer();  // the full line stays: only the interval changes
        QCOMPARE(about.lblCopyRight->text(), about.CreditText());
        QCOMPARE(about.tmrAuthor->interval(), 2000);
        about.tmrAuthorTimer();  // the pause tick clears it
        QVERIFY(about.lblCopyRight->text().isEmpty());
        QVERIFY(about.lblCopyRight->isHidden());
        QCOMPARE(about.Position(), 0);
        about.tmrAuthorTimer();
        QCOMPARE(about.lblCopyRight->text(), about.CreditText().left(1));
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
