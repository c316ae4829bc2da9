// The debugger part of the emulator window, driven through its widgets:
// the code view following PC with source lines, a breakpoint set in its
// margin, the full-speed run with its refreshes, stop, step over, step out,
// run to a line, the breakpoint editor and the stopwatch.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "assembler/assembler.h"
#include "core/cp1251.h"
#include "emulator/window/Emul51.h"
#include "emulator/window/EmulCodeView.h"
#include "emulator/window/EmulDebug.h"

using namespace z51;

class DebugWinTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<Session> session;
    std::unique_ptr<TfrmEmul> w;

    Cpu51& cpu() { return session->cpu; }
    EmulDebugPanel* panel() { return w->DebugPanel(); }
    EmulCodeView* view() { return w->findChild<EmulCodeView*>("pnlCode"); }
    template <class T = QPushButton>
    T* get(const char* name) {
        T* t = w->findChild<T*>(name);
        if (!t) qFatal("no component %s", name);
        return t;
    }
    void click(const char* button) { QTest::mouseClick(get(button), Qt::LeftButton); }
    QString state() { return get<QLabel>("lblDebugState")->text(); }
    int rowOf(std::uint16_t address) {
        for (int row = 0; row < view()->LineTexts().size(); ++row) {
            const auto a = view()->AddressAt(row);
            if (a == address && !view()->LineTexts()[row].endsWith(':')) return row;
        }
        return -1;
    }
    void clickRow(int row, bool margin) {
        const int y = row * view()->LineHeight() + view()->LineHeight() / 2;
        QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(margin ? 2 : view()->MarginWidth() + 40, y));
    }

