// The emulator window driven through its widgets: pins, RAM list, boxes,
// flags, the decoded instruction, run control, register editing, the poke
// and the PC arrows, and a program stepped through the window.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <vector>

#include "assembler/assembler.h"
#include "core/pane.h"
#include "core/workspace.h"
#include "emulator/chip.h"
#include "emulator/exec.h"
#include "emulator/window/Emul51.h"
#include "isa/tables.h"

using namespace z51;

namespace {

const QColor kRed(255, 0, 0), kFuchsia(255, 0, 255), kBlue(0, 0, 255), kBlack(0, 0, 0);

QString Hex(unsigned v, int digits) { return QString::number(v, 16).toUpper().rightJustified(digits, '0'); }

}  // namespace

class EmulWinTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> session;
    Workspace* ws = nullptr;
    std::unique_ptr<TfrmEmul> w;

    Cpu51& cpu() { return session->cpu; }
    template <class T = QWidget>
    T* get(const QString& name) {
        T* t = w->findChild<T*>(name);
        if (!t) qFatal("no component %s", qPrintable(name));
        return t;
    }
    QString text(const char* name) {
        if (auto* e = w->findChild<QLineEdit*>(name)) return e->text();
        return get<QLabel>(name)->text();
    }
    bool shown(const char* name) { return get(name)->isVisibleTo(w.get()); }
    // Puts bytes into the code image at `at` and refreshes at PC `at`.
    void code(std::uint16_t at, std::vector<std::uint8_t> bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) ws->CodeImage[std::uint16_t(at + i)] = bytes[i];
        cpu().PC = at;
        w->IndicPorts();
    }
    // The decoded instruction as the panel shows it, e.g. "MOV R7,A".
    QString instr() {
        QString s = text("lblCmd") + ' ' + text("lblOP1");
        if (shown("lblOP2")) s += text("lblRazd1") + text("lblOP2");
        if (shown("lblOP3")) s += text("lblRazd2") + text("lblOP3");
        return s.trimmed();
    }
    // Types into a box as the user does and double-clicks it.
    void typeAndDoubleClick(const char* box, const QString& t) {
        auto* e = get<QLineEdit>(box);
        e->setText(t);
        QTest::mouseDClick(e, Qt::LeftButton);
    }
    void poke(const QString& index, const QString& value) {
        get<QLineEdit>("txtIndx")->setText(index);
        get<QLineEdit>("txtValue")->setText(value);
        QTest::mouseClick(get<QPushButton>("btnValue"), Qt::LeftButton);
    }
    QMessageBox* errorBox() { return w->findChild<QMessageBox*>("msgConvertError"); }
    void closeErrorBox() {
        if (QMessageBox* b = errorBox()) {
            b->close();
            QApplication::processEvents();
            delete errorBox();
        }
    }
    // Starts the timer run with the interval text; returns the period or -1.
    int startRun(const QString& interval) {
        get<QLineEdit>("txtTmrInt")->setText(interval);
        QTest::mouseClick(get<QPushButton>("btnGoTmr"), Qt::LeftButton);
        auto* t = w->findChild<QTimer*>("tmrShag");
        return t->isActive() ? t->interval() : -1;
    }
    void stopRun() {
        if (w->findChild<QTimer*>("tmrShag")->isActive())
            QTest::mouseClick(get<QPushButton>("btnGoTmr"), Qt::LeftButton);
    }
    // The panel against the core after a refresh.
    void checkPanelMatchesCore() {
        const Cpu51& c = cpu();
        const std::uint8_t* ram = c.iram();
        QCOMPARE(text("txtPC"), '$' + Hex(c.PC, 4));
        QCOMPARE(text("txtA"), '$' + Hex(ram[0xE0], 2));
        QCOMPARE(text("txtB"), '$' + Hex(ram[0xF0], 2));
        QCOMPARE(text("txtSP"), '$' + Hex(ram[0x81], 2));
        QCOMPARE(text("txtDPTR"), '$' + Hex(ram[0x83], 2) + Hex(ram[0x82], 2));
        for (int r = 0; r < 8; ++r) QCOMPARE(text(qPrintable(QString("txtR%1").arg(r))), '$' + Hex(c.R[r], 2));
        QCOMPARE(text("lblC"), QString(ram[0xD0] & 0x80 ? "1" : "0"));
        QCOMPARE(text("lblAC"), QString(ram[0xD0] & 0x40 ? "1" : "0"));
        QCOMPARE(text("lblOV"), QString(ram[0xD0] & 0x04 ? "1" : "0"));
        QCOMPARE(text("lblP"), QString(ram[0xD0] & 0x01 ? "1" : "0"));
        const QStringList lines = get<QPlainTextEdit>("reResisters")->toPlainText().split('\n');
        QCOMPARE(lines.size(), 256);
        for (int a = 0; a < 256; ++a) QCOMPARE(lines[a], Hex(a, 2) + ": " + Hex(ram[a], 2));
        for (int i = 0; i < 32; ++i) {
            const bool one = (ram[0x80 + 0x10 * (i / 8)] >> (i % 8)) & 1;
            const QString n = Hex(i / 8, 1) + Hex(i % 8, 1);
            QCOMPARE(get<Emul51Shape>("shpP" + n)->Fill(), one ? kRed : kBlack);
            QCOMPARE(get<QPushButton>("btnP" + n)->text(), QString(one ? "1->0" : "0->1"));
        }
        // The fetched instruction is the one at PC.
        for (int k = 0; k < 3; ++k) QCOMPARE(c.cur[k], ws->CodeImage[std::uint16_t(c.PC + k)]);
        QCOMPARE(int(c.curLen), int(kInstructionLength[c.cur[0]]));
    }

