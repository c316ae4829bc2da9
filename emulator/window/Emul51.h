#pragma once
// The emulator window: the 40-pin chip with its port pins lit by value, the
// internal RAM list, the register boxes and flags, the decoded current
// instruction, the memory poke and the run control. Every handler that
// changes the processor state ends with the panel refresh IndicPorts, which
// is also the one place that fetches the instruction the next step runs.

#include <QColor>
#include <QPlainTextEdit>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "emulator/serial_line.h"
#include "shell/session.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace z51 {

class EmulDebugPanel;

// Integer text as the register boxes, the poke panel and the timer interval
// read it: leading blanks, an optional sign, then decimal digits or "$" and
// one to eight hexadecimal digits. Decimal values must fit 32 bits signed;
// hexadecimal ones wrap into that range ("$FFFFFFFF" is -1).
std::optional<std::int32_t> ParseIntText(std::string_view text);

// The current instruction as the panel shows it.
struct PanelInstr {
    std::string cmd;                // lblCmd
    std::string op1, op2, op3;      // lblOP1..lblOP3
    int shown = 1;                  // operand labels visible: 1, 2 or 3
    int length = 1;                 // instruction length, 1..3
};

// Decodes the fetched bytes `cur` of the instruction at `pc` for display.
PanelInstr DecodeForPanel(const std::array<std::uint8_t, 3>& cur, std::uint16_t pc);

// "[ 1 байт ]", "[ 2 байтa ]", "[ 3 байтa ]" (the last letter is a Latin a).
QString BytesCaption(int length);

// A filled shape of the chip picture, with a pen and a fill like the pins
// of the panel use. Kept as a widget so that it has a name and a place.
class Emul51Shape : public QWidget {
public:
    enum Kind { Rect, RoundRect, Ellipse, Crystal };
    Emul51Shape(Kind kind, const QString& name, QWidget* parent);
    void SetColors(QColor pen, QColor fill);
    QColor Pen() const { return pen_; }
    QColor Fill() const { return fill_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Kind kind_;
    QColor pen_ = Qt::black;
    QColor fill_ = Qt::white;
};

// The terminal of the serial port: shows what the chip transmits as code
// page 1251 text, and hands each key typed into it to `typed` as bytes.
class Emul51Terminal : public QPlainTextEdit {
public:
    explicit Emul51Terminal(QWidget* parent);
    std::function<void(const std::string&)> typed;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

class TfrmEmul : public QWidget {
    Q_OBJECT
public:
    explicit TfrmEmul(Session& session, QWidget* parent = nullptr);
    ~TfrmEmul() override;

    // The panel refresh: ports, RAM list, boxes and flags, then the fetch of
    // the current instruction and its decoded display.
    void IndicPorts();

    // Handlers of the window, also reached from its buttons, boxes and keys.
    void btnGoStepClick();
    void btnGoTmrClick();
    void tmrShagTimer();
    void tmrXTALTimer();
    void btnPClick(int port, int bit);   // btnP00Click .. btnP37Click
    void lblFlagClick(std::uint8_t mask);  // lblCClick .. lblPClick
    void btnValueClick();
    void bbUPClick();
    void bbDnClick();

    // The chip models' parts of the window: the model shown, the notice of
    // the simple model, the peripheral registers and the serial terminal.
    void ShowModel();
    void TerminalTyped(const std::string& bytes);

    // How many refreshes have run so far (nested ones included).
    long RefreshCount() const { return refreshCount_; }
    // The debugger below the chip panel: code view, run controls,
    // stopwatch, breakpoints.
    EmulDebugPanel* DebugPanel() const { return debug_; }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct RegBox {
        QLineEdit* edit;
        void (*store)(Cpu51& cpu, std::int32_t value);
    };

    void BuildChip(QWidget* chip);
    QWidget* BuildRegisters();
    QWidget* BuildCommandPanel();
    QWidget* BuildPokePanel();
    QWidget* BuildRunPanel();
    QLineEdit* MakeBox(const char* name);
    QLabel* MakeFlag(const char* name, std::uint8_t mask);
    void RegBoxChange(const RegBox& box);
    void ShowMemory();
    void ShowInstruction();
    QWidget* BuildModelLine();
    QWidget* BuildPeripheralPanel();
    QWidget* BuildTerminalPanel();
    void ShowPeripherals();

    Workspace& ws_;
    Cpu51& cpu_;
    Debugger& dbg_;
    EmulDebugPanel* debug_ = nullptr;
    long refreshCount_ = 0;
    bool placed_ = false;
    int memScroll_ = 0;
    QString memText_;

    std::array<Emul51Shape*, 32> shpP_{};
    std::array<QPushButton*, 32> btnP_{};
    Emul51Shape* shpXTAL1_ = nullptr;
    Emul51Shape* shpXTAL2_ = nullptr;
    QPlainTextEdit* reResisters_ = nullptr;
    QLineEdit *txtA_ = nullptr, *txtB_ = nullptr, *txtSP_ = nullptr, *txtPC_ = nullptr,
              *txtDPTR_ = nullptr;
    std::array<QLineEdit*, 8> txtR_{};
    std::array<RegBox, 13> boxes_{};
    QLabel *lblC_ = nullptr, *lblAC_ = nullptr, *lblOV_ = nullptr, *lblP_ = nullptr;
    QLabel *lblCmd_ = nullptr, *lblOP1_ = nullptr, *lblRazd1_ = nullptr, *lblOP2_ = nullptr,
           *lblRazd2_ = nullptr, *lblOP3_ = nullptr, *lblBytes_ = nullptr;
    QToolButton *bbUP_ = nullptr, *bbDn_ = nullptr;
    QLineEdit *txtIndx_ = nullptr, *txtValue_ = nullptr;
    QPushButton *btnValue_ = nullptr, *btnGoStep_ = nullptr, *btnGoTmr_ = nullptr;
    QLineEdit* txtTmrInt_ = nullptr;
    QTimer *tmrShag_ = nullptr, *tmrXTAL_ = nullptr;

    QLabel *lblModel_ = nullptr, *lblNotice_ = nullptr, *lblCycles_ = nullptr;
    QGroupBox *pnlPeriph_ = nullptr, *pnlTerm_ = nullptr;
    std::vector<std::pair<std::uint8_t, QLabel*>> periph_;  // SFR address and its value label
    std::vector<QWidget*> periph8052_;                      // shown in the 8052 model only
    Emul51Terminal* reTerm_ = nullptr;
    ByteLine line_;
};

}  // namespace z51