private slots:
    void init() {
        session = std::make_unique<Session>();
        const QString source = dir.filePath("prog.a51");
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\tORG 0\n"               // 1
                "START:\tMOV SP,#60H\n"   // 2: 0000
                "\tMOV A,#0\n"            // 3: 0003
                "LOOP:\tLCALL SUB\n"      // 4: 0005
                "\tINC A\n"               // 5: 0008
                "\tSJMP LOOP\n"           // 6: 0009
                "SUB:\tINC 30H\n"         // 7: 000B
                "\tRET\n");               // 8: 000D
        f.close();
        session->ws.SourceName = source.toStdString();
        NullPane quiet;
        Assembler as(session->ws, quiet);
        as.SetWriteFiles(false);
        as.Prohod1();
        as.RunFirstPass();
        QVERIFY(as.FinalPass());
        w = std::make_unique<TfrmEmul>(*session);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->IndicPorts();
    }
    void cleanup() {
        w.reset();
        session.reset();
    }

    void codeViewFollowsPcWithSourceLines() {
        QStringList lines = view()->LineTexts();
        QVERIFY(lines.contains("START:"));
        QVERIFY(lines.contains("LOOP:"));
        int cur = view()->CurrentLine();
        QVERIFY(cur >= 0);
        QVERIFY2(lines[cur].startsWith("0000  75 81 60  MOV   081H,#060H"), qPrintable(lines[cur]));
        QVERIFY2(lines[cur].endsWith("prog.a51:2  START: MOV SP,#60H"), qPrintable(lines[cur]));
        click("btnGoStep");
        cur = view()->CurrentLine();
        QVERIFY2(view()->LineTexts()[cur].startsWith("0003"), qPrintable(view()->LineTexts()[cur]));
        QVERIFY(view()->LineTexts()[cur].contains("prog.a51:3"));
        QCOMPARE(get<QLabel>("lblInstructions")->text(), QString("Команд: 1"));
        // Far away, the view moves to PC.
        cpu().PC = 0x4000;
        w->IndicPorts();
        QVERIFY(view()->LineTexts()[view()->CurrentLine()].startsWith("4000"));
        QVERIFY(!view()->LineTexts()[view()->CurrentLine()].contains("prog.a51"));
    }

    void marginTogglesBreakpointAndRunStopsThere() {
        const int row = rowOf(0x000B);
        QVERIFY(row >= 0);
        clickRow(row, true);
        QCOMPARE(session->debugger.breakpoints.Size(), std::size_t{1});
        QCOMPARE(get<QTreeWidget>("lstBreaks")->topLevelItem(0)->text(2), QString("000BH"));
        click("btnRun");
        QTRY_VERIFY(!panel()->Running());
        QCOMPARE(int(cpu().PC), 0x000B);
        QVERIFY2(state().contains("точка останова 1 (000BH), попадание 1"), qPrintable(state()));
        QCOMPARE(get<QTreeWidget>("lstBreaks")->topLevelItem(0)->text(3), QString("1"));
        clickRow(rowOf(0x000B), true);
        QCOMPARE(session->debugger.breakpoints.Size(), std::size_t{0});
    }

    void fullSpeedRunRefreshesAndStops() {
        QVERIFY(!get("btnStop")->isEnabled());
        QVERIFY(!get("btnStepBack")->isEnabled());
        const long refreshes = w->RefreshCount();
        click("btnRun");
        QVERIFY(panel()->Running());
        QVERIFY(get("btnStop")->isEnabled() && !get("btnRun")->isEnabled());
        // Each slice ends with a refresh, and the window takes events
        // between slices (bench/qt_debug_run.cpp measures the rate).
        QTRY_VERIFY(panel()->Slices() >= 4);
        QVERIFY(panel()->Running());
        QVERIFY(w->RefreshCount() > refreshes + 3);
        click("btnStop");
        QVERIFY(!panel()->Running());
        QVERIFY(get("btnRun")->isEnabled());
        QVERIFY(session->debugger.Instructions() > 1000);
        QVERIFY(state().startsWith("Остановлено в "));
    }

    void stepOverStepOutAndRunToLine() {
        click("btnGoStep");
        click("btnGoStep");
        QCOMPARE(int(cpu().PC), 0x0005);  // LCALL SUB
        click("btnStepOver");
        QTRY_VERIFY(!panel()->Running());
        QCOMPARE(int(cpu().PC), 0x0008);
        QCOMPARE(int(cpu().iram()[0x30]), 1);
        click("btnStepOver");  // INC A: a plain step
        QCOMPARE(int(cpu().PC), 0x0009);
        click("btnStepOver");
        click("btnGoStep");  // into SUB
        QCOMPARE(int(cpu().PC), 0x000B);
        click("btnStepOut");
        QTRY_VERIFY(!panel()->Running());
        QCOMPARE(int(cpu().PC), 0x0008);
        QVERIFY2(state().contains("возврат из подпрограммы"), qPrintable(state()));

        click("btnRunToLine");
        QCOMPARE(state(), QString("Выберите строку в окне кода"));
        clickRow(rowOf(0x000D), false);
        QCOMPARE(view()->SelectedAddress(), std::optional<std::uint16_t>(0x000D));
        click("btnRunToLine");
        QTRY_VERIFY(!panel()->Running());
        QCOMPARE(int(cpu().PC), 0x000D);
    }

    void breakpointEditor() {
        auto* kind = get<QComboBox>("cmbBreakKind");
        auto* model = static_cast<QStandardItemModel*>(kind->model());
        QCOMPARE(model->item(3)->isEnabled(), Debugger::kAccessBreakpoints);
        auto* text = get<QLineEdit>("txtBreak");
        auto* list = get<QTreeWidget>("lstBreaks");
        kind->setCurrentIndex(1);  // condition
        text->setText("RAM[30H] ==");
        click("btnBreakAdd");
        QVERIFY2(get<QLabel>("lblBreakError")->text().startsWith("Позиция 12: Ожидается"),
                 qPrintable(get<QLabel>("lblBreakError")->text()));
        QCOMPARE(list->topLevelItemCount(), 0);
        text->setText("RAM[30H] = 2");
        get<QSpinBox>("spnBreakHit")->setValue(1);
        click("btnBreakAdd");
        QVERIFY(get<QLabel>("lblBreakError")->text().isEmpty());
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(1), QString("Условие"));
        click("btnRun");
        QTRY_VERIFY(!panel()->Running());
        QCOMPARE(int(cpu().iram()[0x30]), 2);

        // Edit: a label as the address, stop at the third hit.
        list->setCurrentItem(list->topLevelItem(0));
        QCOMPARE(text->text(), QString("RAM[30H] = 2"));
        kind->setCurrentIndex(0);
        text->setText("LOOP");
        get<QSpinBox>("spnBreakHit")->setValue(3);
        click("btnBreakEdit");
        QCOMPARE(list->topLevelItem(0)->text(2), QString("0005H"));
        QCOMPARE(list->topLevelItem(0)->text(3), QString("0 / 3"));
        list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        QVERIFY(!session->debugger.breakpoints.Items()[0].enabled);
        click("btnBreakDelete");
        QCOMPARE(list->topLevelItemCount(), 0);
    }

    void stopwatchAtTheCrystal() {
        click("btnGoStep");  // MOV SP,#60H: 2 machine cycles
        QCOMPARE(get<QLabel>("lblCycles")->text(), QString("Машинных циклов: 2"));
        QCOMPARE(get<QLabel>("lblTime")->text(), QString("Время: 2.000 мкс"));
        get<QLineEdit>("txtXtal")->setText("6");
        QCOMPARE(get<QLabel>("lblTime")->text(), QString("Время: 4.000 мкс"));
        click("btnStopwatchReset");
        QCOMPARE(get<QLabel>("lblCycles")->text(), QString("Машинных циклов: 0"));
        QVERIFY(get<QPushButton>("btnRun")->toolTip().endsWith("(F9)"));
    }
};

QTEST_MAIN(DebugWinTest)
#include "debugwin_test.moc"