private slots:
    void init() {
        session = std::make_unique<Session>();
        ws = &session->ws;
        // Creation clears the state: set something first to see it go.
        session->cpu.iram()[0x81] = 7;
        session->cpu.PC = 0x55;
        session->cpu.R[3] = 9;
        w = std::make_unique<TfrmEmul>(*session);
    }
    void cleanup() {
        closeErrorBox();
        w.reset();
        ws = nullptr;
        session.reset();
    }

    void startStateAndLook() {
        QCOMPARE(w->windowTitle(), QString("Эмуляция процессора I8051 (K1816BE51, AT89C51)"));
        QVERIFY(w->isWindow());
        QCOMPARE(w->palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(QFontInfo(w->font()).fixedPitch());
        QCOMPARE(int(cpu().iram()[0x81]), 0);
        QCOMPARE(int(cpu().PC), 0);
        QCOMPARE(int(cpu().R[3]), 0);
        QCOMPARE(text("txtSP"), QString("$00"));
        QCOMPARE(text("txtPC"), QString("$0000"));
        QCOMPARE(text("lblBytes"), QString("[ 1 байт ]"));
        QCOMPARE(instr(), QString("NOP"));
        checkPanelMatchesCore();
        for (const char* n : {"shpMK", "shpLBL", "shpWHT", "shpRST", "Shape3", "Shape4", "shpQ", "shpXTAL1",
                              "shpXTAL2"})
            QVERIFY2(w->findChild<Emul51Shape*>(n), n);
        QCOMPARE(get<Emul51Shape>("shpRST")->Fill(), kBlue);
        QCOMPARE(get<Emul51Shape>("Shape3")->Fill(), kBlue);
        QCOMPARE(get<Emul51Shape>("Shape4")->Fill(), kFuchsia);
        QCOMPARE(get<Emul51Shape>("Shape4")->Pen(), kRed);
        // Pin names in DIP-40 order, one label per row of the package.
        QCOMPARE(text("lblPin01"), QString("P1.0            VCC"));
        QCOMPARE(text("lblPin09"), QString("RST      P0.7 (AD7)"));
        QCOMPARE(text("lblPin10"), QString("P3.0(RXD)   ~EA/VPP"));
        QCOMPARE(text("lblPin19"), QString("XTAL1          P2.1"));
        QCOMPARE(text("lblPin20"), QString("GND   AT89C51  P2.0"));
        for (const char* n : {"btnGoStep", "btnGoTmr", "btnValue"}) QVERIFY(w->findChild<QPushButton*>(n));
        QCOMPARE(get<QPushButton>("btnGoStep")->text(), QString("1 ШАГ"));
        QCOMPARE(get<QPushButton>("btnGoTmr")->text(), QString("Пуск по таймеру"));
        QCOMPARE(text("txtTmrInt"), QString("100"));
        QCOMPARE(text("lblTmrInterval"), QString("Интервал таймера (1/100 с):"));
        QVERIFY(w->findChild<QToolButton*>("bbUP") && w->findChild<QToolButton*>("bbDn"));
        QCOMPARE(w->findChild<QTimer*>("tmrXTAL")->interval(), 50);
        QVERIFY(w->findChild<QTimer*>("tmrXTAL")->isActive());
        QVERIFY(!w->findChild<QTimer*>("tmrShag")->isActive());
    }

    void memoryListColours() {
        cpu().iram()[0x7F] = 0xA5;
        w->IndicPorts();
        auto* re = get<QPlainTextEdit>("reResisters");
        const QTextBlock b = re->document()->findBlockByNumber(0x7F);
        QCOMPARE(b.text(), QString("7F: A5"));
        QColor address, value = kBlack;
        for (const QTextLayout::FormatRange& r : b.layout()->formats()) {
            if (r.start == 0) {
                QCOMPARE(r.length, 4);
                address = r.format.foreground().color();
            }
            if (r.start + r.length > 4) value = r.format.foreground().color();
        }
        QCOMPARE(address, kBlue);
        QCOMPARE(value, kBlack);
    }

    void memoryListKeepsItsScrollPlace() {
        auto* re = get<QPlainTextEdit>("reResisters");
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QScrollBar* bar = re->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        const int place = bar->value();
        QVERIFY(place > 0);
        cpu().iram()[0x30] = 1;
        w->IndicPorts();
        QCOMPARE(bar->value(), place);
    }

    void portPinsLitByValue() {
        cpu().iram()[0x90] = 0x0F;
        w->IndicPorts();
        for (int y = 0; y < 8; ++y) {
            auto* s = get<Emul51Shape>(QString("shpP1%1").arg(y));
            auto* b = get<QPushButton>(QString("btnP1%1").arg(y));
            QCOMPARE(s->Fill(), y < 4 ? kRed : kBlack);
            QCOMPARE(s->Pen(), y < 4 ? kFuchsia : kBlue);
            QCOMPARE(b->text(), QString(y < 4 ? "1->0" : "0->1"));
        }
        checkPanelMatchesCore();
    }

    void pinButtonTogglesItsBit() {
        cpu().iram()[0xB0] = 0x00;
        w->IndicPorts();
        QTest::mouseClick(get<QPushButton>("btnP32"), Qt::LeftButton);
        QCOMPARE(int(cpu().iram()[0xB0]), 0x04);
        QCOMPARE(get<QPushButton>("btnP32")->text(), QString("1->0"));
        QTest::mouseClick(get<QPushButton>("btnP32"), Qt::LeftButton);
        QCOMPARE(int(cpu().iram()[0xB0]), 0x00);
        // Every button reaches its own port and bit.
        for (int i = 0; i < 32; ++i) {
            QTest::mouseClick(get<QPushButton>(QString("btnP%1%2").arg(i / 8).arg(i % 8)), Qt::LeftButton);
            QCOMPARE(int(cpu().iram()[0x80 + 0x10 * (i / 8)]), (0xFF >> (7 - i % 8)));
        }
    }

    void pcAndDptrBoxes() {
        cpu().PC = 0x1234;
        cpu().iram()[0x83] = 0x12;
        cpu().iram()[0x82] = 0x34;
        cpu().iram()[0x84] = 0x99;  // plain RAM, not DPTR
        cpu().iram()[0x85] = 0x88;
        w->IndicPorts();
        QCOMPARE(text("txtPC"), QString("$1234"));
        QCOMPARE(text("txtDPTR"), QString("$1234"));
    }

    void decodedInstruction() {
        // FFH is MOV R7,A; A5H is in no table.
        code(0, {0xFF});
        QCOMPARE(instr(), QString("MOV R7,A"));
        QVERIFY(!shown("lblOP3") && !shown("lblRazd2"));
        QCOMPARE(text("lblBytes"), QString("[ 1 байт ]"));
        code(0, {0xA5});
        QCOMPARE(instr(), QString("DB 165"));
        QVERIFY(!shown("lblOP2") && !shown("lblRazd1"));
        QCOMPARE(int(cpu().curLen), 1);
        // SJMP $ at 0010H.
        code(0x10, {0x80, 0xFE});
        QCOMPARE(instr(), QString("SJMP 00010H"));
        QCOMPARE(text("lblBytes"), QString("[ 2 байтa ]"));  // a Latin a
        QVERIFY(text("lblBytes").endsWith(QString("a ]")) && text("lblBytes").at(8) == QChar(u'a'));
        // LJMP 1234H.
        code(0, {0x02, 0x12, 0x34});
        QCOMPARE(instr(), QString("LJMP 01234H"));
        QCOMPARE(text("lblBytes"), QString("[ 3 байтa ]"));
        QCOMPARE(int(cpu().curLen), 3);
        // Three operands of the one-byte table would each get a label; the
        // multi-byte ones are built into lblOP1 alone.
        code(0, {0xB5, 0xE0, 0x05});
        QCOMPARE(instr(), QString("CJNE A,0E0H,00008H"));
        QVERIFY(!shown("lblOP2"));
        // MOV direct,direct: destination (third byte) first.
        code(0, {0x85, 0x90, 0xA0});
        QCOMPARE(instr(), QString("MOV 0A0H,090H"));
        QVERIFY(shown("lblOP2") && !shown("lblOP3"));
        // Bits by name; relative targets after a bit operand count from PC + 3.
        code(0x100, {0x20, 0xD7, 0xFD});
        QCOMPARE(instr(), QString("JB CY,00100H"));
        code(0, {0xD2, 0x00});
        QCOMPARE(instr(), QString("SETB 20H.0"));
        // AJMP: the opcode's top bits and b1 inside the page of PC + 2.
        code(0, {0x61, 0x12});
        QCOMPARE(instr(), QString("AJMP 0312H"));
        code(0xA000, {0x61, 0x12});
        QCOMPARE(instr(), QString("AJMP 0A312H"));
        code(0x07FE, {0xF1, 0x00});
        QCOMPARE(instr(), QString("ACALL 0F00H"));
        // A fetch at FFFFH wraps to 0000H.
        ws->CodeImage[0] = 0x34;
        ws->CodeImage[1] = 0x56;
        code(0xFFFF, {0x02});
        QCOMPARE(instr(), QString("LJMP 03456H"));
    }

    void panelLengthsAgreeWithTheCore() {
        for (int op = 0; op < 256; ++op) {
            const PanelInstr d = DecodeForPanel({std::uint8_t(op), 0x12, 0x34}, 0x4000);
            QCOMPARE(d.length, int(kInstructionLength[op]));
            QVERIFY(!d.cmd.empty());
            // Only the one-byte table and MOV direct,direct spread operands.
            if (d.shown > 1) QVERIFY(op == 0x85 || OneByteByOpcode(std::uint8_t(op)));
        }
    }

    void flagLabels() {
        struct Case {
            const char* name;
            std::uint8_t mask;
        } cases[] = {{"lblC", 0x80}, {"lblAC", 0x40}, {"lblOV", 0x04}, {"lblP", 0x01}};
        for (const Case& c : cases) {
            cpu().iram()[0xD0] = 0x18;
            w->IndicPorts();
            QTest::mouseClick(get(c.name), Qt::LeftButton);
            QCOMPARE(int(cpu().iram()[0xD0]), 0x18 ^ c.mask);
            QCOMPARE(text(c.name), QString("1"));
            // Only the left button clicks.
            QTest::mouseClick(get(c.name), Qt::RightButton);
            QCOMPARE(int(cpu().iram()[0xD0]), 0x18 ^ c.mask);
            QTest::mouseClick(get(c.name), Qt::MiddleButton);
            QCOMPARE(int(cpu().iram()[0xD0]), 0x18 ^ c.mask);
        }
    }

    void parityStaysAsTheUserSetIt() {
        // ADD A,#00H with A = 0: even parity, yet P keeps the user's 1.
        code(0, {0x24, 0x00});
        const std::vector<std::uint8_t> before(cpu().iram(), cpu().iram() + 256);
        QTest::mouseClick(get("lblP"), Qt::LeftButton);
        for (int a = 0; a < 256; ++a) QCOMPARE(int(cpu().iram()[a]), a == 0xD0 ? before[a] ^ 1 : before[a]);
        QTest::mouseClick(get<QPushButton>("btnGoStep"), Qt::LeftButton);
        QCOMPARE(int(cpu().iram()[0xD0] & 0x01), 1);
        QCOMPARE(text("lblP"), QString("1"));
    }

    void timerIntervals() {
        struct Case {
            const char* text;
            int ms;
        } cases[] = {{"100", 1000}, {"1", 20},      {"0", 20},   {"70000", 44640},
                     {"-1", 655350}, {"$0A", 100}, {" 3", 30}, {"65537", 20}};
        for (const Case& c : cases) {
            QCOMPARE(startRun(c.text), c.ms);
            QCOMPARE(get<QPushButton>("btnGoTmr")->text(), QString("Останов таймера"));
            stopRun();
            QCOMPARE(get<QPushButton>("btnGoTmr")->text(), QString("Пуск по таймеру"));
            QVERIFY(!w->findChild<QTimer*>("tmrShag")->isActive());
        }
        for (const char* bad : {"abc", "", "$", "1.5", "3 ", "$G", "99999999999"}) {
            QCOMPARE(startRun(bad), -1);
            QCOMPARE(get<QPushButton>("btnGoTmr")->text(), QString("Пуск по таймеру"));
        }
    }

    void timerRunStepsUntilStopped() {
        // INC A forever: JMP back through SJMP.
        code(0, {0x04, 0x80, 0xFD});
        QCOMPARE(startRun("2"), 20);
        QTRY_VERIFY_WITH_TIMEOUT(cpu().A() >= 3, 3000);
        // Changing the box while running has no effect on the period.
        get<QLineEdit>("txtTmrInt")->setText("500");
        QCOMPARE(w->findChild<QTimer*>("tmrShag")->interval(), 20);
        // The step button still works between ticks.
        const auto pcBefore = cpu().PC;
        QTest::mouseClick(get<QPushButton>("btnGoStep"), Qt::LeftButton);
        QVERIFY(cpu().PC != pcBefore);
        // Hiding the window does not stop the run.
        w->hide();
        const auto a = cpu().A();
        QTRY_VERIFY_WITH_TIMEOUT(cpu().A() != a, 3000);
        stopRun();
        checkPanelMatchesCore();
    }

    void crystalAnimation() {
        auto* x1 = get<Emul51Shape>("shpXTAL1");
        auto* x2 = get<Emul51Shape>("shpXTAL2");
        const auto before = std::vector<std::uint8_t>(cpu().iram(), cpu().iram() + 256);
        w->tmrXTALTimer();  // phase 1: odd
        QCOMPARE(int(cpu().xtalPhase), 1);
        QCOMPARE(x1->Fill(), kRed);
        QCOMPARE(x1->Pen(), kFuchsia);
        QCOMPARE(x2->Fill(), kBlack);
        QCOMPARE(x2->Pen(), kBlue);
        w->tmrXTALTimer();  // phase 2: even
        QCOMPARE(x2->Fill(), kRed);
        QCOMPARE(x1->Fill(), kBlack);
        cpu().xtalPhase = 255;
        w->tmrXTALTimer();  // wraps to 0: even
        QCOMPARE(int(cpu().xtalPhase), 0);
        QCOMPARE(x2->Fill(), kRed);
        QVERIFY(std::equal(before.begin(), before.end(), cpu().iram()));
    }

    void stepOnLjmp() {
        ws->CodeImage[0x1234] = 0xE4;  // CLR A
        code(0, {0x02, 0x12, 0x34});
        QTest::mouseClick(get<QPushButton>("btnGoStep"), Qt::LeftButton);
        QCOMPARE(int(cpu().PC), 0x1234);
        QCOMPARE(text("txtPC"), QString("$1234"));
        QCOMPARE(instr(), QString("CLR A"));
    }

    void functionKeys() {
        code(0, {0x00, 0x00, 0x00});
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F7);
        QCOMPARE(int(cpu().PC), 1);
        QCOMPARE(get<QPushButton>("btnGoStep")->text(), QString("1 ШАГ"));
        get<QLineEdit>("txtTmrInt")->setText("1000");
        QTest::keyClick(w.get(), Qt::Key_F5);
        QVERIFY(w->findChild<QTimer*>("tmrShag")->isActive());
        QCOMPARE(get<QPushButton>("btnGoTmr")->text(), QString("Останов таймера"));
        QTest::keyClick(w.get(), Qt::Key_F5);
        QVERIFY(!w->findChild<QTimer*>("tmrShag")->isActive());
        QCOMPARE(get<QPushButton>("btnGoTmr")->text(), QString("Пуск по таймеру"));
    }

    void registerBoxes() {
        typeAndDoubleClick("txtA", "300");
        QCOMPARE(int(cpu().A()), 0x2C);
        QCOMPARE(text("txtA"), QString("$2C"));
        typeAndDoubleClick("txtPC", "-1");
        QCOMPARE(int(cpu().PC), 0xFFFF);
        QCOMPARE(text("txtPC"), QString("$FFFF"));
        typeAndDoubleClick("txtB", "$1ff");
        QCOMPARE(int(cpu().B()), 0xFF);
        typeAndDoubleClick("txtSP", "-2147483648");
        QCOMPARE(int(cpu().SP()), 0);
        typeAndDoubleClick("txtR7", "+129");
        QCOMPARE(int(cpu().R[7]), 129);
        QCOMPARE(text("txtR7"), QString("$81"));
        // txtDPTR and txtR0 take their value at once, at DPH 83H / DPL 82H.
        get<QLineEdit>("txtDPTR")->setText("$1234");
        QCOMPARE(int(cpu().iram()[0x82]), 0x34);
        QCOMPARE(int(cpu().iram()[0x83]), 0x12);
        QCOMPARE(int(cpu().iram()[0x84]), 0);
        QCOMPARE(text("txtDPTR"), QString("$1234"));
        get<QLineEdit>("txtR0")->setText("17");
        QCOMPARE(int(cpu().R[0]), 17);
        QCOMPARE(text("txtR0"), QString("$11"));
        // Typed key by key, the value is rewritten at each valid stage.
        auto* dptr = get<QLineEdit>("txtDPTR");
        dptr->clear();
        QTest::keyClicks(dptr, "$BEEF");
        QCOMPARE(int(cpu().Dptr()), 0xBEEF);
        QCOMPARE(dptr->text(), QString("$BEEF"));
    }

    void registerBoxBadTextChangesNothing() {
        cpu().A() = 0x42;
        w->IndicPorts();
        const long refreshes = w->RefreshCount();
        for (const char* bad : {"", "$", "zz", "12a", "- 1", "2147483648", "$123456789"}) {
            typeAndDoubleClick("txtA", bad);
            QCOMPARE(int(cpu().A()), 0x42);
            QCOMPARE(text("txtA"), QString(bad));
            get<QLineEdit>("txtR0")->setText(bad);
            QCOMPARE(int(cpu().R[0]), 0);
            QCOMPARE(text("txtR0"), QString(bad));
        }
        QCOMPARE(w->RefreshCount(), refreshes);
    }

    void registerBoxFocusAndEnter() {
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto retype = [](QLineEdit* e, const char* t) {
            e->selectAll();
            QTest::keyClicks(e, t);
        };
        // Typed, then Enter: taken.
        auto* b = get<QLineEdit>("txtB");
        b->setFocus();
        retype(b, "7");
        QCOMPARE(int(cpu().B()), 0);
        QTest::keyClick(b, Qt::Key_Return);
        QCOMPARE(int(cpu().B()), 7);
        QCOMPARE(text("txtB"), QString("$07"));
        // Typed, then another box takes the focus: taken, not lost.
        retype(b, "$21");
        get<QLineEdit>("txtSP")->setFocus();
        QCOMPARE(int(cpu().B()), 0x21);
        QCOMPARE(text("txtB"), QString("$21"));
        // Focus entering a box runs its handler with what it holds.
        auto* a = get<QLineEdit>("txtA");
        a->setText("9");
        a->setFocus();
        QCOMPARE(int(cpu().A()), 9);
        QCOMPARE(text("txtA"), QString("$09"));
    }

    void nestedRefreshOfR0AndDptr() {
        // A refresh that writes a new text into txtR0 runs one nested refresh.
        cpu().R[0] = 5;
        long before = w->RefreshCount();
        w->IndicPorts();
        QCOMPARE(w->RefreshCount() - before, 2L);
        before = w->RefreshCount();
        w->IndicPorts();
        QCOMPARE(w->RefreshCount() - before, 1L);
        cpu().SetDptr(0x0102);
        before = w->RefreshCount();
        w->IndicPorts();
        QCOMPARE(w->RefreshCount() - before, 2L);
        // Both at once: the DPTR box's refresh writes R0 too, ending the chain.
        cpu().SetDptr(0x0304);
        cpu().R[0] = 6;
        before = w->RefreshCount();
        w->IndicPorts();
        QCOMPARE(w->RefreshCount() - before, 3L);
        checkPanelMatchesCore();
        // Other boxes have no change handler.
        cpu().A() = 0x77;
        before = w->RefreshCount();
        w->IndicPorts();
        QCOMPARE(w->RefreshCount() - before, 1L);
    }

    void memoryPoke() {
        poke("256", "7");
        QCOMPARE(int(cpu().iram()[0x00]), 7);
        poke("129", "7");
        QCOMPARE(int(cpu().SP()), 7);
        QCOMPARE(text("txtSP"), QString("$07"));
        poke("224", "-1");
        QCOMPARE(int(cpu().A()), 0xFF);
        poke("$90", "$10F");
        QCOMPARE(int(cpu().iram()[0x90]), 0x0F);
        QCOMPARE(get<Emul51Shape>("shpP10")->Fill(), kRed);
        poke("-1", "3");
        QCOMPARE(int(cpu().iram()[0xFF]), 3);
        QVERIFY(!errorBox());
    }

    void memoryPokeBadText() {
        const std::vector<std::uint8_t> before(cpu().iram(), cpu().iram() + 256);
        // A bad index is named; the value box is not looked at.
        poke("x1", "zz");
        QVERIFY(errorBox() && errorBox()->isVisible());
        QVERIFY(errorBox()->text().contains("'x1'"));
        QVERIFY(errorBox()->text().contains("not a valid integer value"));
        // The application's one error box: the caption the main window's errors have.
        QCOMPARE(errorBox()->windowTitle(), QString("Ошибка"));
        QCOMPARE(errorBox()->icon(), QMessageBox::Critical);
        closeErrorBox();
        poke("5", "");
        QVERIFY(errorBox());
        QVERIFY(errorBox()->text().contains("''"));
        closeErrorBox();
        QVERIFY(std::equal(before.begin(), before.end(), cpu().iram()));
    }

    void pcArrows() {
        // Up and down by the length of the instruction shown.
        code(0, {0x02, 0x00, 0x10, 0x80, 0xFE});
        QTest::mouseClick(get<QToolButton>("bbUP"), Qt::LeftButton);
        QCOMPARE(int(cpu().PC), 3);
        QCOMPARE(instr(), QString("SJMP 00003H"));
        QTest::mouseClick(get<QToolButton>("bbDn"), Qt::LeftButton);
        QCOMPARE(int(cpu().PC), 1);  // back by 2, inside the LJMP
        // Limits: a 3-byte instruction at FFFEH does not go up.
        code(0xFFFE, {0x02});
        QCOMPARE(int(cpu().curLen), 3);
        QTest::mouseClick(get<QToolButton>("bbUP"), Qt::LeftButton);
        QCOMPARE(int(cpu().PC), 0xFFFE);
        // ... a 1-byte one at FFFEH goes up to FFFFH, and no further.
        code(0xFFFE, {0x00, 0x00});
        QTest::mouseClick(get<QToolButton>("bbUP"), Qt::LeftButton);
        QCOMPARE(int(cpu().PC), 0xFFFF);
        QTest::mouseClick(get<QToolButton>("bbUP"), Qt::LeftButton);
        QCOMPARE(int(cpu().PC), 0xFFFF);
        // A 2-byte instruction at 0001H does not go down; a 1-byte one does.
        code(1, {0x80, 0xFE});
        QTest::mouseClick(get<QToolButton>("bbDn"), Qt::LeftButton);
        QCOMPARE(int(cpu().PC), 1);
        code(1, {0x00});
        QTest::mouseClick(get<QToolButton>("bbDn"), Qt::LeftButton);
        QCOMPARE(int(cpu().PC), 0);
    }

    void programSteppedThroughTheWindow() {
        // Each line: bytes at its address, and the text the panel shows there.
        struct Line {
            std::uint16_t at;
            std::vector<std::uint8_t> bytes;
            const char* shown;
        };
        const std::vector<Line> program = {
            {0x0000, {0x75, 0x90, 0x0F}, "MOV 090H,#00FH"},
            {0x0003, {0x78, 0x40}, "MOV R0,#040H"},
            {0x0005, {0x76, 0x07}, "MOV @R0,#007H"},
            {0x0007, {0x74, 0x05}, "MOV A,#005H"},
            {0x0009, {0x24, 0xFB}, "ADD A,#0FBH"},
            {0x000B, {0x90, 0x12, 0x34}, "MOV DPTR,#01234H"},
            {0x000E, {0xA3}, "INC DPTR"},
            {0x000F, {0xC0, 0xE0}, "PUSH 0E0H"},
            {0x0011, {0x12, 0x00, 0x30}, "LCALL 00030H"},
            {0x0014, {0x85, 0x90, 0xA0}, "MOV 0A0H,090H"},
            {0x0017, {0xB2, 0xB0}, "CPL RXD#"},
            {0x0019, {0xC8}, "XCH A,R0"},
            {0x001A, {0xD8, 0x00}, "DJNZ R0,0001CH"},
            {0x001C, {0x01, 0x20}, "AJMP 0020H"},
            {0x0020, {0x80, 0xFE}, "SJMP 00020H"},
            {0x0030, {0x0D}, "INC R5"},
            {0x0031, {0xF5, 0xB0}, "MOV 0B0H,A"},
            {0x0033, {0x22}, "RET"},
        };
        for (const Line& l : program)
            for (std::size_t i = 0; i < l.bytes.size(); ++i) ws->CodeImage[l.at + i] = l.bytes[i];
        auto shownAt = [&](std::uint16_t pc) -> QString {
            for (const Line& l : program)
                if (l.at == pc) return l.shown;
            return "?";
        };
        cpu().PC = 0;
        w->IndicPorts();
        const std::uint16_t path[] = {0x03, 0x05, 0x07, 0x09, 0x0B, 0x0E, 0x0F, 0x11, 0x30, 0x31,
                                      0x33, 0x14, 0x17, 0x19, 0x1A, 0x1C, 0x20, 0x20};
        for (std::uint16_t next : path) {
            QCOMPARE(instr(), shownAt(cpu().PC));
            QTest::mouseClick(get<QPushButton>("btnGoStep"), Qt::LeftButton);
            QCOMPARE(int(cpu().PC), int(next));
            checkPanelMatchesCore();
        }
        // The end state, as the chip computes it.
        const std::uint8_t* ram = cpu().iram();
        QCOMPARE(int(ram[0x90]), 0x0F);
        QCOMPARE(int(ram[0xA0]), 0x0F);  // P2 = P1
        QCOMPARE(int(ram[0xB0]), 0x01);  // A (00H) written to P3, then P3.0 flipped
        QCOMPARE(int(ram[0x40]), 7);
        QCOMPARE(int(cpu().Dptr()), 0x1235);
        QCOMPARE(int(cpu().R[5]), 1);
        QCOMPARE(int(cpu().SP()), 0x01);  // PUSH ACC left one byte; the call's two are gone
        QCOMPARE(int(ram[0x01]), 0x00);
        QCOMPARE(text("lblC"), QString("1"));  // 05H + FBH carries
        QCOMPARE(text("lblAC"), QString("1"));
        QCOMPARE(int(cpu().A()), 0x40);  // XCH A,R0
        QCOMPARE(int(cpu().R[0]), 0xFF);  // 00H after the XCH, then DJNZ
    }

    void assembledProgramSteppedThroughTheWindow() {
        // Assembled by our own assembler, then run one click at a time.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("STEP.A51");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("        ORG     0\r\n"
                "START:  MOV     SP,#30H\r\n"
                "        MOV     R7,#3\r\n"
                "        MOV     R0,#40H\r\n"
                "NEXT:   MOV     A,R7\r\n"
                "        ADD     A,#0FEH\r\n"
                "        MOV     @R0,A\r\n"
                "        INC     R0\r\n"
                "        LCALL   SHOW\r\n"
                "        DJNZ    R7,NEXT\r\n"
                "        MOV     DPTR,#1234H\r\n"
                "DONE:   SJMP    DONE\r\n"
                "SHOW:   MOV     P1,A\r\n"
                "        CPL     P3.2\r\n"
                "        RET\r\n"
                "        END\r\n");
        f.close();
        NullPane pane;
        Assembler as(*ws, pane);
        ws->SourceName = path.toStdString();
        as.Prohod1();
        as.RunFirstPass();
        QVERIFY(as.FinalPass());
        cpu().PC = 0;
        w->IndicPorts();
        QCOMPARE(instr(), QString("MOV 081H,#030H"));
        int steps = 0;
        while (instr() != QString("SJMP 0") + Hex(cpu().PC, 4) + "H" && steps < 100) {
            QTest::mouseClick(get<QPushButton>("btnGoStep"), Qt::LeftButton);
            ++steps;
            checkPanelMatchesCore();
        }
        QCOMPARE(steps, 3 + 3 * 9 + 1);
        const std::uint8_t* ram = cpu().iram();
        QCOMPARE(int(ram[0x40]), 0x01);
        QCOMPARE(int(ram[0x41]), 0x00);
        QCOMPARE(int(ram[0x42]), 0xFF);
        QCOMPARE(int(ram[0x90]), 0xFF);
        QCOMPARE(int(ram[0xB0]), 0x04);
        QCOMPARE(text("txtDPTR"), QString("$1234"));
        QCOMPARE(text("txtSP"), QString("$30"));
        QCOMPARE(text("txtR7"), QString("$00"));
        QCOMPARE(text("lblC"), QString("0"));  // 01H + FEH does not carry
    }

    // The chip models: the model shown, the peripheral registers, and a
    // serial echo (each byte back plus one, at 16 cycles a bit) through the
    // terminal panel.
    void chipModelPanelsAndTerminal() {
        QVERIFY(text("lblModel").contains(QStringLiteral("упрощённая")));
        QVERIFY(!shown("pnlPeriph"));
        QVERIFY(!shown("pnlTerm"));
        SelectModel(cpu(), Model::I8051);
        code(0, {0x75, 0x89, 0x20,  // MOV TMOD,#20H
                 0x75, 0x8D, 0xFF,  // MOV TH1,#0FFH
                 0x75, 0x8B, 0xFF,  // MOV TL1,#0FFH
                 0x75, 0x87, 0x80,  // MOV PCON,#80H
                 0xD2, 0x8E,        // SETB TR1
                 0x75, 0x98, 0x50,  // MOV SCON,#50H
                 0x30, 0x98, 0xFD,  // 0011 JNB RI,$
                 0xC2, 0x98,        // CLR RI
                 0xE5, 0x99,        // MOV A,SBUF
                 0x04,              // INC A
                 0xF5, 0x99,        // MOV SBUF,A
                 0x80, 0xF4});      // SJMP 0011H
        QVERIFY(text("lblModel").contains("8051"));
        QVERIFY(shown("pnlPeriph") && shown("pnlTerm"));
        QVERIFY(!shown("lblT2CON"));
        QCOMPARE(text("txtSP"), QString("$07"));
        auto* term = get<QPlainTextEdit>("reTerm");
        QTest::keyClicks(term, "H");
        for (int k = 0; k < 1000 && term->toPlainText().isEmpty(); ++k) w->btnGoStepClick();
        QCOMPARE(term->toPlainText(), QString("I"));
        QCOMPARE(text("lblTMOD"), QString("$20"));
        QCOMPARE(text("lblSCON"), QString("$56"));  // REN, RB8 (the stop bit), TI
        QVERIFY(text("lblChipCycles").contains(QString::number(cpu().cycles)));
        SelectModel(cpu(), Model::I8052);
        w->IndicPorts();
        QVERIFY(shown("lblT2CON"));
    }

    // In the chip models a pin shows latch AND the level from outside, and
    // its button drives that level.
    void chipPinsFollowTheLatches() {
        SelectModel(cpu(), Model::I8051);
        code(0, {0x75, 0x90, 0xF0, 0xE5, 0x90, 0x80, 0xFE});  // MOV P1,#0F0H; MOV A,P1; SJMP $
        QTest::mouseClick(get<QPushButton>("btnGoStep"), Qt::LeftButton);
        QCOMPARE(get<Emul51Shape>("shpP10")->Fill(), kBlack);
        QCOMPARE(get<Emul51Shape>("shpP17")->Fill(), kRed);
        QTest::mouseClick(get<QPushButton>("btnP17"), Qt::LeftButton);
        QCOMPARE(get<Emul51Shape>("shpP17")->Fill(), kBlack);
        QCOMPARE(get<QPushButton>("btnP17")->text(), QString("0->1"));
        QCOMPARE(int(cpu().iram()[0x90]), 0xF0);  // the latch
        QTest::mouseClick(get<QPushButton>("btnGoStep"), Qt::LeftButton);
        QCOMPARE(text("txtA"), QString("$70"));
    }

    // The register boxes show and edit the selected bank.
    void registerBoxesEditTheSelectedBank() {
        SelectModel(cpu(), Model::I8051);
        for (int a = 0; a < 32; ++a) cpu().iram()[a] = std::uint8_t(a);
        poke("208", "16");  // PSW: bank 2
        QCOMPARE(text("txtR3"), QString("$13"));
        typeAndDoubleClick("txtR3", "$5A");
        QCOMPARE(int(cpu().iram()[0x13]), 0x5A);
        QCOMPARE(text("lblP"), QString("0"));  // A = 00H: even
    }

    // The simple model says in one line when a program does what the chip
    // does differently.
    void simpleModelNotice() {
        QVERIFY(!shown("lblNotice"));
        code(0, {0x05, 0x07, 0x80, 0xFC});  // INC 07H; SJMP back
        QTest::mouseClick(get<QPushButton>("btnGoStep"), Qt::LeftButton);
        QVERIFY(shown("lblNotice"));
        QVERIFY(text("lblNotice").contains("07H"));
        QVERIFY(text("lblNotice").contains("8051"));
    }

    void shownFromTheMainWindowCentred() {
        QWidget owner;
        owner.setGeometry(100, 100, 1200, 900);
        owner.show();
        TfrmEmul emul(*session, &owner);
        QVERIFY(emul.isWindow());
        emul.show();
        QVERIFY(QTest::qWaitForWindowExposed(&emul));
        const QPoint d = emul.frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(d.manhattanLength() <= 2, qPrintable(QString("%1,%2").arg(d.x()).arg(d.y())));
    }
};

QTEST_MAIN(EmulWinTest)
#include "emulwin_test.moc"
